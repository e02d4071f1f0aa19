// The writing half of RecordFile: changes in place, their journal, putting a journal back,
// and batches of many changes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "platform/core/raised_error.h"
#include "recordstore/record_file.h"
#include "recordstore/record_file_calls.h"
#include "recordstore/record_io.h"
#include "recordstore/record_journal.h"

namespace corvane {

using record_calls::FileError;
using record_calls::SyncFile;
using record_calls::WriteAll;

namespace {

// The disk writes an aligned block of this many bytes whole or not at all.
constexpr std::int64_t kAtomicBlock = 512;

// A journal longer than this is no journal of ours.
constexpr std::int64_t kMaxJournal = std::int64_t{1} << 30;

std::string FileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

RaisedError JournalError(std::int32_t number, const std::string& journal, const std::string& why) {
    const char* word = number == kErrPermissionDenied ? "Permission denied" : "Path/File access error";
    return RaisedError(number, kProgramTitle, std::string(word) + " (" + journal + " " + why + ")");
}

// The files a batch holds, by path, and the thread running it: another handle of the same
// file on that thread would wait for ever for the lock its own thread holds. Other threads
// wait as other workstations do.
struct BatchHolder {
    const RecordFile* file;
    std::thread::id thread;
};
std::mutex gBatchMutex;
std::map<std::string, BatchHolder>& Batches() {
    static std::map<std::string, BatchHolder> batches;
    return batches;
}

}  // namespace

bool RecordFile::BatchElsewhere() const {
    const std::lock_guard guard(gBatchMutex);
    const auto it = Batches().find(path_);
    return it != Batches().end() && it->second.file != this && it->second.thread == std::this_thread::get_id();
}

// --- writing over a slot ---

void RecordFile::Overwrite(std::int64_t offset, const std::uint8_t* buffer) {
    if (const auto staged = staged_.find(offset); staged != staged_.end()) {
        staged->second.now.assign(buffer, buffer + dataLength_);
        return;
    }
    Change change{std::vector<std::uint8_t>(dataLength_), std::vector<std::uint8_t>(buffer, buffer + dataLength_)};
    if (ReadAt(offset, change.old.data(), dataLength_) != dataLength_) throw FileError(EIO, path_);
    if (change.old == change.now) return;
    if (batchDepth_ > 0) {
        staged_.emplace(offset, std::move(change));
        return;
    }
    if (inPlaceDepth_ > 0 && WriteInPlace(offset, change)) return;
    Changes one;
    one.emplace(offset, std::move(change));
    WriteChanges(one);
}

// Only the changed bytes, then one flush. A failure puts the old bytes back (flushed); when
// that fails too the new ones may be on the disk, so the handle goes and the error says so.
bool RecordFile::WriteInPlace(std::int64_t offset, const Change& change) {
    std::size_t first = 0;
    while (first < dataLength_ && change.old[first] == change.now[first]) ++first;
    std::size_t last = dataLength_ - 1;
    while (last > first && change.old[last] == change.now[last]) --last;
    const std::int64_t from = offset + static_cast<std::int64_t>(first);
    if (anySpanDepth_ == 0 && from / kAtomicBlock != (offset + static_cast<std::int64_t>(last)) / kAtomicBlock)
        return false;
    const std::size_t count = last - first + 1;
    int err = WriteAll(*io_, fd_, change.now.data() + first, count, from);
    if (!err) err = SyncFile(*io_, fd_);
    blockBytes_ = 0;
    if (!err) return true;
    const RaisedError failure = FileError(err, path_);
    int undo = WriteAll(*io_, fd_, change.old.data() + first, count, from);
    if (!undo) undo = SyncFile(*io_, fd_);
    if (!undo) throw failure;
    Close();
    std::string description = failure.Description();
    description.insert(description.size() - 1, "; the change may stand: its old bytes could not be written back (" +
                                                   std::string(std::strerror(undo)) + ")");
    throw RaisedError(failure.Number(), failure.Source(), description);
}

void RecordFile::WriteChanges(const Changes& changes) {
    for (const auto& [offset, change] : changes)
        if (change.old != change.now) {
            WriteJournalled(changes);
            return;
        }
}

// The old bytes of every slot go to the journal (flushed) first, and the journal goes once
// the new bytes are on the disk. A failure puts the old bytes back at once; when even that
// fails the journal stays, and whoever takes the lock next puts them back. So the table
// never reads as a mixture of old and new.
void RecordFile::WriteJournalled(const Changes& changes) {
    WriteJournal(changes);
    int err = 0;
    for (const auto& [offset, change] : changes) {
        if (change.old == change.now) continue;
        if ((err = WriteAll(*io_, fd_, change.now.data(), dataLength_, offset)) != 0) break;
    }
    if (!err) err = SyncFile(*io_, fd_);
    if (!err && io_->Unlink(JournalPath().c_str()) != 0 && errno != ENOENT) err = errno;
    blockBytes_ = 0;
    if (!err) return;
    const RaisedError failure = FileError(err, path_);
    PutBack(changes);
    throw failure;
}

// After a failed change: the old bytes back, flushed, and the journal removed; when that
// fails too, the handle is closed, so that the next use opens afresh and puts them back.
void RecordFile::PutBack(const Changes& changes) {
    int err = 0;
    for (const auto& [offset, change] : changes)
        if (!err) err = WriteAll(*io_, fd_, change.old.data(), dataLength_, offset);
    if (!err) err = SyncFile(*io_, fd_);
    if (!err && io_->Unlink(JournalPath().c_str()) != 0 && errno != ENOENT) err = errno;
    if (err) Close();
}

void RecordFile::WriteJournal(const Changes& changes) {
    const std::string journal = JournalPath();
    std::vector<JournalSlot> slots;
    slots.reserve(changes.size());
    for (const auto& [offset, change] : changes)
        if (change.old != change.now) slots.push_back({offset, change.old});
    const std::vector<std::uint8_t> bytes = EncodeJournal(FileName(path_), slotLength_, dataLength_, slots);
    // Only ever a new file of this account's own: one found here stops the write, and says
    // whose it is.
    const int fd = io_->Open(journal.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, fileMode_);
    if (fd < 0) {
        const int openErr = errno;
        struct stat st{};
        if (openErr == EEXIST && io_->Lstat(journal.c_str(), &st) == 0) {
            if (Judge(st) == Journal::Foreign) ThrowForeignJournal(st);
            throw JournalError(kErrPathFileAccess, journal, "stands already: a write through another handle failed");
        }
        throw FileError(openErr, journal);
    }
    io_->Fchmod(fd, fileMode_);
    int err = WriteAll(*io_, fd, bytes.data(), bytes.size(), 0);
    if (!err) err = SyncFile(*io_, fd);
    io_->Close(fd);
    if (err) {
        // The table is untouched: a journal half written is only removed.
        io_->Unlink(journal.c_str());
        throw FileError(err, path_);
    }
}

// --- the journal found standing ---

RecordFile::Journal RecordFile::Judge(const struct stat& journal) {
    struct stat table{};
    if (io_->Fstat(fd_, &table) != 0) throw FileError(errno, path_);
    if (JournalOwnerMayWrite(journal, table, groupShared_)) return Journal::Own;
    if (!foreignReported_) {
        foreignReported_ = true;
        io_->Report("Corvane: " + path_ + ": " + JournalError(kErrPermissionDenied, JournalPath(),
                                                              "belongs to " + AccountName(journal.st_uid) +
                                                                  ", who may not write the table; it is not applied")
                                                     .Description());
    }
    return Journal::Foreign;
}

void RecordFile::ThrowForeignJournal(const struct stat& journal) {
    throw JournalError(kErrPermissionDenied, JournalPath(),
                       "belongs to " + AccountName(journal.st_uid) + ", who may not write " + path_ +
                           "; it is not applied, and no change of several bytes is written while it stands");
}

RecordFile::Journal RecordFile::ProbeJournal() {
    struct stat st{};
    if (io_->Lstat(JournalPath().c_str(), &st) != 0) {
        if (errno == ENOENT) return Journal::None;
        throw JournalError(kErrPathFileAccess, JournalPath(),
                           std::string("cannot be looked at: ") + std::strerror(errno));
    }
    return Judge(st);
}

void RecordFile::RollBack() {
    const std::string journal = JournalPath();
    const int fd = io_->Open(journal.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0);
    if (fd < 0) {
        const int openErr = errno;
        struct stat st{};
        if (openErr == ENOENT) return;
        // One that may not be read is judged by its name: another account's is left alone.
        if (io_->Lstat(journal.c_str(), &st) == 0) {
            if (Judge(st) == Journal::Foreign) return;
            if (!S_ISREG(st.st_mode)) throw JournalError(kErrPathFileAccess, journal, "is not a regular file");
        }
        throw JournalError(kErrPathFileAccess, journal, std::string("cannot be read: ") + std::strerror(openErr));
    }
    struct stat st{};
    std::vector<std::uint8_t> bytes;
    std::string refusal;
    if (io_->Fstat(fd, &st) != 0) {
        refusal = std::string("cannot be looked at: ") + std::strerror(errno);
    } else if (Judge(st) == Journal::Foreign) {
        io_->Close(fd);
        return;
    } else if (!S_ISREG(st.st_mode)) {
        refusal = "is not a regular file";
    } else if (st.st_size <= kMaxJournal) {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t r = io_->Pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) refusal = std::string("cannot be read: ") + std::strerror(errno);
            if (r <= 0) break;
            got += static_cast<std::size_t>(r);
        }
        bytes.resize(got);
    }
    io_->Close(fd);
    if (!refusal.empty()) throw JournalError(kErrPathFileAccess, journal, refusal + "; " + path_ + " is not read");
    const DecodedJournal decoded = DecodeJournal(bytes, FileName(path_), slotLength_, dataLength_);
    // A journal that is not whole was never flushed, so no slot was touched; one of another
    // table was never this one's; a slot past the end went with a clear.
    if (decoded.applies) {
        const std::int64_t length = FreshLength();
        bool any = false;
        for (const JournalSlot& slot : decoded.slots) {
            if (slot.offset < 0 || slot.offset % slotLength_ != 0 || slot.offset + dataLength_ > length) continue;
            if (readOnly_)
                throw JournalError(kErrPermissionDenied, journal,
                                   "cannot be put back from this workstation: " + path_ + " may not be written here");
            if (const int err = WriteAll(*io_, fd_, slot.old.data(), dataLength_, slot.offset))
                throw JournalError(kErrPathFileAccess, journal,
                                   "cannot be put back: " + path_ + ": " + std::strerror(err));
            any = true;
        }
        if (any)
            if (const int err = SyncFile(*io_, fd_))
                throw JournalError(kErrPathFileAccess, journal,
                                   "cannot be put back: " + path_ + ": " + std::strerror(err));
        blockBytes_ = 0;
    }
    if (io_->Unlink(journal.c_str()) != 0 && errno != ENOENT)
        throw JournalError(kErrPathFileAccess, journal,
                           std::string("was put back but cannot be removed: ") + std::strerror(errno));
}

