#include "platform/settings/ini_snapshot.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <unordered_set>

#include "platform/core/regular_file.h"
#include "platform/core/text.h"

namespace corvane::profile {
namespace {

// A name as the comparisons see it, for sets of names.
std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = static_cast<char>(text::FoldByte(static_cast<unsigned char>(c)));
    return folded;
}

}  // namespace

bool ReadCapped(int fd, std::string& bytes) {
    bytes.clear();
    struct stat st {};
    if (::fstat(fd, &st) == 0 && static_cast<unsigned long long>(st.st_size) > kMaxFileSize) {
        errno = EFBIG;
        return false;
    }
    // The file may grow while it is read: never take in more than the cap.
    return ReadToEnd(fd, bytes, kMaxFileSize);
}

Snapshot Snapshot::Read(std::string_view fileName) {
    Snapshot snapshot;
    if (fileName.empty()) {
        snapshot.problem_ = "is not named";
        return snapshot;
    }
    const int fd = OpenRegularFile(std::string(fileName), O_RDONLY);
    if (fd < 0) {
        const int error = errno;
        snapshot.state_ = error == ENOENT ? State::kMissing : State::kUnreadable;
        snapshot.problem_ = error == ENOENT   ? "is missing"
                            : error == EINVAL ? "is not a file"
                                              : std::string("cannot be read: ") + std::strerror(error);
        return snapshot;
    }
    // Readers share the lock a writer holds exclusively, so a file rewritten
    // in place is never seen half written. Where the file system has no locks
    // at all, no writer can change the file either, so it is read as it stands.
    while (::flock(fd, LOCK_SH) != 0 && errno == EINTR) {}
    std::string bytes;
    const bool read = ReadCapped(fd, bytes);
    const int error = errno;
    ::close(fd);
    if (!read) {
        snapshot.state_ = State::kUnreadable;
        snapshot.problem_ =
            error == EFBIG ? "is larger than 1 MiB" : std::string("cannot be read: ") + std::strerror(error);
        return snapshot;
    }
    snapshot.state_ = State::kRead;
    snapshot.lines_ = Parse(bytes);
    return snapshot;
}

std::vector<std::string> Snapshot::SectionNames() const {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const auto& l : lines_)
        if (l.kind == LineKind::Section && seen.insert(Folded(l.name)).second) names.push_back(l.name);
    return names;
}

std::optional<std::vector<std::pair<std::string, std::string>>> Snapshot::Keys(std::string_view section) const {
    const auto ranges = SectionsNamed(lines_, TrimBlanks(section));
    if (ranges.empty()) return std::nullopt;
    std::vector<std::pair<std::string, std::string>> keys;
    std::unordered_set<std::string> seen;
    for (std::size_t i = ranges.front().header + 1; i < ranges.front().end; ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Key && seen.insert(Folded(line.name)).second)
            keys.emplace_back(line.name, Unquote(line.value));
    }
    return keys;
}

}  // namespace corvane::profile
