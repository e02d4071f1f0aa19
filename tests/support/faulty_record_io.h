#pragma once

#include <algorithm>
#include <cerrno>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "recordstore/record_io.h"

namespace corvane::test_support {

// A disk that fails on cue under the record files: the real calls until the fault, then
// every write, flush and cut refused ("a disk that refuses one write refuses the next").
// Table writes are the writes to record files; journal writes are counted apart.
class FaultyRecordIo final : public RecordIo {
public:
    // The nth write of any file fails with error.
    void FailWrite(int n, int error) { Arm(Kind::Fail, false, n, error); }
    // The nth table write writes half its bytes and returns short; every later one fails.
    void CutTableWrite(int n, int error) { Arm(Kind::Cut, true, n, error); }
    // The nth table write lands only its first bytes (none: it fails at once) and returns
    // short, and the write of its rest fails; every write after fails too, or, with restLands,
    // lands (a disk that refused one write and takes the next, such as the old bytes'
    // write-back).
    void CutTableWriteAfter(int n, std::size_t bytes, int error, bool restLands = false) {
        Arm(Kind::Cut, true, n, error);
        cutBytes_ = bytes;
        restLands_ = restLands;
    }
    // The nth table write is reported whole but lands torn at boundary (bytes from its start):
    // its new bytes only before it (newBefore) or only from it on, the file's old bytes on the
    // other side, as a crash leaves a block the disk wrote in part. Everything after it fails,
    // its flush first.
    void TearTableWrite(int n, std::size_t boundary, bool newBefore, int error) {
        Arm(Kind::Tear, true, n, error);
        cutBytes_ = boundary;
        newBefore_ = newBefore;
    }
    // The nth table write lands whole; everything after it fails (its flush first).
    void BreakAfterTableWrite(int n, int error) { Arm(Kind::BreakAfter, true, n, error); }
    // Every write lands in pieces of at most 7 bytes, and none fails.
    void ShortWrites() { shortWrites_ = true; }
    // Every lock request fails with error.
    void RefuseLocks(int error) { lockError_ = error; }

    bool Broken() const { return broken_; }
    int TableWrites() const { return tableWrites_; }
    // Every path opened so far, in any mode.
    const std::set<std::string>& Opened() const { return opened_; }

    int Open(const char* path, int flags, mode_t mode) override {
        opened_.insert(path);
        const int fd = Real().Open(path, flags, mode);
        if (fd >= 0) journal_[fd] = std::string(path).ends_with("-journal");
        return fd;
    }
    int Close(int fd) override {
        journal_.erase(fd);
        return Real().Close(fd);
    }
    ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override {
        return Real().Pread(fd, buffer, count, offset);
    }
    ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
        if (broken_) return Refuse();
        if (refuseNext_) {
            refuseNext_ = false;
            return Refuse();
        }
        const bool table = !journal_[fd];
        if (table) ++tableWrites_;
        ++allWrites_;
        const int seen = tableOnly_ ? (table ? tableWrites_ : 0) : allWrites_;
        if (kind_ != Kind::None && seen == nth_) {
            if (kind_ == Kind::Fail) {
                broken_ = true;
                return Refuse();
            }
            if (kind_ == Kind::Cut) {
                const std::size_t cut = cutBytes_ == kHalf ? count / 2 : std::min(cutBytes_, count);
                broken_ = !restLands_;
                refuseNext_ = restLands_ && cut > 0;
                if (cut == 0) return Refuse();
                return Real().Pwrite(fd, buffer, cut, offset);
            }
            if (kind_ == Kind::Tear) return Torn(fd, buffer, count, offset);
            const ssize_t w = Real().Pwrite(fd, buffer, count, offset);
            broken_ = true;
            return w;
        }
        if (shortWrites_ && count > 7) count = 7;
        return Real().Pwrite(fd, buffer, count, offset);
    }
    int Sync(int fd) override { return broken_ ? Refuse() : Real().Sync(fd); }
    int Ftruncate(int fd, off_t length) override { return broken_ ? Refuse() : Real().Ftruncate(fd, length); }
    int Fstat(int fd, struct stat* st) override { return Real().Fstat(fd, st); }
    int Fchmod(int fd, mode_t mode) override { return Real().Fchmod(fd, mode); }
    int Lstat(const char* path, struct stat* st) override { return Real().Lstat(path, st); }
    int Lock(int fd, int command, struct flock* lock) override {
        if (lockError_ != 0 && lock->l_type != F_UNLCK) {
            errno = lockError_;
            return -1;
        }
        return Real().Lock(fd, command, lock);
    }
    int Unlink(const char* path) override { return Real().Unlink(path); }

private:
    enum class Kind { None, Fail, Cut, BreakAfter, Tear };
    static constexpr std::size_t kHalf = static_cast<std::size_t>(-1);
    void Arm(Kind kind, bool tableOnly, int n, int error) {
        kind_ = kind;
        tableOnly_ = tableOnly;
        nth_ = n;
        error_ = error;
    }
    int Refuse() {
        errno = error_;
        return -1;
    }
    ssize_t Torn(int fd, const void* buffer, size_t count, off_t offset) {
        broken_ = true;
        std::vector<char> landed(count);
        const ssize_t had = Real().Pread(fd, landed.data(), count, offset);
        if (had < 0) return -1;
        const auto* now = static_cast<const char*>(buffer);
        const std::size_t boundary = std::min(cutBytes_, count);
        for (std::size_t i = 0; i < count; ++i)
            if ((i < boundary) == newBefore_ || i >= static_cast<std::size_t>(had)) landed[i] = now[i];
        return Real().Pwrite(fd, landed.data(), count, offset);
    }

    Kind kind_ = Kind::None;
    bool tableOnly_ = false;
    int nth_ = 0;
    int error_ = EIO;
    bool broken_ = false;
    std::size_t cutBytes_ = kHalf;
    bool restLands_ = false;
    bool refuseNext_ = false;
    bool newBefore_ = false;
    bool shortWrites_ = false;
    int lockError_ = 0;
    int tableWrites_ = 0;
    int allWrites_ = 0;
    std::map<int, bool> journal_;
    std::set<std::string> opened_;
};

// The three ways each write path is tested to fail.
struct DiskFault {
    const char* what;
    std::function<void(FaultyRecordIo&)> arm;
    bool appendLands;  // an append's one write lands whole before the disk fails
};

inline const std::vector<DiskFault>& DiskFaults() {
    static const std::vector<DiskFault> faults = {
        {"fails at once", [](FaultyRecordIo& io) { io.FailWrite(1, ENOSPC); }, false},
        {"cut short mid-slot", [](FaultyRecordIo& io) { io.CutTableWrite(1, EIO); }, false},
        {"fails on the next write", [](FaultyRecordIo& io) { io.BreakAfterTableWrite(1, ENOSPC); }, true},
    };
    return faults;
}

// Puts io under every record file opened while it lives.
class RecordIoScope {
public:
    explicit RecordIoScope(RecordIo& io) : before_(RecordIo::Replace(&io)) {}
    ~RecordIoScope() { RecordIo::Replace(before_); }
    RecordIoScope(const RecordIoScope&) = delete;
    RecordIoScope& operator=(const RecordIoScope&) = delete;

private:
    RecordIo* before_;
};

}  // namespace corvane::test_support
