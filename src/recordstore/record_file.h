#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

class RecordIo;
struct DecodedJournal;

// One open table file: fixed slots of slotLength bytes, each holding dataLength bytes of
// record data at its start. Opened shared for reading and writing (created empty when
// missing); every record is read and written whole, with one system call each. A change in
// place goes through a journal beside the file (one per change, however many slots it
// writes), so a failed write never leaves a
// slot mixing old and new bytes. A journal is applied only when its owner could have
// written the table; any other is reported once per open and stops nothing but a write that
// needs a journal. Every system call goes through RecordIo::Current() as it was when the
// file was opened.
//
// Errors are RaisedError with the classic runtime numbers (52 bad file number, 63 bad record
// number, 70 permission denied, 75 path/file access error, 76 path not found, 57 device I/O
// error, 61 disk full) and a description naming the path.
class RecordFile {
public:
    RecordFile(std::uint32_t slotLength, std::uint32_t dataLength);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Opens path, closing any handle held before. When path does not exist but its folder
    // holds a regular file whose name differs only in letter case (a data folder copied from
    // another system), that file is opened instead of creating a new empty one. Anything
    // but a regular file fails, a link too (never followed). A file that may be read but not
    // written opens for reading; Write and Truncate then raise "Permission denied". A new
    // file is this account's alone: mode 0600, or 0660 in a group-shared folder (set-group-ID
    // and group-writable). In a folder others may write, a file of another account is refused
    // (70) without being opened. A journal left by a failed write is put back first, under
    // the append lock; when it cannot be, the open fails naming the journal and why. The
    // position becomes 0.
    void Open(const std::string& path);
    // Closes and forgets the descriptor; never fails.
    void Close() noexcept;
    // The file Open(path) opens: path itself, or the letter-case variant it falls back to.
    static std::string ResolvePath(const std::string& path);
    // Whether a file (of any kind) stands at path or its letter-case variant:
    // false only when there is none. A path that cannot be looked at (a loop
    // of symbolic links, a folder that may not be searched) raises as Open
    // would.
    static bool Exists(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }

    // The record last read or written (0 after opening). Fails when closed.
    std::int32_t Loc() const;

    // Reads record n (n >= 1) into buffer (dataLength bytes). When the file does not hold the
    // slot's whole data part (a read past the end, or a torn last slot) the buffer receives
    // blank instead. The position becomes n.
    void Read(std::int32_t n, std::uint8_t* buffer, const std::uint8_t* blank);
    // Copies count whole slots from record first on into buffer (count * slot length bytes) as
    // they lie in the file, for a scan that parses many records in place; the number of bytes
    // the file held there, fewer at its end. Leaves the position and the read-ahead alone, so
    // several threads may read slots of one open file at once.
    std::size_t ReadSlots(std::int32_t first, std::int32_t count, std::uint8_t* buffer) const;
    // Writes exactly the data part of record n, extending the file when n lies past its end.
    // Over a slot the file holds whole, the old bytes go to the journal first; a failure then
    // raises with the old bytes in the slot, or, when even they cannot be written back, with
    // the journal left and the handle closed, so the next open puts them back. Under an
    // InPlace scope a small change skips the journal (see there). Meant to run under the
    // append lock. The position becomes n.
    void Write(std::int32_t n, const std::uint8_t* buffer);

    // Writes exactly the data part of record n, a slot the file holds whole, whose bytes are
    // old as read under the lock still held: inside a batch or a change of several tables it
    // waits for the commit with no read of its own; otherwise as Write.
    void WriteKnown(std::int32_t n, const std::uint8_t* old, const std::uint8_t* now);

    // The file's length in bytes; inside a scan the length measured at the scan's start.
    std::int64_t Length();
    // The length measured now, whatever scan is running.
    std::int64_t FreshLength();
    // Slots in a file of the given length: length / slot length, rounded to the nearest
    // whole number with an exact half going to the even number.
    static std::int32_t SlotCount(std::int64_t length, std::uint32_t slotLength);

    // Within one operation the file is measured once and read ahead in large blocks, so a
    // scan does not pay a system call per slot; the next operation measures afresh and so
    // sees records appended elsewhere. Scans nest; writes inside one keep it coherent.
    // The first read of an operation is a single read of its slot; only an operation that
    // reads on reads ahead, in blocks that grow to 1 MiB, so one-step operations stay cheap.
    // A scan holds the append lock shared, so that no append, clear or cut changes the file's
    // length while it reads. A journal found standing is put back first (under the lock
    // held exclusively, as an open does); when it cannot be, BeginScan raises and no scan
    // begins.
    void BeginScan();
    void EndScan() noexcept;

    // Empties the file in place under the append lock: an append elsewhere lands wholly
    // before (and is cleared) or wholly after (and is kept), and handles that other processes
    // hold keep writing to this same file. Owner and permissions stay. The position becomes 0.
    void Truncate();

