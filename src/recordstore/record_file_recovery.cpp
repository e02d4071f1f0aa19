// The journals a record file finds standing beside its table: which of them are its
// writer's, and putting back every table of a change cut off.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
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

// A journal longer than this is no journal of ours.
constexpr std::int64_t kMaxJournal = std::int64_t{1} << 30;

}  // namespace

// One file beside the table whose name says it may be a journal.
struct RecordFile::Finding {
    enum class What { Hot, Dead, Foreign } what;
    std::string path;
    DecodedJournal decoded;
};

void RecordFile::ReportForeign(const std::string& journal, const std::string& why) {
    if (foreignReported_) return;
    foreignReported_ = true;
    io_->Report("Corvane: " + path_ + ": " +
                JournalError(kErrPermissionDenied, journal, why + "; it is not applied").Description());
}

// Every file of the folder that may hold a journal of this table: those at its journal
// names, and whole journals of any name that name it. A file nobody allowed could have
// written is never read; a hard link, a file of another mode or owner, or one naming another
// copy of the table never applies.
std::vector<RecordFile::Finding> RecordFile::Survey() {
    std::vector<Finding> found;
    struct stat table{};
    if (io_->Fstat(fd_, &table) != 0) throw FileError(errno, path_);
    const std::string folder = FolderPath(path_);
    const std::string name = FileName(path_);
    const std::string fixed = name + "-journal";
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        throw JournalError(kErrPathFileAccess, JournalPath(),
                           std::string("cannot be looked for: ") + std::strerror(errno));
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string candidate = entry->d_name;
        if (candidate.find("-journal") != std::string::npos) names.push_back(candidate);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& candidate : names) {
        const bool ours = candidate == fixed || candidate.rfind(fixed + "-", 0) == 0;
        const std::string path = folder + candidate;
        struct stat st{};
        if (io_->Lstat(path.c_str(), &st) != 0) continue;
        if (!JournalWritersWithinTable(st, table, groupShared_)) {
            if (ours && S_ISREG(st.st_mode))
                found.push_back({Finding::What::Foreign, path, {}});
            continue;
        }
        if (st.st_size == 0) {
            // A marker, or a journal never written: nothing was touched under it.
            if (ours) found.push_back({Finding::What::Dead, path, {}});
            continue;
        }
        if (st.st_size > kMaxJournal) continue;
        const int fd = io_->Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0);
        if (fd < 0) continue;
        struct stat opened{};
        std::vector<std::uint8_t> bytes;
        bool whole = io_->Fstat(fd, &opened) == 0 && opened.st_ino == st.st_ino && opened.st_dev == st.st_dev &&
                     JournalWritersWithinTable(opened, table, groupShared_);
        if (whole) {
            bytes.resize(static_cast<std::size_t>(opened.st_size));
            std::size_t got = 0;
            while (got < bytes.size()) {
                const ssize_t r = io_->Pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
                if (r < 0 && errno == EINTR) continue;
                if (r <= 0) break;
                got += static_cast<std::size_t>(r);
            }
            bytes.resize(got);
        }
        io_->Close(fd);
        if (!whole) continue;
        DecodedJournal decoded = DecodeJournal(bytes, name, slotLength_, dataLength_);
        switch (decoded.kind) {
            case DecodedJournal::Kind::Broken:
                if (ours) found.push_back({Finding::What::Dead, path, {}});
                break;
            case DecodedJournal::Kind::OneSlot:
                // The one-slot journal of earlier builds names no table: never applied again.
                if (ours && st.st_uid == table.st_uid) found.push_back({Finding::What::Dead, path, {}});
                break;
            case DecodedJournal::Kind::OneTable:
                if (ours) found.push_back({Finding::What::Hot, path, std::move(decoded)});
                break;
            case DecodedJournal::Kind::Change: {
                if (!decoded.Names(name, table)) break;
                // Its writer must have been able to write every table it names.
                bool within = true;
                for (const JournalTable& other : decoded.tables) {
                    struct stat os{};
                    if (other.name == name || io_->Lstat((folder + other.name).c_str(), &os) != 0) continue;
                    within = within && S_ISREG(os.st_mode) && JournalWritersWithinTable(st, os, groupShared_);
                }
                found.push_back({within ? Finding::What::Hot : Finding::What::Foreign, path, std::move(decoded)});
                break;
            }
        }
    }
    return found;
}

RecordFile::Journal RecordFile::ProbeJournal() {
    struct stat st{};
    // Every change leaves a file at this name while it runs: nothing there, nothing to do.
    if (io_->Lstat(JournalPath().c_str(), &st) != 0) {
        if (errno == ENOENT) return Journal::None;
        throw JournalError(kErrPathFileAccess, JournalPath(),
                           std::string("cannot be looked at: ") + std::strerror(errno));
    }
    Journal result = Journal::None;
    for (const Finding& f : Survey()) {
        if (f.what == Finding::What::Hot) return Journal::Own;
        if (f.what == Finding::What::Dead) {
            // A marker or dead journal is only worth the lock when this account may remove it,
            // and only once per open: it changes no slot.
            struct stat ds{};
            if (!deadSwept_ && !readOnly_ && io_->Lstat(f.path.c_str(), &ds) == 0 && ds.st_uid == ::geteuid())
                return Journal::Own;
            continue;
        }
        struct stat fs{};
        io_->Lstat(f.path.c_str(), &fs);
        ReportForeign(f.path, "belongs to " + AccountName(fs.st_uid) +
                                  ", who may not have written the table, or is not a journal made for it");
        result = Journal::Foreign;
    }
    if (result == Journal::None && !S_ISREG(st.st_mode)) {
        io_->Lstat(JournalPath().c_str(), &st);
        ReportForeign(JournalPath(), "is not a regular file (" + AccountName(st.st_uid) + "'s)");
    }
    return result;
}

