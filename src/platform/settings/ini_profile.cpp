#include "platform/settings/ini_profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/core/cp1252.h"
#include "platform/core/regular_file.h"
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

// CR LF, LF alone and CR alone each end a line.
std::vector<Line> Parse(std::string_view bytes) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find_first_of("\r\n", start);
        Line line;
        if (end == std::string_view::npos) {
            line.content = bytes.substr(start);
            start = bytes.size();
        } else {
            line.content = bytes.substr(start, end - start);
            const bool crLf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
            line.ending = bytes.substr(end, crLf ? 2 : 1);
            start = end + line.ending.size();
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
bool LockFile(int fd, int operation) {
    while (::flock(fd, operation) != 0)
        if (errno != EINTR) return false;
    return true;
}

// Readers share the lock a writer holds exclusively, so a file rewritten in
// place is never seen half written. Where the file system has no locks at
// all, no writer can change the file either, so it is read as it stands.
bool ReadFile(std::string_view fileName, std::string* bytes) {
    if (fileName.empty()) return false;
    const int fd = OpenRegularFile(std::string(fileName), O_RDONLY);
    if (fd < 0) return false;
    (void)LockFile(fd, LOCK_SH);
    const bool ok = ReadToEnd(fd, *bytes);
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

bool RefusedByFolder(int error) { return error == EACCES || error == EPERM; }

// Overwrites from the start and cuts to length last: the old file's blocks
// take the new text without asking the disk for room it may not have, and
// when the disk refuses more, the old text goes back where it was.
bool RewriteInPlace(int fd, std::string_view before, std::string_view after) {
    if (::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, after) &&
        ::ftruncate(fd, static_cast<off_t>(after.size())) == 0)
        return true;
    if (::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, before))
        (void)::ftruncate(fd, static_cast<off_t>(before.size()));
    return false;
}

// Puts the new content in place: a complete new file renamed over the old
// one, so that readers see either version whole. Only where the folder
// refuses the new file is the old one rewritten in place (under the lock
// the readers share); any other failure, a full disk above all, leaves the
// old file as it was.
bool Replace(const std::string& path, int fd, const struct stat& st, std::string_view before,
             std::string_view after) {
    std::string temp = path + ".XXXXXX";
    const int out = ::mkstemp(temp.data());
    if (out < 0) return RefusedByFolder(errno) && RewriteInPlace(fd, before, after);
    bool ok = WriteAll(out, after) && ::fsync(out) == 0;
    (void)::fchmod(out, st.st_mode & 07777);
    if (::fchown(out, st.st_uid, st.st_gid) != 0) {
        // Only the owner or root may keep the owner; the mode still holds.
    }
    ok = ::close(out) == 0 && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) return true;
    // A folder that takes new files but will not let them replace this one
    // (another user's file in a sticky folder) refuses as well.
    const bool refused = ok && RefusedByFolder(errno);
    ::unlink(temp.c_str());
    return refused && RewriteInPlace(fd, before, after);
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// A section name as the file holds it; empty when it cannot be written.
std::optional<std::string> SectionBytes(std::string_view section) {
    std::string name(TrimBlanks(cp1252::FromUtf8(section)));
    if (HasLineBreak(name) || name.find(']') != std::string::npos) return std::nullopt;
    return name;
}

std::optional<std::string> KeyBytes(std::string_view key) {
    std::string name(TrimBlanks(cp1252::FromUtf8(key)));
    if (name.empty() || HasLineBreak(name) || name.find('=') != std::string::npos || name.front() == '[' ||
        name.front() == ';')
        return std::nullopt;
    return name;
}

// One change to a section: a key set to a value, a key removed (no value),
// or the whole section removed (no key).
struct Change {
    std::optional<std::string> key;
    std::optional<std::string> value;
};

