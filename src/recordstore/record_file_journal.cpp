// The writing half of RecordFile: changes in place, their journal, putting a journal back,
// and batches of many changes.
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "platform/core/raised_error.h"
#include "recordstore/record_file.h"
#include "recordstore/record_file_calls.h"
#include "recordstore/record_io.h"
#include "recordstore/record_journal.h"

namespace corvane {

// The helpers the record file's parts share.
using namespace record_calls;

namespace {

// The disk writes an aligned block of this many bytes whole or not at all.
constexpr std::int64_t kAtomicBlock = 512;

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

// --- the slots of a change ---

namespace {
// The buffer of the last large change on this thread, kept for the next: a change of
// thousands of slots then stages in memory already mapped instead of faulting in fresh pages
// each time. A change ending after the thread's spare went (a handle destroyed at exit)
// keeps its buffer to itself.
constexpr std::size_t kSpareLeast = std::size_t{64} << 10;
constexpr std::size_t kSpareLimit = std::size_t{64} << 20;
thread_local bool tSpareGone = false;
struct SpareBytes {
    std::vector<std::uint8_t> bytes;
    ~SpareBytes() { tSpareGone = true; }
};
thread_local SpareBytes tSpare;
}  // namespace

RecordFile::Changes::~Changes() { GiveBack(); }

void RecordFile::Changes::clear() {
    slots_.clear();
    GiveBack();
    if (bytes_.capacity() >= kSpareLeast) std::vector<std::uint8_t>().swap(bytes_);
    bytes_.clear();
}

void RecordFile::Changes::GiveBack() {
    if (tSpareGone || bytes_.capacity() < kSpareLeast || bytes_.capacity() > kSpareLimit ||
        bytes_.capacity() <= tSpare.bytes.capacity())
        return;
    tSpare.bytes = std::move(bytes_);
    std::vector<std::uint8_t>().swap(bytes_);
}

RecordFile::Changes::Slot* RecordFile::Changes::Find(std::int64_t offset) {
    if (!slots_.empty() && slots_.back().offset == offset) return &slots_.back();
    const auto it = std::lower_bound(slots_.begin(), slots_.end(), offset,
                                     [](const Slot& slot, std::int64_t at) { return slot.offset < at; });
    return it != slots_.end() && it->offset == offset ? &*it : nullptr;
}

std::vector<RecordFile::Changes::Slot>::const_iterator RecordFile::Changes::From(std::int64_t offset) const {
    return std::lower_bound(slots_.begin(), slots_.end(), offset,
                            [](const Slot& slot, std::int64_t at) { return slot.offset < at; });
}

void RecordFile::Changes::Add(std::int64_t offset, const std::uint8_t* old, const std::uint8_t* now, bool appended) {
    if (bytes_.capacity() == 0 && !tSpareGone && tSpare.bytes.capacity() > 0) {
        bytes_.swap(tSpare.bytes);
        bytes_.clear();
    }
    const Slot slot{offset, bytes_.size(), appended};
    bytes_.resize(bytes_.size() + 2 * static_cast<std::size_t>(dataLength_));
    if (old) std::memcpy(bytes_.data() + slot.at, old, dataLength_);
    std::memcpy(bytes_.data() + slot.at + dataLength_, now, dataLength_);
    // A change stages its slots mostly in the order of the file.
    if (slots_.empty() || slots_.back().offset < offset)
        slots_.push_back(slot);
    else
        slots_.insert(From(offset), slot);
}

void RecordFile::Changes::SetNow(const Slot& slot, const std::uint8_t* now) {
    std::memcpy(bytes_.data() + slot.at + dataLength_, now, dataLength_);
}

bool RecordFile::Changes::Writes(const Slot& slot) const {
    return slot.appended || std::memcmp(Old(slot), Now(slot), dataLength_) != 0;
}

// --- writing over a slot ---

void RecordFile::Overwrite(std::int64_t offset, const std::uint8_t* buffer) {
    if (Group::Member* member = Grouped()) {
        StageInGroup(*member, offset, buffer, false);
        return;
    }
    if (const Changes::Slot* staged = staged_.Find(offset)) {
        staged_.SetNow(*staged, buffer);
        return;
    }
    std::vector<std::uint8_t> old(dataLength_);
    if (ReadAt(offset, old.data(), dataLength_) != dataLength_) throw FileError(EIO, path_);
    if (std::memcmp(old.data(), buffer, dataLength_) == 0) return;
    if (batchDepth_ > 0) {
        staged_.Add(offset, old.data(), buffer, false);
        return;
    }
    if (inPlaceDepth_ > 0 && WriteInPlace(offset, old.data(), buffer)) return;
    Changes one(dataLength_);
    one.Add(offset, old.data(), buffer, false);
    WriteChanges(one);
}

// Only the changed bytes, then one flush. A failure puts the old bytes back (flushed); when
// that fails too the new ones may be on the disk, so the handle goes and the error says so.
bool RecordFile::WriteInPlace(std::int64_t offset, const std::uint8_t* old, const std::uint8_t* now) {
    std::size_t first = 0;
    while (first < dataLength_ && old[first] == now[first]) ++first;
    std::size_t last = dataLength_ - 1;
    while (last > first && old[last] == now[last]) --last;
    const std::int64_t from = offset + static_cast<std::int64_t>(first);
    if (anySpanDepth_ == 0 && from / kAtomicBlock != (offset + static_cast<std::int64_t>(last)) / kAtomicBlock)
        return false;
    const std::size_t count = last - first + 1;
    int err = WriteAll(*io_, fd_, now + first, count, from);
    if (!err) err = SyncFile(*io_, fd_);
    blockBytes_ = 0;
    if (!err) return true;
    const RaisedError failure = FileError(err, path_);
    int undo = WriteAll(*io_, fd_, old + first, count, from);
    if (!undo) undo = SyncFile(*io_, fd_);
    if (!undo) throw failure;
    Close();
    std::string description = failure.Description();
    description.insert(description.size() - 1, "; the change may stand: its old bytes could not be written back (" +
                                                   std::string(std::strerror(undo)) + ")");
    throw RaisedError(failure.Number(), failure.Source(), description);
}

void RecordFile::WriteChanges(const Changes& changes) {
    for (const Changes::Slot& slot : changes.Slots())
        if (changes.Writes(slot)) {
            WriteJournalled(changes);
            return;
        }
}

void RecordFile::WriteJournalled(const Changes& changes) { CommitParts({Part{this, &changes}}); }

namespace {

// What one table of a change writes, as the journal holds it.
struct PartPlan {
    JournalTable journal;  // without its slots, which the change holds
    std::size_t slots = 0;
    bool writes = false;
};

std::string RandomSuffix() {
    std::uint64_t v = 0;
    if (::getrandom(&v, sizeof v, 0) != static_cast<ssize_t>(sizeof v))
        v = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
            (static_cast<std::uint64_t>(::getpid()) << 32);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
    return text;
}

}  // namespace

// The order: a marker at every table's journal name (so that every reader of every table
// looks), the journal written whole and flushed, the tables written and flushed, the journal
// removed (the commit point), the markers removed. A failure before the journal's removal
// puts the old bytes back at once; when even that fails the journal stays, every handle of
// the change is closed, and whoever opens any of its tables next puts them all back.
void RecordFile::CommitParts(const std::vector<Part>& parts) {
    if (parts.empty()) return;
    RecordIo& io = *parts.front().file->io_;
    const std::string folder = FolderPath(parts.front().file->path_);
    std::vector<PartPlan> plans(parts.size());
    bool any = false;
    mode_t mode = 0666;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        RecordFile& file = *parts[i].file;
        file.RequireWritable();
        JournalTable& table = plans[i].journal;
        table.name = FileName(file.path_);
        table.slotLength = file.slotLength_;
        table.dataLength = file.dataLength_;
        table.device = file.device_;
        table.inode = file.inode_;
        struct stat st{};
        if (io.Fstat(file.fd_, &st) != 0) throw FileError(errno, file.path_);
        mode &= st.st_mode & 0666;
        const Changes& changes = *parts[i].changes;
        for (const Changes::Slot& slot : changes.Slots()) {
            if (slot.appended) {
                table.length = st.st_size;
                plans[i].writes = true;
            } else if (changes.Writes(slot)) {
                ++plans[i].slots;
                plans[i].writes = true;
            }
        }
        any = any || plans[i].writes;
    }
    if (!any) return;
    mode |= S_IRUSR | S_IWUSR;

