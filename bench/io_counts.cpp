// Counts the system calls the program makes through the C library while a benchmark runs:
// this executable defines the calls below, so every caller in the process reaches them first,
// and each passes on to the C library's own through dlsym(RTLD_NEXT). On a shared folder each
// of them is a round trip to the server, the locks above all.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <string_view>

#include "bench_support.h"

namespace corvane::bench {
namespace {

std::atomic<std::int64_t> gLocks, gUnlocks, gFcntl, gReads, gReadBytes, gWrites, gStats, gOpens, gFlushes;
std::atomic<bool> gSkipFlushes{false};

template <typename F>
F Next(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

bool IsLockCommand(int cmd) {
    return cmd == F_SETLK || cmd == F_SETLKW || cmd == F_OFD_SETLK || cmd == F_OFD_SETLKW;
}

int CountedFcntl(const char* name, int fd, int cmd, void* arg) {
    using Fn = int (*)(int, int, ...);
    static const Fn fcntl64Next = Next<Fn>("fcntl64");
    static const Fn fcntlNext = Next<Fn>("fcntl");
    const Fn next = std::string_view(name) == "fcntl64" && fcntl64Next ? fcntl64Next : fcntlNext;
    ++gFcntl;
    if (IsLockCommand(cmd) && arg) {
        if (static_cast<const struct flock*>(arg)->l_type == F_UNLCK) ++gUnlocks;
        else ++gLocks;
    }
    return next(fd, cmd, arg);
}

// Only an open that may create a file carries a mode.
int CountedOpen(const char* name, const char* path, int flags, va_list& ap) {
    using Fn = int (*)(const char*, int, ...);
    static const Fn openNext = Next<Fn>("open");
    static const Fn open64Next = Next<Fn>("open64");
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(ap, mode_t) : 0;
    ++gOpens;
    return (std::string_view(name) == "open64" && open64Next ? open64Next : openNext)(path, flags, mode);
}

ssize_t CountRead(ssize_t r) {
    ++gReads;
    if (r > 0) gReadBytes += r;
    return r;
}

}  // namespace

void SkipFlushes(bool skip) { gSkipFlushes = skip; }

IoCounts IoCounts::Now() {
    return {gLocks.load(), gUnlocks.load(), gFcntl.load(), gReads.load(), gReadBytes.load(),
            gWrites.load(), gStats.load(), gOpens.load(), gFlushes.load()};
}

}  // namespace corvane::bench

using corvane::bench::CountedFcntl;
using corvane::bench::CountRead;
using corvane::bench::Next;

extern "C" {

int fcntl(int fd, int cmd, ...) {
    va_list ap;
    va_start(ap, cmd);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    return CountedFcntl("fcntl", fd, cmd, arg);
}

int fcntl64(int fd, int cmd, ...) {
    va_list ap;
    va_start(ap, cmd);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    return CountedFcntl("fcntl64", fd, cmd, arg);
}

ssize_t pread(int fd, void* buf, size_t count, off_t offset) {
    static const auto next = Next<ssize_t (*)(int, void*, size_t, off_t)>("pread");
    return CountRead(next(fd, buf, count, offset));
}

ssize_t pread64(int fd, void* buf, size_t count, off64_t offset) {
    static const auto next = Next<ssize_t (*)(int, void*, size_t, off64_t)>("pread64");
    return CountRead(next(fd, buf, count, offset));
}

ssize_t read(int fd, void* buf, size_t count) {
    static const auto next = Next<ssize_t (*)(int, void*, size_t)>("read");
    return CountRead(next(fd, buf, count));
}

ssize_t pwrite(int fd, const void* buf, size_t count, off_t offset) {
    static const auto next = Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    ++corvane::bench::gWrites;
    return next(fd, buf, count, offset);
}

ssize_t pwrite64(int fd, const void* buf, size_t count, off64_t offset) {
    static const auto next = Next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    ++corvane::bench::gWrites;
    return next(fd, buf, count, offset);
}

int fdatasync(int fd) {
    static const auto next = Next<int (*)(int)>("fdatasync");
    ++corvane::bench::gFlushes;
    return corvane::bench::gSkipFlushes ? 0 : next(fd);
}

int fsync(int fd) {
    static const auto next = Next<int (*)(int)>("fsync");
    ++corvane::bench::gFlushes;
    return corvane::bench::gSkipFlushes ? 0 : next(fd);
}

int fstat(int fd, struct stat* st) {
    static const auto next = Next<int (*)(int, struct stat*)>("fstat");
    ++corvane::bench::gStats;
    return next(fd, st);
}

int fstat64(int fd, struct stat64* st) {
    static const auto next = Next<int (*)(int, struct stat64*)>("fstat64");
    ++corvane::bench::gStats;
    return next(fd, st);
}

int stat(const char* path, struct stat* st) {
    static const auto next = Next<int (*)(const char*, struct stat*)>("stat");
    ++corvane::bench::gStats;
    return next(path, st);
}

int open(const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    const int fd = corvane::bench::CountedOpen("open", path, flags, ap);
    va_end(ap);
    return fd;
}

int open64(const char* path, int flags, ...) {
    va_list ap;
    va_start(ap, flags);
    const int fd = corvane::bench::CountedOpen("open64", path, flags, ap);
    va_end(ap);
    return fd;
}

}  // extern "C"
