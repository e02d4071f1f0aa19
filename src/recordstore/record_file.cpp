#include "recordstore/record_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/core/raised_error.h"
#include "platform/core/text.h"

namespace corvane {
namespace {

constexpr std::int32_t kErrDeviceIO = 57;
constexpr std::int32_t kErrDiskFull = 61;

// Read-ahead blocks of a scan: the first of 64 KiB, doubling up to 1 MiB.
constexpr std::size_t kFirstBlockBytes = 64 << 10;
constexpr std::size_t kBlockBytes = 1 << 20;

// The byte the append lock covers: far past any table the system will ever hold.
constexpr off_t kAppendLockOffset = static_cast<off_t>(1) << 62;

// A request to take (F_WRLCK) or give back (F_UNLCK) the append lock's byte.
struct flock AppendLockByte(short type) {
    struct flock lock{};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = kAppendLockOffset;
    lock.l_len = 1;
    return lock;
}

// Takes (waiting for it) or gives back the append lock's byte in the given mode; false when
// the file system has no such locks.
bool SetAppendLock(int fd, short type) {
    struct flock lock = AppendLockByte(type);
    const int command = type == F_UNLCK ? F_OFD_SETLK : F_OFD_SETLKW;
    int r;
    do {
        r = ::fcntl(fd, command, &lock);
    } while (r != 0 && errno == EINTR);
    return r == 0;
}

RaisedError FileError(int err, const std::string& path) {
    const std::string detail = " (" + path + ": " + std::strerror(err) + ")";
    switch (err) {
        case ENOENT:
        case ENOTDIR: return RaisedError(kErrPathNotFound, kProgramTitle, "Path not found" + detail);
        case EACCES:
        case EPERM: return RaisedError(kErrPermissionDenied, kProgramTitle, "Permission denied" + detail);
        case ENAMETOOLONG:
        case EBADF: return RaisedError(kErrBadFileNameOrNumber, kProgramTitle, "Bad file name or number" + detail);
        case ENOSPC:
        case EDQUOT: return RaisedError(kErrDiskFull, kProgramTitle, "Disk full" + detail);
        case EIO: return RaisedError(kErrDeviceIO, kProgramTitle, "Device I/O error" + detail);
        default: return RaisedError(kErrPathFileAccess, kProgramTitle, "Path/File access error" + detail);
    }
}

bool IsRegularFile(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The name of an existing regular file in path's folder that differs from path's own name
// only in letter case; the first such name in byte order, or "" when there is none.
std::string CaseVariant(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) return {};
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return {};
    std::string best;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string candidate = entry->d_name;
        if (candidate == name || !text::Equals(candidate, name)) continue;
        const std::string full = (slash == std::string::npos ? "" : folder) + candidate;
        if (IsRegularFile(full) && (best.empty() || full < best)) best = full;
    }
    ::closedir(dir);
    return best;
}

}  // namespace

RecordFile::RecordFile(std::uint32_t slotLength, std::uint32_t dataLength)
    : slotLength_(slotLength), dataLength_(dataLength) {}

RecordFile::~RecordFile() { Close(); }

std::string RecordFile::ResolvePath(const std::string& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) {
        if (auto variant = CaseVariant(path); !variant.empty()) return variant;
    }
    return path;
}

bool RecordFile::Exists(const std::string& path) {
    struct stat st{};
    if (::stat(ResolvePath(path).c_str(), &st) == 0) return true;
    if (errno == ENOENT || errno == ENOTDIR) return false;
    throw FileError(errno, path);
}

void RecordFile::Open(const std::string& path) {
    Close();
    const std::string target = ResolvePath(path);
    struct stat st{};
    // Non-blocking so that a FIFO or device in the file's place cannot hang the open.
    constexpr int kFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = ::open(target.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
    bool readOnly = false;
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        // A share ordinary users may only read: reading works, a write raises.
        const int refused = errno;
        fd = ::open(target.c_str(), O_RDONLY | kFlags);
        if (fd < 0) throw FileError(refused, path);
        readOnly = true;
    }
    if (fd < 0) throw FileError(errno, path);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw RaisedError(kErrPathFileAccess, kProgramTitle,
                          "Path/File access error (" + path + " is not a regular file)");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    path_ = target;
    readOnly_ = readOnly;
    position_ = 0;
}