    std::vector<std::string> made;
    const auto removeMade = [&] {
        for (auto it = made.rbegin(); it != made.rend(); ++it) io.Unlink(it->c_str());
    };
    const auto create = [&](const std::string& path) {
        const int fd = io.Open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0) {
            io.Fchmod(fd, mode);
            made.push_back(path);
        }
        return fd;
    };
    std::vector<const JournalTable*> tables;
    for (const PartPlan& plan : plans)
        if (plan.writes) tables.push_back(&plan.journal);
    // The journal at the first table's name when that is free, else at a name of its own: a
    // file anyone put at a name everyone knows stops nothing.
    const std::string first = folder + tables.front()->name + "-journal";
    std::string journal = first;
    int fd = create(first);
    for (int tries = 0; fd < 0 && errno == EEXIST && tries < 32; ++tries) {
        journal = first + "-" + RandomSuffix();
        fd = create(journal);
    }
    if (fd < 0) throw FileError(errno, journal);
    for (std::size_t t = 1; t < tables.size(); ++t) {
        const std::string marker = folder + tables[t]->name + "-journal";
        const int m = create(marker);
        if (m >= 0) {
            io.Close(m);
        } else if (errno != EEXIST) {
            const RaisedError failure = FileError(errno, marker);
            io.Close(fd);
            removeMade();
            throw failure;
        }
    }
    std::size_t size = 32;
    for (const PartPlan& plan : plans)
        if (plan.writes) size += 48 + plan.journal.name.size() + plan.slots * (8 + plan.journal.dataLength);
    JournalWriter writer(std::hash<std::string>{}(RandomSuffix()), size);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!plans[i].writes) continue;
        writer.Table(plans[i].journal, plans[i].slots);
        const Changes& changes = *parts[i].changes;
        for (const Changes::Slot& slot : changes.Slots())
            if (!slot.appended && changes.Writes(slot)) writer.Slot(slot.offset, changes.Old(slot));
    }
    const std::vector<std::uint8_t> bytes = writer.Finish();
    int err = WriteAll(io, fd, bytes.data(), bytes.size(), 0);
    if (!err) err = SyncFile(io, fd);
    io.Close(fd);
    if (err) {
        // No table was touched: a journal half written is only removed.
        removeMade();
        throw FileError(err, parts.front().file->path_);
    }

    std::string failedPath;
    for (const Part& part : parts) {
        RecordFile& file = *part.file;
        err = file.WriteRuns(*part.changes);
        if (!err) err = SyncFile(io, file.fd_);
        file.blockBytes_ = 0;
        if (err) {
            failedPath = file.path_;
            break;
        }
    }
    if (!err && io.Unlink(journal.c_str()) != 0 && errno != ENOENT) {
        err = errno;
        failedPath = journal;
    }
    if (!err) {
        made.erase(made.begin());
        removeMade();
        return;
    }
    const RaisedError failure = FileError(err, failedPath);
    // Back as it was: the old bytes, the length before the appends, flushed; then the journal.
    int undo = 0;
    for (std::size_t i = 0; i < parts.size() && !undo; ++i) {
        RecordFile& file = *parts[i].file;
        const Changes& changes = *parts[i].changes;
        for (const Changes::Slot& slot : changes.Slots())
            if (!undo && !slot.appended && changes.Writes(slot))
                undo = WriteAll(io, file.fd_, changes.Old(slot), file.dataLength_, slot.offset);
        const std::int64_t length = plans[i].journal.length;
        if (!undo && length >= 0 && io.Ftruncate(file.fd_, length) != 0) undo = errno;
        if (!undo) undo = SyncFile(io, file.fd_);
    }
    if (!undo && io.Unlink(journal.c_str()) != 0 && errno != ENOENT) undo = errno;
    if (!undo) {
        removeMade();
    } else {
        for (const Part& part : parts) part.file->Close();
    }
    throw failure;
}

