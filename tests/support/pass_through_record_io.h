#pragma once

// A RecordIo that hands every call to the real one: a test fake derives from it and
// overrides only the calls it counts or breaks.

#include "recordstore/record_io.h"

namespace corvane::test_support {

class PassThroughRecordIo : public RecordIo {
public:
    int Open(const char* path, int flags, mode_t mode) override { return Real().Open(path, flags, mode); }
    int Close(int fd) override { return Real().Close(fd); }
    ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override {
        return Real().Pread(fd, buffer, count, offset);
    }
    ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
        return Real().Pwrite(fd, buffer, count, offset);
    }
    int Sync(int fd) override { return Real().Sync(fd); }
    int Ftruncate(int fd, off_t length) override { return Real().Ftruncate(fd, length); }
    int Fstat(int fd, struct stat* st) override { return Real().Fstat(fd, st); }
    int Fchmod(int fd, mode_t mode) override { return Real().Fchmod(fd, mode); }
    int Lstat(const char* path, struct stat* st) override { return Real().Lstat(path, st); }
    int Lock(int fd, int command, struct flock* lock) override { return Real().Lock(fd, command, lock); }
    int Unlink(const char* path) override { return Real().Unlink(path); }
};

}  // namespace corvane::test_support