// --- batches ---

RecordFile::Batch::Batch(RecordFile& file) : file_(file) {
    if (!file_.IsOpen()) return;
    lock_ = std::make_unique<AppendLock>(file_);
    if (!file_.IsOpen()) return;
    outer_ = file_.batchDepth_++ == 0;
    opening_ = file_.openings_;
    if (outer_) {
        const std::lock_guard guard(gBatchMutex);
        Batches()[file_.path_] = {&file_, std::this_thread::get_id()};
    }
}

RecordFile::Batch::~Batch() {
    if (!lock_) return;
    if (outer_) {
        {
            const std::lock_guard guard(gBatchMutex);
            const auto it = Batches().find(file_.path_);
            if (it != Batches().end() && it->second.file == &file_) Batches().erase(it);
        }
        // Never committed: nothing of it is written.
        if (!file_.staged_.empty()) file_.blockBytes_ = 0;
        file_.staged_.clear();
    }
    if (file_.batchDepth_ > 0) --file_.batchDepth_;
    lock_.reset();
}

void RecordFile::Batch::Commit() {
    if (!outer_ || !lock_) return;
    // A handle closed under the batch (a failed write) dropped what it held.
    if (!file_.IsOpen() || file_.openings_ != opening_)
        throw JournalError(kErrPathFileAccess, file_.path_,
                           "was closed during a change of several records; nothing of the change was written");
    const Changes changes = std::move(file_.staged_);
    file_.staged_.clear();
    file_.blockBytes_ = 0;
    file_.WriteChanges(changes);
}

}  // namespace corvane