// Slots next to each other go in one write, the bytes between their data parts (the slots'
// tails, which carry nothing and are never read) zero as every writer leaves them.
int RecordFile::WriteRuns(const Changes& changes) {
    std::vector<std::uint8_t> run;
    const std::vector<Changes::Slot>& slots = changes.Slots();
    std::size_t i = 0;
    while (i < slots.size()) {
        if (!changes.Writes(slots[i])) {
            ++i;
            continue;
        }
        std::size_t last = i;
        std::size_t next = i + 1;
        while (next < slots.size() && slots[next].offset == slots[last].offset + slotLength_ && changes.Writes(slots[next]))
            last = next++;
        const std::int64_t start = slots[i].offset;
        if (last == i) {
            if (const int err = WriteAll(*io_, fd_, changes.Now(slots[i]), dataLength_, start)) return err;
        } else {
            const std::size_t length = static_cast<std::size_t>(slots[last].offset - start) + dataLength_;
            run.assign(length, 0);
            for (std::size_t c = i; c != next; ++c)
                std::memcpy(run.data() + (slots[c].offset - start), changes.Now(slots[c]), dataLength_);
            if (const int err = WriteAll(*io_, fd_, run.data(), length, start)) return err;
        }
        i = next;
    }
    return 0;
}

// --- groups of tables ---

