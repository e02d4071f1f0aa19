#include "recordstore/record_io.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace corvane {
namespace {

class RealRecordIo final : public RecordIo {
public:
    int Open(const char* path, int flags, mode_t mode) override { return ::open(path, flags, mode); }
    int Close(int fd) override { return ::close(fd); }
    ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override {
        return ::pread(fd, buffer, count, offset);
    }
    ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
        return ::pwrite(fd, buffer, count, offset);
    }
    int Sync(int fd) override { return ::fdatasync(fd); }
    int Ftruncate(int fd, off_t length) override { return ::ftruncate(fd, length); }
    int Fstat(int fd, struct stat* st) override { return ::fstat(fd, st); }
    int Fchmod(int fd, mode_t mode) override { return ::fchmod(fd, mode); }
    int Lstat(const char* path, struct stat* st) override { return ::lstat(path, st); }
    int Lock(int fd, int command, struct flock* lock) override { return ::fcntl(fd, command, lock); }
    int Unlink(const char* path) override { return ::unlink(path); }
};

std::atomic<RecordIo*> gCurrent{nullptr};

}  // namespace

void RecordIo::Report(const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); }

RecordIo& RecordIo::Real() {
    static RealRecordIo real;
    return real;
}

RecordIo& RecordIo::Current() {
    RecordIo* io = gCurrent.load(std::memory_order_acquire);
    return io ? *io : Real();
}

RecordIo* RecordIo::Replace(RecordIo* io) {
    RecordIo* before = gCurrent.exchange(io, std::memory_order_acq_rel);
    return before ? before : &Real();
}

}  // namespace corvane