void RecordFile::Close() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    scanLocked_ = false;
    readOnly_ = false;
    position_ = 0;
    blockBytes_ = 0;
    scanLength_ = -1;
    block_.reset();
    blockCapacity_ = 0;
}

void RecordFile::RequireOpen() const {
    if (fd_ < 0) throw RaisedError(kErrBadFileNameOrNumber, kProgramTitle, "Bad file name or number");
}

void RecordFile::RequireWritable() const {
    RequireOpen();
    if (readOnly_) throw FileError(EACCES, path_);
}

std::int32_t RecordFile::Loc() const {
    RequireOpen();
    return position_;
}

std::int64_t RecordFile::Offset(std::int32_t n) const {
    if (n < 1) throw RaisedError(kErrBadRecordNumber, kProgramTitle, "Bad record number");
    return (static_cast<std::int64_t>(n) - 1) * slotLength_;
}

std::int64_t RecordFile::FreshLength() {
    RequireOpen();
    struct stat st{};
    if (::fstat(fd_, &st) != 0) throw FileError(errno, path_);
    return st.st_size;
}

std::int64_t RecordFile::Length() {
    if (scanDepth_ == 0) return FreshLength();
    if (scanLength_ < 0) scanLength_ = FreshLength();
    return scanLength_;
}

std::int32_t RecordFile::SlotCount(std::int64_t length, std::uint32_t slotLength) {
    if (length <= 0 || slotLength == 0) return 0;
    std::int64_t q = length / slotLength;
    const std::int64_t twice = 2 * (length % slotLength);
    if (twice > slotLength || (twice == slotLength && q % 2 == 1)) ++q;
    return static_cast<std::int32_t>(std::min<std::int64_t>(q, INT32_MAX - 1));
}

void RecordFile::BeginScan() noexcept {
    if (scanDepth_++ == 0) {
        scanReads_ = 0;
        blockLimit_ = kFirstBlockBytes;
        // Shared with other readers, exclusive of a writer changing the file's length: a read
        // racing a cut can hand out zeros where the cut bytes were.
        scanLocked_ = fd_ >= 0 && SetAppendLock(fd_, F_RDLCK);
    }
}

void RecordFile::EndScan() noexcept {
    if (scanDepth_ > 0 && --scanDepth_ == 0) {
        scanLength_ = -1;
        blockBytes_ = 0;
        if (scanLocked_ && fd_ >= 0) SetAppendLock(fd_, F_UNLCK);
        scanLocked_ = false;
    }
}

// Fills the block with whole slots around record n (ahead of it, or behind it when the scan
// runs backwards). False when the file no longer holds n's data part.
bool RecordFile::ReadAhead(std::int32_t n, std::int64_t length) {
    const std::int64_t perBlock = std::max<std::int64_t>(1, static_cast<std::int64_t>(blockLimit_ / slotLength_));
    blockLimit_ = std::min(kBlockBytes, 2 * blockLimit_);
    const std::int64_t first = n < lastRead_ ? std::max<std::int64_t>(1, n - perBlock + 1) : n;
    const std::int64_t start = (first - 1) * slotLength_;
    const std::int64_t end = std::min<std::int64_t>(length, start + perBlock * slotLength_);
    const std::size_t want = static_cast<std::size_t>(std::max<std::int64_t>(0, end - start));
    // Grown without copying or clearing: the read overwrites it.
    if (blockCapacity_ < want) {
        block_ = std::make_unique_for_overwrite<std::uint8_t[]>(want);
        blockCapacity_ = want;
    }
    const std::size_t got = ReadAt(start, block_.get(), want);
    blockStart_ = start;
    blockBytes_ = got;
    const std::int64_t offset = Offset(n);
    return offset >= start && offset + dataLength_ <= start + static_cast<std::int64_t>(got);
}