    // Serialises "measure the file, then append" (and every change of the file's length)
    // across processes and handles: an open-file-description lock on one byte far past any
    // data, which no read or write touches. Taken inside a scan, it replaces the scan's shared
    // lock until it goes. A file system without such locks appends unserialised, as before.
    class AppendLock {
    public:
        // Before the holder reads or writes, a journal left by a failed write is put back
        // (raising, the lock given up, when it cannot be). appendOnly: the holder only
        // measures and appends; it looks for a journal all the same, since putting back a
        // change cut off cuts its tables back to their length before it.
        // Taken again on a handle that holds it (inside a Batch), it only nests. Raises when
        // another handle of this process holds a Batch on the same file, rather than wait
        // for itself.
        explicit AppendLock(RecordFile& file, bool appendOnly = false);
        ~AppendLock();
        AppendLock(const AppendLock&) = delete;
        AppendLock& operator=(const AppendLock&) = delete;

    private:
        void Release() noexcept;

        RecordFile& file_;
        int fd_;
        bool held_ = false;
        bool counted_ = false;
        bool registered_ = false;
    };

    // Where UpdateLoaded writes a change of one slot: through the journal, in place when its
    // changed bytes lie in one aligned block, or in place wherever they lie (see InPlace).
    enum class Placement { kJournal, kInOneBlock, kInPlace };

    // While it lives, a write over a slot whose changed bytes all lie within one aligned
    // 512-byte block of the file writes only those bytes, with one flush and no journal: the
    // disk writes such a block whole or not at all. Only for a write whose new value may
    // stand after a reported failure (the login's booking): a failed write or flush puts the
    // old bytes back and flushes, and when even that fails the handle is closed and the error
    // says the change may stand. A larger change goes through the journal as ever, and a
    // batch's changes always do. Scopes on one handle nest. A scope of Placement::kInPlace
    // writes the changed bytes in place whatever blocks they span, for a change whose parts
    // torn apart by a crash grant nothing either (the close of a session's record).
    class InPlace {
    public:
        explicit InPlace(RecordFile& file, Placement placement = Placement::kInOneBlock)
            : file_(file), anySpan_(placement == Placement::kInPlace) {
            ++file_.inPlaceDepth_;
            if (anySpan_) ++file_.anySpanDepth_;
        }
        ~InPlace() {
            --file_.inPlaceDepth_;
            if (anySpan_) --file_.anySpanDepth_;
        }
        InPlace(const InPlace&) = delete;
        InPlace& operator=(const InPlace&) = delete;

    private:
        RecordFile& file_;
        bool anySpan_;
    };

    // One change of many records as one write: from here to Commit the append lock is held
    // (once), and every write over a slot the file holds whole is kept aside (reads through
    // this handle see it); Commit writes them all through one journal, with one flush of the
    // journal and one of the table, so after a failure or a crash the next open finds the
    // table all old or all new. A Batch left without Commit writes nothing over existing
    // slots. Appends land at once, as outside a batch. Batches on one handle nest; the
    // outermost commits.
    class Batch {
    public:
        explicit Batch(RecordFile& file);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // Writes what the batch changed; raises as Write does, the table then as before.
        void Commit();

    private:
        RecordFile& file_;
        std::unique_ptr<AppendLock> lock_;
        bool outer_ = false;
        std::uint64_t opening_ = 0;
    };

    // One change of several tables as one commit. While it lives on its thread (one at a time),
    // every handle of that thread on one of its files reads and writes through it: the files'
    // append locks are held once, taken in the order of the files' names (so that two changes
    // of the same tables never wait for each other), writes and appends wait, and reads see
    // them. Commit writes every table through one journal naming them all, whose removal is
    // the commit point; after a failure or a crash the next open of any of its tables puts
    // every one of them back. Destroyed without Commit, or after Abandon, it writes nothing.
    class Group {
    public:
        Group();
        ~Group();
        Group(const Group&) = delete;
        Group& operator=(const Group&) = delete;
        // The files of the change, before Lock.
        void Add(const std::string& path, std::uint32_t slotLength, std::uint32_t dataLength);
        // Opens the files and takes their locks (a journal standing is put back first).
        // Raises as Open and AppendLock do, nothing then held.
        void Lock();
        // Writes the change; raises as Write does, every table then as before.
        void Commit();
        // Drops what the change holds and gives the locks back (before an error is shown, so
        // that no workstation waits on it); every later write through it is refused.
        void Abandon() noexcept;
        bool Abandoned() const { return abandoned_; }

    private:
        friend class RecordFile;
        struct Member;
        Member* Find(const RecordFile& file) const;
        void Release() noexcept;