struct RecordFile::Group::Member {
    std::string path;
    std::uint32_t slotLength;
    std::uint32_t dataLength;
    std::unique_ptr<RecordFile> file;
    std::unique_ptr<AppendLock> lock;
    Changes staged{0};
    std::int64_t appendEnd = 0;  // the end of the last slot appended, 0: none
};

namespace {
thread_local RecordFile::Group* tGroup = nullptr;
}  // namespace

RecordFile::Group::Group() {
    if (tGroup)
        throw RaisedError(kErrPathFileAccess, kProgramTitle,
                          "Path/File access error (a change of several tables is running on this thread)");
    tGroup = this;
}

RecordFile::Group::~Group() {
    Release();
    if (tGroup == this) tGroup = nullptr;
}

void RecordFile::Group::Add(const std::string& path, std::uint32_t slotLength, std::uint32_t dataLength) {
    auto member = std::make_unique<Member>();
    member->path = ResolvePath(path);
    member->slotLength = slotLength;
    member->dataLength = dataLength;
    member->staged = Changes(dataLength);
    members_.push_back(std::move(member));
}

void RecordFile::Group::Lock() {
    // Every change takes its tables' locks in the order of their names.
    std::sort(members_.begin(), members_.end(), [](const auto& a, const auto& b) {
        return FileName(a->path) != FileName(b->path) ? FileName(a->path) < FileName(b->path) : a->path < b->path;
    });
    // A file named twice is one member: a second lock of it would wait for the first.
    members_.erase(std::unique(members_.begin(), members_.end(),
                               [](const auto& a, const auto& b) { return a->path == b->path; }),
                   members_.end());
    try {
        for (auto& member : members_) {
            member->file = std::make_unique<RecordFile>(member->slotLength, member->dataLength);
            member->file->Open(member->path);
            member->lock = std::make_unique<AppendLock>(*member->file);
            if (!member->file->IsOpen())
                throw RaisedError(kErrPathFileAccess, kProgramTitle, "Path/File access error (" + member->path + ")");
        }
    } catch (...) {
        Release();
        throw;
    }
    locked_ = true;
}

RecordFile::Group::Member* RecordFile::Group::Find(const RecordFile& file) const {
    if (!locked_) return nullptr;
    for (const auto& member : members_)
        if (member->file && member->file.get() != &file && member->file->inode_ == file.inode_ &&
            member->file->device_ == file.device_)
            return member.get();
    return nullptr;
}

void RecordFile::Group::Release() noexcept {
    for (auto& member : members_) {
        member->staged.clear();
        member->appendEnd = 0;
        member->lock.reset();
        if (member->file) member->file->Close();
    }
    locked_ = false;
}

