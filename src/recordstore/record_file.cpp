#include "recordstore/record_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/core/creation_mode.h"
#include "platform/core/raised_error.h"
#include "platform/core/text.h"
#include "recordstore/record_file_calls.h"
#include "recordstore/record_io.h"

namespace corvane {
namespace {

constexpr std::int32_t kErrDeviceIO = 57;
constexpr std::int32_t kErrDiskFull = 61;

}  // namespace

namespace record_calls {

int WriteAll(RecordIo& io, int fd, const std::uint8_t* buffer, std::size_t count, std::int64_t offset) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t w = io.Pwrite(fd, buffer + done, count - done, offset + static_cast<off_t>(done));
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) return errno;
        if (w == 0) return EIO;
        done += static_cast<std::size_t>(w);
    }
    return 0;
}

int SyncFile(RecordIo& io, int fd) {
    int r;
    do {
        r = io.Sync(fd);
    } while (r != 0 && errno == EINTR);
    return r == 0 ? 0 : errno;
}

RaisedError FileError(int err, const std::string& path) {
    if (err == ELOOP)
        return RaisedError(kErrPathFileAccess, kProgramTitle,
                           "Path/File access error (" + path + " is a symbolic link)");
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

RaisedError JournalError(std::int32_t number, const std::string& journal, const std::string& why) {
    const char* word = number == kErrPermissionDenied ? "Permission denied" : "Path/File access error";
    return RaisedError(number, kProgramTitle, std::string(word) + " (" + journal + " " + why + ")");
}

std::string FileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPath(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace record_calls

using record_calls::FileError;
using record_calls::WriteAll;

namespace {

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
bool SetAppendLock(RecordIo& io, int fd, short type) {
    struct flock lock = AppendLockByte(type);
    const int command = type == F_UNLCK ? F_OFD_SETLK : F_OFD_SETLKW;
    int r;
    do {
        r = io.Lock(fd, command, &lock);
    } while (r != 0 && errno == EINTR);
    return r == 0;
}

// The folder a path lies in, as the path names it.
std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// What a folder allows: whether accounts other than this one and its shared group may create
// files in it, and whether it is shared by a group (setgid and group-writable), whose files are
// then group-writable too. The same rule as every other file of the program.
struct FolderKind {
    bool othersMayWrite = false;
    bool groupShared = false;
};

FolderKind KindOfFolder(RecordIo& io, const std::string& folder) {
    struct stat st{};
    FolderKind kind;
    // "/." so that a folder reached through a link is judged by itself, not by the link.
    if (io.Lstat((folder + "/.").c_str(), &st) != 0) return kind;
    kind.othersMayWrite = OthersMayWriteMode(st.st_mode);
    kind.groupShared = GroupSharedMode(st.st_mode);
    return kind;
}

RaisedError ForeignFileError(const std::string& path) {
    return RaisedError(kErrPermissionDenied, kProgramTitle,
                       "Permission denied (" + path +
                           " belongs to another account in a folder others may write; it is not opened)");
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
    RecordIo& io = RecordIo::Current();
    const std::string target = ResolvePath(path);
    const FolderKind folder = KindOfFolder(io, FolderOf(target));
    // In a folder others may write, a file another account put there (or a link) is never
    // opened, not even for reading: its records would decide who may do what.
    struct stat st{};
    if (folder.othersMayWrite && io.Lstat(target.c_str(), &st) == 0 && st.st_uid != ::geteuid())
        throw ForeignFileError(path);
    // Non-blocking so that a FIFO or device in the file's place cannot hang the open; never
    // through a link.
    constexpr int kFlags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
    const mode_t mode = folder.groupShared ? 0660 : 0600;
    bool readOnly = false;
    int fd = io.Open(target.c_str(), O_RDWR | kFlags, 0);
    if (fd < 0 && errno == ENOENT) {
        // Created by this account alone, with a mode of its own whatever the umask.
        fd = io.Open(target.c_str(), O_RDWR | O_CREAT | O_EXCL | kFlags, mode);
        if (fd >= 0) {
            io.Fchmod(fd, mode);
        } else if (errno == EEXIST) {
            // Another workstation created it first: open theirs, checked as any other.
            if (folder.othersMayWrite && io.Lstat(target.c_str(), &st) == 0 && st.st_uid != ::geteuid())
                throw ForeignFileError(path);
            fd = io.Open(target.c_str(), O_RDWR | kFlags, 0);
        }
    }
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        // A share ordinary users may only read: reading works, a write raises.
        const int refused = errno;
        fd = io.Open(target.c_str(), O_RDONLY | kFlags, 0);
        if (fd < 0) throw FileError(refused, path);
        readOnly = true;
    }
    if (fd < 0) throw FileError(errno, path);
    if (io.Fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        io.Close(fd);
        throw RaisedError(kErrPathFileAccess, kProgramTitle,
                          "Path/File access error (" + path + " is not a regular file)");
    }
    if (folder.othersMayWrite && st.st_uid != ::geteuid()) {
        io.Close(fd);
        throw ForeignFileError(path);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    io_ = &io;
    fd_ = fd;
    device_ = static_cast<std::uint64_t>(st.st_dev);
    inode_ = static_cast<std::uint64_t>(st.st_ino);
    ++openings_;
    path_ = target;
    readOnly_ = readOnly;
    position_ = 0;
    othersMayWrite_ = folder.othersMayWrite;
    groupShared_ = folder.groupShared;
    foreignReported_ = false;
    deadSwept_ = false;
    fileMode_ = mode;
    // A write that failed and could not be undone left its journal: the slots go back
    // before anything reads the table.
    try {
        // A table of this thread's change of several tables was looked at when it began.
        if (!GroupedLive() && ProbeJournal() == Journal::Own) AppendLock lock(*this);
    } catch (...) {
        Close();
        throw;
    }
}

std::string RecordFile::JournalPath() const { return path_ + "-journal"; }

void RecordFile::Close() noexcept {
    if (lockHeld_) RegisterHeld(false);
    if (fd_ >= 0) io_->Close(fd_);
    fd_ = -1;
    scanLocked_ = false;
    lockHeld_ = false;
    lockDepth_ = 0;
    batchDepth_ = 0;
    staged_.clear();
    lockedLength_ = -1;
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
    if (io_->Fstat(fd_, &st) != 0) throw FileError(errno, path_);
    std::int64_t length = st.st_size;
    // Appends a change of several tables keeps aside count as written.
    if (const Group::Member* member = GroupedLive()) length = std::max(length, GroupAppendEnd(*member));
    if (lockHeld_) lockedLength_ = length;
    return length;
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

void RecordFile::BeginScan() {
    if (scanDepth_ == 0 && fd_ >= 0 && lockDepth_ == 0 && !BatchElsewhere() && !GroupedLive()) {
        // Shared with other readers, exclusive of a writer changing the file's length: a read
        // racing a cut can hand out zeros where the cut bytes were. A journal found under it
        // is put back under the lock held exclusively, then the scan starts again.
        for (int tries = 0;; ++tries) {
            scanLocked_ = SetAppendLock(*io_, fd_, F_RDLCK);
            Journal journal = Journal::None;
            try {
                journal = ProbeJournal();
            } catch (...) {
                if (scanLocked_) SetAppendLock(*io_, fd_, F_UNLCK);
                scanLocked_ = false;
                throw;
            }
            if (journal != Journal::Own) break;
            if (scanLocked_) SetAppendLock(*io_, fd_, F_UNLCK);
            scanLocked_ = false;
            if (tries == 3)
                throw RaisedError(kErrPathFileAccess, kProgramTitle,
                                  "Path/File access error (" + JournalPath() +
                                      " stands again each time it is put back; " + path_ + " is not read)");
            AppendLock lock(*this);
        }
    }
    if (scanDepth_++ == 0) {
        scanReads_ = 0;
        blockLimit_ = kFirstBlockBytes;
    }
}

void RecordFile::EndScan() noexcept {
    if (scanDepth_ > 0 && --scanDepth_ == 0) {
        scanLength_ = -1;
        blockBytes_ = 0;
        if (scanLocked_ && fd_ >= 0) SetAppendLock(*io_, fd_, F_UNLCK);
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
        const ssize_t r = io_->Pread(fd_, buffer + got, count - got, offset + static_cast<off_t>(got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throw FileError(errno, path_);
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    // A batch's writes kept aside read as written; so do the appends a group keeps aside.
    const Changes& staged = Overlay();
    if (const Group::Member* member = GroupedLive()) {
        const std::int64_t end = std::min<std::int64_t>(offset + static_cast<std::int64_t>(count), GroupAppendEnd(*member));
        if (end > offset + static_cast<std::int64_t>(got)) {
            std::memset(buffer + got, 0, static_cast<std::size_t>(end - offset) - got);
            got = static_cast<std::size_t>(end - offset);
        }
    }
    const std::int64_t end = offset + static_cast<std::int64_t>(got);
    for (auto it = staged.From(offset - dataLength_ + 1); it != staged.Slots().end() && it->offset < end; ++it) {
        const std::int64_t from = std::max(offset, it->offset);
        const std::int64_t to = std::min<std::int64_t>(end, it->offset + dataLength_);
        if (from < to)
            std::memcpy(buffer + (from - offset), staged.Now(*it) + (from - it->offset), static_cast<std::size_t>(to - from));
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
    const std::int64_t length = lockedLength_ >= 0 ? lockedLength_ : FreshLength();
    if (offset + dataLength_ <= length) {
        Overwrite(offset, buffer);
    } else if (Group::Member* member = Grouped()) {
        StageInGroup(*member, offset, buffer, true);
        if (lockedLength_ >= 0) lockedLength_ = std::max<std::int64_t>(lockedLength_, offset + dataLength_);
    } else if (const int err = WriteAll(*io_, fd_, buffer, dataLength_, offset)) {
        // An append cut short leaves a slot the file does not hold whole: it reads as blank
        // and the next append takes it.
        lockedLength_ = -1;
        throw FileError(err, path_);
    } else if (lockedLength_ >= 0) {
        lockedLength_ = std::max<std::int64_t>(lockedLength_, offset + dataLength_);
    }
    position_ = n;
    if (scanLength_ >= 0) scanLength_ = std::max<std::int64_t>(scanLength_, offset + dataLength_);
    // Keep the read-ahead block coherent with what was just written.
    const std::int64_t blockEnd = blockStart_ + static_cast<std::int64_t>(blockBytes_);
    if (blockBytes_ > 0 && offset < blockEnd && offset + dataLength_ > blockStart_) blockBytes_ = 0;
}

void RecordFile::Truncate() {
    RequireWritable();
    if (Grouped())
        throw RaisedError(kErrPathFileAccess, kProgramTitle,
                          "Path/File access error (" + path_ + " is held by a change of several tables)");
    {
        AppendLock lock(*this);
        int r;
        do {
            r = io_->Ftruncate(fd_, 0);
        } while (r != 0 && errno == EINTR);
        lockedLength_ = -1;
        staged_.clear();
        if (r != 0) throw FileError(errno, path_);
    }
    position_ = 0;
    lastRead_ = 0;
    blockBytes_ = 0;
    if (scanLength_ >= 0) scanLength_ = 0;
}

RecordFile::AppendLock::AppendLock(RecordFile& file, bool appendOnly) : file_(file), fd_(file.fd_) {
    if (fd_ < 0) return;
    if (file_.lockDepth_ > 0) {
        // Held already through this handle (a batch): nothing to take or check again.
        ++file_.lockDepth_;
        counted_ = true;
        return;
    }
    if (file_.GroupedLive()) {
        // The change of several tables this thread runs holds the lock already.
        file_.lockDepth_ = 1;
        counted_ = true;
        file_.lockHeld_ = true;
        file_.lockedLength_ = -1;
        return;
    }
    if (file_.BatchElsewhere())
        throw RaisedError(kErrPathFileAccess, kProgramTitle,
                          "Path/File access error (" + file_.path_ +
                              " is being changed through another handle of this program)");
    RecordIo& io = *file_.io_;
    // A scan's shared lock is given up first: two processes each waiting to turn theirs into
    // this one would wait for each other for ever.
    if (file_.scanLocked_) {
        SetAppendLock(io, fd_, F_UNLCK);
        file_.scanLocked_ = false;
    }
    held_ = SetAppendLock(io, fd_, F_WRLCK);
    const int lockErr = errno;
    file_.lockDepth_ = 1;
    counted_ = true;
    file_.lockHeld_ = held_;
    file_.lockedLength_ = -1;
    if (held_) {
        file_.RegisterHeld(true);
        registered_ = true;
    }
    // Even an append looks: a change cut off may have appended, and putting it back cuts the
    // table to its length before.
    (void)appendOnly;
    try {
        if (file_.ProbeJournal() != Journal::Own) return;
        // Putting a slot back without the lock could undo a write in flight elsewhere.
        if (file_.readOnly_)
            throw RaisedError(kErrPermissionDenied, kProgramTitle,
                              "Permission denied (" + file_.JournalPath() +
                                  " cannot be put back from this workstation: " + file_.path_ +
                                  " may not be written here)");
        if (!held_)
            throw RaisedError(kErrPathFileAccess, kProgramTitle,
                              "Path/File access error (" + file_.JournalPath() + " cannot be put back: " +
                                  file_.path_ + " cannot be locked here: " + std::strerror(lockErr) + ")");
        file_.RollBack();
    } catch (...) {
        // Nothing reads this table through this handle while its journal stays.
        Release();
        file_.Close();
        throw;
    }
}

RecordFile::AppendLock::~AppendLock() { Release(); }

void RecordFile::AppendLock::Release() noexcept {
    if (!counted_) return;
    counted_ = false;
    // A handle closed meanwhile gave its locks back with its descriptor.
    if (file_.fd_ != fd_) return;
    if (--file_.lockDepth_ > 0) return;
    if (registered_) file_.RegisterHeld(false);
    registered_ = false;
    file_.lockHeld_ = false;
    file_.lockedLength_ = -1;
    if (!held_) return;
    held_ = false;
    RecordIo& io = *file_.io_;
    // Inside a scan the lock goes back to shared (at once), otherwise it goes.
    if (file_.scanDepth_ > 0) file_.scanLocked_ = SetAppendLock(io, fd_, F_RDLCK);
    else SetAppendLock(io, fd_, F_UNLCK);
}

}  // namespace corvane
