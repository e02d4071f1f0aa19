#include "platform/settings/ini_profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/core/cp1252.h"
#include "platform/core/text.h"

namespace corvane::profile {
namespace {

enum class LineKind { Blank, Comment, Section, Key };

// One line of the file as bytes, with its own line ending ("" on a last
// line without one) so that untouched lines are written back unchanged.
struct Line {
    std::string content;
    std::string ending;
    LineKind kind = LineKind::Blank;
    std::string name;   // section or key name, trimmed
    std::string value;  // key value, trimmed
};

std::string_view TrimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

void Classify(Line& line) {
    const std::string_view t = TrimBlanks(line.content);
    if (t.empty()) {
        line.kind = LineKind::Blank;
    } else if (t.front() == ';') {
        line.kind = LineKind::Comment;
    } else if (t.front() == '[') {
        line.kind = LineKind::Section;
        const auto close = t.find(']');
        line.name = TrimBlanks(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    } else {
        line.kind = LineKind::Key;
        const auto eq = t.find('=');
        line.name = TrimBlanks(t.substr(0, eq));
        line.value = eq == std::string_view::npos ? std::string() : std::string(TrimBlanks(t.substr(eq + 1)));
    }
}

std::vector<Line> Parse(std::string_view bytes) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        auto nl = bytes.find('\n', start);
        Line line;
        if (nl == std::string_view::npos) {
            line.content = bytes.substr(start);
            start = bytes.size();
        } else {
            line.content = bytes.substr(start, nl - start);
            line.ending = "\n";
            start = nl + 1;
        }
        if (!line.content.empty() && line.content.back() == '\r') {
            line.content.pop_back();
            line.ending.insert(0, "\r");
        }
        Classify(line);
        lines.push_back(std::move(line));
    }
    return lines;
}

// A line the writer adds; always ended by CR LF.
Line NewLine(std::string content) {
    Line line;
    line.content = std::move(content);
    line.ending = "\r\n";
    Classify(line);
    return line;
}

std::string Serialize(const std::vector<Line>& lines) {
    std::string out;
    for (const auto& l : lines) out += l.content + l.ending;
    return out;
}

struct Range {
    std::size_t header;  // index of the [section] line
    std::size_t end;     // one past the section's last line
};

std::vector<Range> SectionsNamed(const std::vector<Line>& lines, std::string_view name) {
    std::vector<Range> found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != LineKind::Section || !text::EqualsBytes(lines[i].name, name)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && lines[end].kind != LineKind::Section) ++end;
        found.push_back({i, end});
    }
    return found;
}

std::string Unquote(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The rest of an open file from where it stands; false on a read error.
bool ReadAll(int fd, std::string* bytes) {
    bytes->clear();
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes->append(buf, static_cast<std::size_t>(n));
    }
}