void RecordFile::Group::Abandon() noexcept {
    if (abandoned_) return;
    abandoned_ = true;
    Release();
}

void RecordFile::Group::Commit() {
    if (abandoned_ || !locked_)
        throw RaisedError(kErrPathFileAccess, kProgramTitle,
                          "Path/File access error (a change of several tables failed; nothing of it was written)");
    std::vector<Part> parts;
    for (auto& member : members_) {
        if (!member->file->IsOpen())
            throw RaisedError(kErrPathFileAccess, kProgramTitle,
                              "Path/File access error (" + member->path +
                                  " was closed during the change; nothing of it was written)");
        parts.push_back({member->file.get(), &member->staged});
    }
    try {
        CommitParts(parts);
    } catch (...) {
        abandoned_ = true;
        Release();
        throw;
    }
    // Done: the handles of its tables write on their own again.
    Release();
}

RecordFile::Group::Member* RecordFile::Grouped() const {
    if (!tGroup || fd_ < 0) return nullptr;
    if (tGroup->abandoned_) {
        // Every table it held refuses writes on this thread until it goes.
        for (const auto& member : tGroup->members_)
            if (member->path == path_ || (member->file && member->file->inode_ == inode_ && member->file->device_ == device_))
                throw RaisedError(kErrPathFileAccess, kProgramTitle,
                                  "Path/File access error (" + path_ +
                                      ": a change of several tables that holds it ended; nothing is written)");
        return nullptr;
    }
    return tGroup->Find(*this);
}

RecordFile::Group::Member* RecordFile::GroupedLive() const {
    if (!tGroup || fd_ < 0 || tGroup->abandoned_) return nullptr;
    return tGroup->Find(*this);
}

std::int64_t RecordFile::GroupAppendEnd(const Group::Member& member) { return member.appendEnd; }

const RecordFile::Changes& RecordFile::Overlay() const {
    if (Group::Member* member = GroupedLive()) return member->staged;
    return staged_;
}

void RecordFile::StageInGroup(Group::Member& member, std::int64_t offset, const std::uint8_t* buffer, bool append) {
    if (const Changes::Slot* staged = member.staged.Find(offset)) {
        member.staged.SetNow(*staged, buffer);
        return;
    }
    if (append) {
        member.appendEnd = std::max<std::int64_t>(member.appendEnd, offset + dataLength_);
        member.staged.Add(offset, nullptr, buffer, true);
        return;
    }
    std::vector<std::uint8_t> old(dataLength_);
    if (ReadAt(offset, old.data(), dataLength_) != dataLength_) throw FileError(EIO, path_);
    if (std::memcmp(old.data(), buffer, dataLength_) == 0) return;
    member.staged.Add(offset, old.data(), buffer, false);
}

void RecordFile::WriteKnown(std::int32_t n, const std::uint8_t* old, const std::uint8_t* now) {
    RequireWritable();
    const std::int64_t offset = Offset(n);
    if (std::memcmp(old, now, dataLength_) == 0) return;
    Group::Member* member = Grouped();
    Changes* staged = member ? &member->staged : batchDepth_ > 0 ? &staged_ : nullptr;
    if (!staged) {
        Write(n, now);
        return;
    }
    if (const Changes::Slot* it = staged->Find(offset))
        staged->SetNow(*it, now);
    else
        staged->Add(offset, old, now, false);
    position_ = n;
    blockBytes_ = 0;
}

// --- batches ---

RecordFile::Batch::Batch(RecordFile& file) : file_(file) {
    if (!file_.IsOpen()) return;
    lock_ = std::make_unique<AppendLock>(file_);
    if (!file_.IsOpen()) return;
    outer_ = file_.batchDepth_++ == 0;
    opening_ = file_.openings_;
    // Inside a group the group holds the change: nothing to keep aside here.
    if (outer_ && file_.GroupedLive()) outer_ = false;
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
    file_.staged_ = Changes(file_.dataLength_);
    file_.blockBytes_ = 0;
    file_.WriteChanges(changes);
}

}  // namespace corvane