namespace {

// This thread's exclusive append locks, by file identity: a change being put back writes
// through the handle that holds a table's lock instead of waiting for itself.
struct HeldLock {
    RecordFile* file;
    int fd;
};
thread_local std::map<std::pair<std::uint64_t, std::uint64_t>, HeldLock> tHeld;

// Takes the append lock of another table of a change without waiting for ever: two
// workstations putting back one change from two of its tables would otherwise wait for each
// other.
bool TryLockFor(RecordIo& io, int fd) {
    for (int tries = 0; tries < 400; ++tries) {
        struct flock lock{};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = static_cast<off_t>(1) << 62;
        lock.l_len = 1;
        if (io.Lock(fd, F_OFD_SETLK, &lock) == 0) return true;
        if (errno != EAGAIN && errno != EACCES && errno != EINTR) return errno == EINVAL || errno == ENOLCK;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

}  // namespace

void RecordFile::RegisterHeld(bool on) {
    const auto key = std::make_pair(device_, inode_);
    if (on) tHeld[key] = {this, fd_};
    else if (const auto it = tHeld.find(key); it != tHeld.end() && it->second.file == this) tHeld.erase(it);
}

void RecordFile::PutBackChange(const std::string& journal, const DecodedJournal& decoded) {
    const std::string folder = FolderPath(path_);
    const std::string name = FileName(path_);
    struct Target {
        const JournalTable* table;
        int fd;
        bool opened;
        RecordFile* holder;
    };
    std::vector<Target> targets;
    const auto closeOpened = [&] {
        for (const Target& t : targets)
            if (t.opened) io_->Close(t.fd);
    };
    std::vector<const JournalTable*> order;
    for (const JournalTable& t : decoded.tables) order.push_back(&t);
    std::sort(order.begin(), order.end(), [](const JournalTable* a, const JournalTable* b) { return a->name < b->name; });
    try {
        for (const JournalTable* t : order) {
            if (t->name == name) {
                if (readOnly_)
                    throw JournalError(kErrPermissionDenied, journal,
                                       "cannot be put back from this workstation: " + path_ + " may not be written here");
                targets.push_back({t, fd_, false, this});
                continue;
            }
            const std::string path = folder + t->name;
            struct stat st{};
            if (io_->Lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
            const auto key = std::make_pair(static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino));
            if (decoded.kind == DecodedJournal::Kind::Change && (key.first != t->device || key.second != t->inode))
                continue;  // another file now: the change never touched it
            if (const auto held = tHeld.find(key); held != tHeld.end()) {
                targets.push_back({t, held->second.fd, false, held->second.file});
                continue;
            }
            const int fd = io_->Open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0);
            if (fd < 0)
                throw JournalError(errno == EACCES || errno == EPERM || errno == EROFS ? kErrPermissionDenied
                                                                                      : kErrPathFileAccess,
                                   journal, "cannot be put back from this workstation: " + path + ": " + std::strerror(errno));
            targets.push_back({t, fd, true, nullptr});
            if (!TryLockFor(*io_, fd))
                throw JournalError(kErrPathFileAccess, journal, "cannot be put back now: " + path + " is in use");
        }
        for (const Target& target : targets) {
            const JournalTable& t = *target.table;
            struct stat st{};
            if (io_->Fstat(target.fd, &st) != 0) throw JournalError(kErrPathFileAccess, journal, std::strerror(errno));
            const std::string path = folder + t.name;
            bool any = false;
            for (const JournalSlot& slot : t.slots) {
                // A slot past the end went with a clear.
                if (slot.offset < 0 || slot.offset % t.slotLength != 0 || slot.offset + t.dataLength > st.st_size) continue;
                if (const int err = WriteAll(*io_, target.fd, slot.old.data(), t.dataLength, slot.offset))
                    throw JournalError(kErrPathFileAccess, journal, "cannot be put back: " + path + ": " + std::strerror(err));
                any = true;
            }
            if (t.length >= 0 && st.st_size > t.length) {
                if (io_->Ftruncate(target.fd, t.length) != 0)
                    throw JournalError(kErrPathFileAccess, journal, "cannot be put back: " + path + ": " + std::strerror(errno));
                any = true;
            }
            if (any)
                if (const int err = SyncFile(*io_, target.fd))
                    throw JournalError(kErrPathFileAccess, journal, "cannot be put back: " + path + ": " + std::strerror(err));
            if (target.holder) target.holder->blockBytes_ = 0;
        }
        if (io_->Unlink(journal.c_str()) != 0 && errno != ENOENT)
            throw JournalError(kErrPathFileAccess, journal,
                               std::string("was put back but cannot be removed: ") + std::strerror(errno));
    } catch (...) {
        closeOpened();
        throw;
    }
    // The markers the change left at its tables' journal names.
    for (const Target& target : targets) {
        const std::string marker = folder + target.table->name + "-journal";
        struct stat ms{}, ts{};
        if (marker != journal && io_->Lstat(marker.c_str(), &ms) == 0 && ms.st_size == 0 &&
            io_->Fstat(target.fd, &ts) == 0 && JournalWritersWithinTable(ms, ts, groupShared_))
            io_->Unlink(marker.c_str());
    }
    closeOpened();
}

void RecordFile::RollBack() {
    for (const Finding& f : Survey()) {
        if (f.what == Finding::What::Hot) {
            PutBackChange(f.path, f.decoded);
        } else if (f.what == Finding::What::Dead) {
            // Only once no journal naming the table is left: a marker may still point at one.
            continue;
        }
    }
    for (const Finding& f : Survey())
        if (f.what == Finding::What::Dead) io_->Unlink(f.path.c_str());
    deadSwept_ = true;
}

}  // namespace corvane