bool ReadFile(std::string_view fileName, std::string* bytes) {
    if (fileName.empty()) return false;
    const int fd = ::open(std::string(fileName).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ReadAll(fd, bytes);
    ::close(fd);
    return ok;
}

// Names each followed by a NUL; when they do not fit the room, cut to
// room - 2 characters as the profile functions always have.
std::string NameList(const std::vector<std::string>& names, std::size_t room) {
    std::string list;
    for (const auto& n : names) list += n + '\0';
    if (room != kWholeText && list.size() + 1 > room) list.resize(room >= 2 ? room - 2 : 0);
    return list;
}

void AddDistinct(std::vector<std::string>& names, const std::string& name) {
    for (const auto& n : names)
        if (text::EqualsBytes(n, name)) return;
    names.push_back(name);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Puts the new content in place: a complete new file renamed over the old
// one, so that readers see either version whole; where the folder refuses a
// new file, the old file is rewritten in place.
bool Replace(const std::string& path, int fd, const struct stat& st, std::string_view bytes) {
    std::string temp = path + ".XXXXXX";
    const int out = ::mkstemp(temp.data());
    if (out >= 0) {
        bool ok = WriteAll(out, bytes) && ::fsync(out) == 0;
        (void)::fchmod(out, st.st_mode & 07777);
        if (::fchown(out, st.st_uid, st.st_gid) != 0) {
            // Only the owner or root may keep the owner; the mode still holds.
        }
        ok = ::close(out) == 0 && ok;
        if (ok && ::rename(temp.c_str(), path.c_str()) == 0) return true;
        ::unlink(temp.c_str());
    }
    return ::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes);
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

std::string ReadString(std::optional<std::string_view> section, std::optional<std::string_view> key,
                       std::string_view defaultText, std::size_t room, std::string_view fileName) {
    std::string def = cp1252::FromUtf8(defaultText);
    while (!def.empty() && def.back() == ' ') def.pop_back();
    std::string bytes;
    std::string result = def;
    bool isList = !section || !key;
    if (ReadFile(fileName, &bytes)) {
        const auto lines = Parse(bytes);
        if (!section) {
            std::vector<std::string> names;
            for (const auto& l : lines)
                if (l.kind == LineKind::Section) AddDistinct(names, l.name);
            result = NameList(names, room);
        } else {
            const auto ranges = SectionsNamed(lines, cp1252::FromUtf8(*section));
            if (!ranges.empty()) {
                const Range r = ranges.front();
                if (!key) {
                    std::vector<std::string> names;
                    for (std::size_t i = r.header + 1; i < r.end; ++i)
                        if (lines[i].kind == LineKind::Key) AddDistinct(names, lines[i].name);
                    result = NameList(names, room);
                } else {
                    const std::string wanted = cp1252::FromUtf8(*key);
                    for (std::size_t i = r.header + 1; i < r.end; ++i) {
                        if (lines[i].kind == LineKind::Key && text::EqualsBytes(lines[i].name, wanted)) {
                            result = Unquote(lines[i].value);
                            isList = false;
                            break;
                        }
                    }
                }
            }
        }
    }
    if (!isList && room != kWholeText && result.size() + 1 > room) result.resize(room ? room - 1 : 0);
    return cp1252::ToUtf8(result);
}

bool WriteString(std::optional<std::string_view> section, std::optional<std::string_view> key,
                 std::optional<std::string_view> value, std::string_view fileName) {
    if (fileName.empty() || !section) return false;
    const std::string sectionName = cp1252::FromUtf8(*section);
    if (HasLineBreak(sectionName) || sectionName.find(']') != std::string::npos) return false;
    std::string keyName;
    if (key) {
        keyName = std::string(TrimBlanks(cp1252::FromUtf8(*key)));
        if (keyName.empty() || HasLineBreak(keyName) || keyName.find('=') != std::string::npos ||
            keyName.front() == '[' || keyName.front() == ';')
            return false;
    }
    const std::string valueBytes = value ? cp1252::FromUtf8(*value) : std::string();
    if (HasLineBreak(valueBytes)) return false;
    const bool removing = !key || !value;

    const std::string path(fileName);
    // Writers lock the file and re-check that the name still leads to the
    // locked file, since another writer may have replaced it meanwhile.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (removing ? 0 : O_CREAT), 0666);
        if (fd < 0) return removing && errno == ENOENT;
        struct stat held {};
        struct stat named {};
        if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return false;
        }
        if (::stat(path.c_str(), &named) != 0 || named.st_ino != held.st_ino || named.st_dev != held.st_dev) {
            ::close(fd);
            continue;
        }
        std::string before;
        if (!ReadAll(fd, &before)) {
            ::close(fd);
            return false;
        }

        auto lines = Parse(before);
        const auto ranges = SectionsNamed(lines, sectionName);
        if (!key) {
            for (auto it = ranges.rbegin(); it != ranges.rend(); ++it)
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(it->header),
                            lines.begin() + static_cast<std::ptrdiff_t>(it->end));
        } else if (!value) {
            if (!ranges.empty()) {
                for (std::size_t i = ranges.front().end; i-- > ranges.front().header + 1;)
                    if (lines[i].kind == LineKind::Key && text::EqualsBytes(lines[i].name, keyName))
                        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
            }
        } else if (ranges.empty()) {
            if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = "\r\n";
            lines.push_back(NewLine("[" + sectionName + "]"));
            lines.push_back(NewLine(keyName + "=" + valueBytes));
        } else {
            const Range r = ranges.front();
            bool replaced = false;
            for (std::size_t i = r.header + 1; i < r.end && !replaced; ++i) {
                if (lines[i].kind == LineKind::Key && text::EqualsBytes(lines[i].name, keyName)) {
                    lines[i].content = lines[i].name + "=" + valueBytes;
                    replaced = true;
                }
            }
            if (!replaced) {
                std::size_t at = r.end;
                while (at > r.header + 1 && lines[at - 1].kind == LineKind::Blank) --at;
                if (lines[at - 1].ending.empty()) lines[at - 1].ending = "\r\n";
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), NewLine(keyName + "=" + valueBytes));
            }
        }
        const std::string after = Serialize(lines);
        const bool ok = after == before || Replace(path, fd, held, after);
        ::close(fd);
        return ok;
    }
    return false;
}

}  // namespace corvane::profile