// Reads up to count bytes at offset, stopping early only at the end of the file; the bytes
// read.
std::size_t RecordFile::ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t count) const {
    std::size_t got = 0;
    while (got < count) {
        const ssize_t r = ::pread(fd_, buffer + got, count - got, offset + static_cast<off_t>(got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throw FileError(errno, path_);
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return got;
}

// One read of the data part at offset; false when the file ends before it is whole.
bool RecordFile::ReadDirect(std::int64_t offset, std::uint8_t* buffer) {
    return ReadAt(offset, buffer, dataLength_) == dataLength_;
}

void RecordFile::Read(std::int32_t n, std::uint8_t* buffer, const std::uint8_t* blank) {
    RequireOpen();
    const std::int64_t offset = Offset(n);
    bool whole = false;
    if (scanDepth_ == 0) {
        whole = ReadDirect(offset, buffer);
    } else if (offset + dataLength_ <= Length()) {
        const bool cached = blockBytes_ > 0 && offset >= blockStart_ &&
                            offset + dataLength_ <= blockStart_ + static_cast<std::int64_t>(blockBytes_);
        if (!cached && scanReads_ == 0) {
            whole = ReadDirect(offset, buffer);
        } else {
            whole = cached || ReadAhead(n, Length());
            if (whole) std::memcpy(buffer, block_.get() + (offset - blockStart_), dataLength_);
        }
        ++scanReads_;
    }
    // A slot the file does not hold whole reads as the blank record, never as half a record.
    if (!whole) std::memcpy(buffer, blank, dataLength_);
    position_ = n;
    lastRead_ = n;
}

std::size_t RecordFile::ReadSlots(std::int32_t first, std::int32_t count, std::uint8_t* buffer) const {
    RequireOpen();
    if (count <= 0) return 0;
    return ReadAt(Offset(first), buffer, static_cast<std::size_t>(count) * slotLength_);
}

void RecordFile::Write(std::int32_t n, const std::uint8_t* buffer) {
    RequireWritable();
    const std::int64_t offset = Offset(n);
    std::size_t done = 0;
    while (done < dataLength_) {
        const ssize_t w = ::pwrite(fd_, buffer + done, dataLength_ - done, offset + static_cast<off_t>(done));
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) throw FileError(errno, path_);
        done += static_cast<std::size_t>(w);
    }
    position_ = n;
    if (scanLength_ >= 0) scanLength_ = std::max<std::int64_t>(scanLength_, offset + dataLength_);
    // Keep the read-ahead block coherent with what was just written.
    const std::int64_t blockEnd = blockStart_ + static_cast<std::int64_t>(blockBytes_);
    if (blockBytes_ > 0 && offset < blockEnd && offset + dataLength_ > blockStart_) blockBytes_ = 0;
}

void RecordFile::Truncate() {
    RequireWritable();
    {
        AppendLock lock(*this);
        int r;
        do {
            r = ::ftruncate(fd_, 0);
        } while (r != 0 && errno == EINTR);
        if (r != 0) throw FileError(errno, path_);
    }
    position_ = 0;
    lastRead_ = 0;
    blockBytes_ = 0;
    if (scanLength_ >= 0) scanLength_ = 0;
}

RecordFile::AppendLock::AppendLock(RecordFile& file) : file_(file), fd_(file.fd_) {
    if (fd_ < 0) return;
    // A scan's shared lock is given up first: two processes each waiting to turn theirs into
    // this one would wait for each other for ever.
    if (file_.scanLocked_) {
        SetAppendLock(fd_, F_UNLCK);
        file_.scanLocked_ = false;
    }
    held_ = SetAppendLock(fd_, F_WRLCK);
}

RecordFile::AppendLock::~AppendLock() {
    if (!held_) return;
    // Inside a scan the lock goes back to shared (at once), otherwise it goes.
    if (file_.scanDepth_ > 0 && file_.fd_ == fd_) file_.scanLocked_ = SetAppendLock(fd_, F_RDLCK);
    else SetAppendLock(fd_, F_UNLCK);
}

}  // namespace corvane