        std::vector<std::unique_ptr<Member>> members_;
        bool locked_ = false;
        bool abandoned_ = false;
    };

private:
    void RequireOpen() const;
    void RequireWritable() const;
    std::int64_t Offset(std::int32_t n) const;
    bool ReadAhead(std::int32_t n, std::int64_t length);
    bool ReadDirect(std::int64_t offset, std::uint8_t* buffer);
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t count) const;
    std::string JournalPath() const;
    // The slots a change writes, in the order of their offsets, each slot's old and new data
    // parts side by side in one buffer: a change of thousands of slots stages without an
    // allocation per slot.
    class Changes {
    public:
        struct Slot {
            std::int64_t offset;
            std::size_t at;  // where its old bytes start in the buffer; the new ones follow
            bool appended;   // a slot past the table's end: its old bytes mean nothing
        };
        explicit Changes(std::uint32_t dataLength) : dataLength_(dataLength) {}
        ~Changes();
        Changes(Changes&&) = default;
        Changes& operator=(Changes&&) = default;
        bool empty() const { return slots_.empty(); }
        // Forgets every slot; a large buffer goes back to the thread for its next change.
        void clear();
        const std::vector<Slot>& Slots() const { return slots_; }
        // The slot at offset, or nullptr.
        Slot* Find(std::int64_t offset);
        // The first slot at or past offset.
        std::vector<Slot>::const_iterator From(std::int64_t offset) const;
        // Adds the slot at offset, not held yet (old nullptr: zero bytes).
        void Add(std::int64_t offset, const std::uint8_t* old, const std::uint8_t* now, bool appended);
        const std::uint8_t* Old(const Slot& slot) const { return bytes_.data() + slot.at; }
        const std::uint8_t* Now(const Slot& slot) const { return bytes_.data() + slot.at + dataLength_; }
        void SetNow(const Slot& slot, const std::uint8_t* now);
        // Whether writing the slot changes the table.
        bool Writes(const Slot& slot) const;

    private:
        void GiveBack();
        std::uint32_t dataLength_;
        std::vector<Slot> slots_;
        std::vector<std::uint8_t> bytes_;
    };
    void Overwrite(std::int64_t offset, const std::uint8_t* buffer);
    void WriteChanges(const Changes& changes);
    // The change written in place when its changed bytes lie in one aligned block; false
    // (nothing written) when they do not.
    bool WriteInPlace(std::int64_t offset, const std::uint8_t* old, const std::uint8_t* now);
    void WriteJournalled(const Changes& changes);
    // The tables of one change and what each writes, in the order of their names.
    struct Part {
        RecordFile* file;
        const Changes* changes;
    };
    // Writes the new bytes of the changes (runs of neighbouring slots in one write); 0 or errno.
    int WriteRuns(const Changes& changes);
    // Writes a change of one or more tables (their locks held) through one journal.
    static void CommitParts(const std::vector<Part>& parts);
    // What the journals beside the table ask: nothing (or only files nobody allowed could
    // have written, reported once per open and never applied), or work under the lock held
    // exclusively (a journal to put back, a marker or a dead journal to remove).
    enum class Journal { None, Foreign, Own };
    Journal ProbeJournal();
    struct Finding;
    std::vector<Finding> Survey();
    void ReportForeign(const std::string& journal, const std::string& why);
    // Under the append lock: puts back every change a journal beside the table holds, in
    // every table it names, and removes what is left of them. Raises, naming the journal and
    // why, the journal kept, when they cannot be put back.
    void RollBack();
    void PutBackChange(const std::string& journal, const DecodedJournal& decoded);
    bool BatchElsewhere() const;
    // The group of this thread holding this file (any other handle of it), or nullptr.
    Group::Member* Grouped() const;
    // The same, only while the group has not been abandoned.
    Group::Member* GroupedLive() const;
    const Changes& Overlay() const;
    void StageInGroup(Group::Member& member, std::int64_t offset, const std::uint8_t* buffer, bool append);
    // Notes (or forgets) this handle as holding its file's append lock on this thread.
    void RegisterHeld(bool on);
    static std::int64_t GroupAppendEnd(const Group::Member& member);

    std::uint32_t slotLength_;
    std::uint32_t dataLength_;
    RecordIo* io_ = nullptr;
    int fd_ = -1;
    bool readOnly_ = false;
    bool othersMayWrite_ = false;
    bool groupShared_ = false;
    bool foreignReported_ = false;
    // Markers and dead journals beside the table were swept once since the open.
    bool deadSwept_ = false;
    // Append locks taken through this handle and not yet given back (they nest in a batch).
    int lockDepth_ = 0;
    int batchDepth_ = 0;
    int inPlaceDepth_ = 0;
    int anySpanDepth_ = 0;
    // Counts the opens of this handle: a batch knows whether its handle was closed under it.
    std::uint64_t openings_ = 0;
    // The writes a batch keeps aside, by slot offset.
    Changes staged_{dataLength_};
    unsigned fileMode_ = 0600;
    // The length measured under the append lock this handle holds (-1: not held, or not
    // measured): nothing else changes it meanwhile.
    std::int64_t lockedLength_ = -1;
    bool lockHeld_ = false;
    std::string path_;
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
    std::int32_t position_ = 0;

    int scanDepth_ = 0;
    bool scanLocked_ = false;
    std::int64_t scanLength_ = -1;  // -1: not measured in this scan
    std::unique_ptr<std::uint8_t[]> block_;
    std::size_t blockCapacity_ = 0;
    std::int64_t blockStart_ = 0;
    std::size_t blockBytes_ = 0;
    std::int32_t lastRead_ = 0;
    int scanReads_ = 0;
    std::size_t blockLimit_ = 0;
};

}  // namespace corvane
