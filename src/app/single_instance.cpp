#include "app/single_instance.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/core/environment.h"

namespace corvane {
namespace {

// Why the folder may not hold the lock; empty when it may. Another user who
// could create or write it could hold the lock first or swap the file.
std::string PrivateFolderProblem(const std::string& folder) {
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(folder).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return "the runtime folder " + folder + " cannot be created: " + std::strerror(errno);
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0)
        return "the runtime folder " + folder + " cannot be read: " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return "the runtime folder " + folder + " is not a folder";
    if (st.st_uid != ::geteuid()) return "the runtime folder " + folder + " belongs to another user";
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return "the runtime folder " + folder + " may be written by other users";
    return {};
}

}  // namespace

std::string RuntimeFolder() {
    if (std::string dir = environment::Variable("CORVANE_RUNTIME_DIR"); !dir.empty()) return dir;
    if (std::string dir = environment::Variable("XDG_RUNTIME_DIR"); !dir.empty()) return dir + "/corvane";
    // Never a shared folder such as /tmp, where another account could make it first: a folder
    // of the account's own home.
    if (std::string dir = environment::Variable("XDG_STATE_HOME"); !dir.empty()) return dir + "/corvane/run";
    std::string home = environment::Variable("HOME");
    if (home.empty()) {
        if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir) home = account->pw_dir;
    }
    return home + "/.local/state/corvane/run";
}

std::string SingleInstanceLock::LockPathName() {
    std::string name = environment::ComputerName();
    if (name.empty()) name = "localhost";
    for (char& c : name)
        if (c == '/') c = '_';
    return RuntimeFolder() + "/" + name + ".lock";
}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

SingleInstanceLock::Result SingleInstanceLock::Acquire() {
    problem_.clear();
    if (fd_ >= 0) return Result::kHeld;
    problem_ = PrivateFolderProblem(RuntimeFolder());
    if (!problem_.empty()) return Result::kCannotLock;
    const std::string path = LockPathName();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        problem_ = "the lock file " + path + " cannot be opened: " + std::strerror(errno);
        return Result::kCannotLock;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        problem_ = "the lock file " + path + " is not a file";
        return Result::kCannotLock;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return Result::kOtherCopyRuns;
        problem_ = "the lock file " + path + " cannot be locked: " + std::strerror(error);
        return Result::kCannotLock;
    }
    // The holder's process number, for a person looking at the folder.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) [[maybe_unused]] auto written = ::write(fd, pid.data(), pid.size());
    fd_ = fd;
    return Result::kHeld;
}

}  // namespace corvane