void Apply(std::vector<Line>& lines, const std::string& sectionName, const Change& change) {
    const auto ranges = SectionsNamed(lines, sectionName);
    if (!change.key) {
        for (auto it = ranges.rbegin(); it != ranges.rend(); ++it)
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(it->header),
                        lines.begin() + static_cast<std::ptrdiff_t>(it->end));
        return;
    }
    const std::string& keyName = *change.key;
    if (!change.value) {
        if (ranges.empty()) return;
        for (std::size_t i = ranges.front().end; i-- > ranges.front().header + 1;)
            if (lines[i].kind == LineKind::Key && text::EqualsBytes(lines[i].name, keyName))
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
    const std::string& valueBytes = *change.value;
    if (ranges.empty()) {
        if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = "\r\n";
        lines.push_back(NewLine("[" + sectionName + "]"));
        lines.push_back(NewLine(keyName + "=" + valueBytes));
        return;
    }
    const Range r = ranges.front();
    for (std::size_t i = r.header + 1; i < r.end; ++i) {
        if (lines[i].kind == LineKind::Key && text::EqualsBytes(lines[i].name, keyName)) {
            lines[i].content = lines[i].name + "=" + valueBytes;
            return;
        }
    }
    std::size_t at = r.end;
    while (at > r.header + 1 && lines[at - 1].kind == LineKind::Blank) --at;
    if (lines[at - 1].ending.empty()) lines[at - 1].ending = "\r\n";
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), NewLine(keyName + "=" + valueBytes));
}

// Applies the changes in order to the file under its lock and writes the
// result once. Only removals leave a missing file missing.
bool WriteChanges(const std::string& path, const std::string& sectionName, const std::vector<Change>& changes) {
    bool removing = true;
    for (const auto& c : changes) removing = removing && (!c.key || !c.value);
    // Writers lock the file and re-check that the name still leads to the
    // locked file, since another writer may have replaced it meanwhile.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = OpenRegularFile(path, O_RDWR | (removing ? 0 : O_CREAT));
        if (fd < 0) return removing && errno == ENOENT;
        struct stat held {};
        struct stat named {};
        if (!LockFile(fd, LOCK_EX) || ::fstat(fd, &held) != 0) {
            ::close(fd);
            return false;
        }
        if (::stat(path.c_str(), &named) != 0 || named.st_ino != held.st_ino || named.st_dev != held.st_dev) {
            ::close(fd);
            continue;
        }
        std::string before;
        if (!ReadToEnd(fd, before)) {
            ::close(fd);
            return false;
        }
        auto lines = Parse(before);
        for (const auto& change : changes) Apply(lines, sectionName, change);
        const std::string after = Serialize(lines);
        const bool ok = after == before || Replace(path, fd, held, before, after);
        ::close(fd);
        return ok;
    }
    return false;
}

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
            const auto ranges = SectionsNamed(lines, std::string(TrimBlanks(cp1252::FromUtf8(*section))));
            if (!ranges.empty()) {
                const Range r = ranges.front();
                if (!key) {
                    std::vector<std::string> names;
                    for (std::size_t i = r.header + 1; i < r.end; ++i)
                        if (lines[i].kind == LineKind::Key) AddDistinct(names, lines[i].name);
                    result = NameList(names, room);
                } else {
                    const std::string wanted(TrimBlanks(cp1252::FromUtf8(*key)));
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
    const auto sectionName = SectionBytes(*section);
    if (!sectionName) return false;
    Change change;
    if (key) {
        change.key = KeyBytes(*key);
        if (!change.key) return false;
    }
    if (value) {
        change.value = cp1252::FromUtf8(*value);
        if (HasLineBreak(*change.value)) return false;
    }
    return WriteChanges(std::string(fileName), *sectionName, {change});
}

bool WriteStrings(std::string_view section, const std::vector<std::pair<std::string, std::string>>& values,
                  std::string_view fileName) {
    const auto sectionName = SectionBytes(section);
    if (fileName.empty() || !sectionName) return false;
    std::vector<Change> changes;
    for (const auto& [key, value] : values) {
        Change change{KeyBytes(key), cp1252::FromUtf8(value)};
        if (change.key && !HasLineBreak(*change.value)) changes.push_back(std::move(change));
    }
    const bool written = changes.empty() || WriteChanges(std::string(fileName), *sectionName, changes);
    return written && changes.size() == values.size();
}

}  // namespace corvane::profile
