#include "platform/settings/set_up_record.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "platform/core/environment.h"

namespace corvane {
namespace {

std::string HomeFolder() {
    std::string home = environment::Variable("HOME");
    if (home.empty()) {
        if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir) home = account->pw_dir;
    }
    return home;
}

// A name's file: a fixed-length hash, since a path may be longer than a file
// name may be; the file holds the path for a person who looks.
std::string RecordPath(const std::string& name) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : name) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return SetUpRecordFolder() + "/set-up-" + hex;
}

}  // namespace

std::string SetUpRecordFolder() {
    if (std::string dir = environment::Variable("CORVANE_STATE_DIR"); !dir.empty()) {
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        return dir;
    }
    if (std::string dir = environment::Variable("XDG_STATE_HOME"); !dir.empty() && dir.front() == '/')
        return dir + "/corvane";
    return HomeFolder() + "/.local/state/corvane";
}

bool SetUpRecorded(const std::string& name) {
    struct stat st {};
    if (::lstat(RecordPath(name).c_str(), &st) == 0) return true;
    return errno != ENOENT;
}

bool RecordSetUp(const std::string& name) {
    struct stat st {};
    if (::lstat(RecordPath(name).c_str(), &st) == 0) return true;
    const std::string folder = SetUpRecordFolder();
    // Each missing level of the folder, private to the account.
    std::size_t end = 0;
    do {
        end = folder.find('/', end + 1);
        const std::string level = folder.substr(0, end);
        if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) return false;
    } while (end != std::string::npos);
    const int fd = ::open(RecordPath(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return errno == EEXIST;
    const std::string text = name + "\n";
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && written;
}

}  // namespace corvane
