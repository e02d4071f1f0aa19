#include "platform/core/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/core/creation_mode.h"

namespace corvane {

int OpenRegularFile(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

int OpenAppendFile(const std::string& path) {
    const int fd = OpenRegularFile(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return -1;
    }
    if (st.st_uid != ::geteuid() && OthersMayWriteFolder(std::filesystem::path(path).parent_path().string())) {
        ::close(fd);
        errno = EPERM;
        return -1;
    }
    return fd;
}

bool ReadToEnd(int fd, std::string& bytes, std::size_t limit) {
    bytes.clear();
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.append(buf, static_cast<std::size_t>(n));
        if (bytes.size() > limit) {
            bytes.clear();
            errno = EFBIG;
            return false;
        }
    }
}

}  // namespace corvane
