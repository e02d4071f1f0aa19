#include "platform/settings/ini_profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/core/cp1252.h"
#include "platform/core/regular_file.h"
#include "platform/core/text.h"
#include "platform/settings/ini_lines.h"
#include "platform/settings/ini_snapshot.h"

namespace corvane::profile {
namespace {

WriteCall gWrite = ::write;

bool LockFile(int fd, int operation) {
    while (::flock(fd, operation) != 0)
        if (errno != EINTR) return false;
    return true;
}

// Names each followed by a NUL; when they do not fit the room, cut to
// room - 2 characters as the profile functions always have.
std::string NameList(const std::vector<std::string>& names, std::size_t room) {
    std::string list;
    for (const auto& n : names) list += n + '\0';
    if (room != kWholeText && list.size() + 1 > room) list.resize(room >= 2 ? room - 2 : 0);
    return list;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = gWrite(fd, bytes.data(), bytes.size());
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

// A new file beside path, opened for writing, that nobody else has opened;
// -1 with errno set when the folder refuses it.
int OpenNewFile(const std::string& path, mode_t mode, std::string* name) {
    static std::atomic<unsigned> counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = path + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".new";
        const int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Whole on disk: the file's bytes, and after a rename the folder's entry.
void SyncFolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

// Writes the new file completely (and to disk) before anything else sees
// it; a write cut short or refused leaves only the new file, removed.
bool WriteNewFile(int out, const std::string& temp, std::string_view bytes) {
    bool ok = WriteAll(out, bytes) && ::fsync(out) == 0;
    ok = ::close(out) == 0 && ok;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

// Puts the new content in place: a complete new file renamed over the old
// one, so that readers see either version whole. Only where the folder
// refuses the new file is the old one rewritten in place (under the lock
// the readers share); any other failure, a full disk above all, leaves the
// old file as it was.
bool Replace(const std::string& path, int fd, const struct stat& st, std::string_view before,
             std::string_view after) {
    std::string temp;
    const int out = OpenNewFile(path, 0600, &temp);
    if (out < 0) return RefusedByFolder(errno) && RewriteInPlace(fd, before, after);
    (void)::fchmod(out, st.st_mode & 07777);
    if (::fchown(out, st.st_uid, st.st_gid) != 0) {
        // Only the owner or root may keep the owner; the mode still holds.
    }
    if (!WriteNewFile(out, temp, after)) return false;
    if (::rename(temp.c_str(), path.c_str()) == 0) {
        SyncFolderOf(path);
        return true;
    }
    // A folder that takes new files but will not let them replace this one
    // (another user's file in a sticky folder) refuses as well.
    const bool refused = RefusedByFolder(errno);
    ::unlink(temp.c_str());
    return refused && RewriteInPlace(fd, before, after);
}

// A missing file is made whole beside its name and then linked to it, so a
// failed first save never leaves an empty or shorter file behind. False with
// errno EEXIST when another writer made the file meanwhile.
bool Create(const std::string& path, std::string_view bytes) {
    std::string temp;
    const int out = OpenNewFile(path, 0666, &temp);  // the mode a plain create would give
    if (out < 0 || !WriteNewFile(out, temp, bytes)) return false;
    // Never over a file another writer made meanwhile; where the file system
    // has no such rename, a hard link does the same.
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
        SyncFolderOf(path);
        return true;
    }
    bool linked = false;
    if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) linked = ::link(temp.c_str(), path.c_str()) == 0;
    const int error = errno;
    ::unlink(temp.c_str());
    if (linked) SyncFolderOf(path);
    errno = error;
    return linked;
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
        const int fd = OpenRegularFile(path, O_RDWR);
        if (fd < 0 && errno == ENOENT && !removing) {
            std::vector<Line> lines;
            for (const auto& change : changes) Apply(lines, sectionName, change);
            if (Create(path, Serialize(lines))) return true;
            if (errno == EEXIST) continue;
            return false;
        }
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
        // A file above the size cap is damaged: it is not rewritten.
        std::string before;
        if (!ReadCapped(fd, before)) {
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

WriteCall SetWriteCall(WriteCall call) {
    const WriteCall previous = gWrite;
    gWrite = call ? call : ::write;
    return previous;
}

std::string ReadString(std::optional<std::string_view> section, std::optional<std::string_view> key,
                       std::string_view defaultText, std::size_t room, std::string_view fileName) {
    std::string def = cp1252::FromUtf8(defaultText);
    while (!def.empty() && def.back() == ' ') def.pop_back();
    std::string result = def;
    bool isList = !section || !key;
    const Snapshot file = Snapshot::Read(fileName);
    if (file.Status() == Snapshot::State::kRead) {
        if (!section) {
            result = NameList(file.SectionNames(), room);
        } else if (const auto keys = file.Keys(cp1252::FromUtf8(*section))) {
            if (!key) {
                std::vector<std::string> names;
                for (const auto& entry : *keys) names.push_back(entry.first);
                result = NameList(names, room);
            } else {
                const std::string wanted(TrimBlanks(cp1252::FromUtf8(*key)));
                for (const auto& [name, value] : *keys) {
                    if (text::EqualsBytes(name, wanted)) {
                        result = value;
                        isList = false;
                        break;
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
