#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <string>

namespace corvane {

// The system calls a record file makes, behind one small interface so that a test can put a
// fake in their place (a disk that fails the Nth write, cuts a write short or refuses a
// lock). Each member answers as the system call of its name does: -1 (or a short count)
// with errno set on failure. The real one adds nothing but a virtual call.
class RecordIo {
public:
    virtual ~RecordIo() = default;

    virtual int Open(const char* path, int flags, mode_t mode) = 0;
    virtual int Close(int fd) = 0;
    virtual ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) = 0;
    virtual ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) = 0;
    // Flushes the file's data to the disk (fdatasync).
    virtual int Sync(int fd) = 0;
    virtual int Ftruncate(int fd, off_t length) = 0;
    virtual int Fstat(int fd, struct stat* st) = 0;
    virtual int Fchmod(int fd, mode_t mode) = 0;
    // lstat: never follows a link.
    virtual int Lstat(const char* path, struct stat* st) = 0;
    // fcntl with a lock command (F_OFD_SETLK, F_OFD_SETLKW, ...).
    virtual int Lock(int fd, int command, struct flock* lock) = 0;
    virtual int Unlink(const char* path) = 0;
    // A fault that stops nothing but is worth an administrator's notice (a journal nobody
    // allowed could have written): the real one writes the line to standard error.
    virtual void Report(const std::string& message);

    // The real system calls.
    static RecordIo& Real();
    // What record files opened from now on use: the real calls unless a test replaced them.
    static RecordIo& Current();
    // Makes io (nullptr: the real calls) the one record files opened from now on use; the one
    // used before. Files already open keep theirs.
    static RecordIo* Replace(RecordIo* io);
};

}  // namespace corvane
