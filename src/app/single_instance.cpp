#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/core/environment.h"

namespace corvane {

std::string RuntimeFolder() {
    if (std::string dir = environment::Variable("CORVANE_RUNTIME_DIR"); !dir.empty()) return dir;
    if (std::string dir = environment::Variable("XDG_RUNTIME_DIR"); !dir.empty()) return dir + "/corvane";
    return "/tmp/corvane-" + std::to_string(::getuid());
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

bool SingleInstanceLock::Acquire() {
    if (fd_ >= 0) return true;
    std::error_code ec;
    std::filesystem::create_directories(RuntimeFolder(), ec);
    const std::string path = LockPathName();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    // The holder's process number, for a person looking at the folder.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) [[maybe_unused]] auto written = ::write(fd, pid.data(), pid.size());
    fd_ = fd;
    return true;
}

}  // namespace corvane
