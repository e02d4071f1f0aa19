#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/ole_date.h"
#include "platform/core/raised_error.h"
#include "recordstore/record_description.h"
#include "recordstore/record_file.h"
#include "recordstore/slot_scan.h"

namespace corvane {

// The six notifications a table raises; nothing in the program listens to them.
enum class TableNotification : int {
    Changed = 1,     // end of Refresh
    Found = 2,       // never raised
    Loaded = 3,      // end of a successful Load (once per loader call)
    Saved = 4,       // end of SaveMembers
    Removed = 5,     // never raised
    Enumerated = 6,  // once per step of Enumerate
};
using TableObserver = std::function<void(TableNotification)>;

// A member value of any kind: text (UTF-8, unpadded) for Text fields, number for the 16- and
// 32-bit kinds (flags keep their raw 16-bit value), date for Date fields.
struct FieldValue {
    std::string text;
    std::int32_t number = 0;
    OleDate date = 0.0;
    bool operator==(const FieldValue&) const = default;
};

// An operation's error identity: the source word after "Class.", vbObjectError + number, and
// the word of "Data Engine Misbehaved on <word>, Error Number: [". When passOpenFailure is
// set, an inner vbObjectError + 11 stays +11 with the OpenTable text (the error handler
// retries that number as a busy data file).
struct Operation {
    const char* word;
    std::int32_t number;
    const char* prefixWord;  // nullptr: the table's SaveMembers word
    bool passOpenFailure;
};

namespace ops {
inline constexpr Operation kOpenTable{"OpenTable", 11, "OpenTable", false};
inline constexpr Operation kLoad{"Load", 8, "Load", true};
inline constexpr Operation kExists{"Exists", 18, "Exists", true};
inline constexpr Operation kDelete{"Delete", 10, "Delete", true};
inline constexpr Operation kAddNew{"AddNew", 3, "AddNew", true};
inline constexpr Operation kRefresh{"Refresh", 13, "Refresh", false};
inline constexpr Operation kSaveChanges{"SaveChanges", 4, "SaveChanges", false};
inline constexpr Operation kSaveMembers{"SaveMembers", 19, nullptr, false};
inline constexpr Operation kCopyProperties{"CopyProperties", 10, "CopyProperties", false};
}  // namespace ops

// The state and the algorithms shared by every table. Table classes reach it through
// RecordTable; it is held by shared pointer so that a call that yields to the event loop
// keeps its state alive even when a handler releases the table object meanwhile.
class RecordEngine {
public:
    explicit RecordEngine(const RecordDescription& description);
    ~RecordEngine();
    RecordEngine(const RecordEngine&) = delete;
    RecordEngine& operator=(const RecordEngine&) = delete;

    const RecordDescription& Desc() const { return desc_; }

    // --- object state ---
    bool isDirty = false;
    bool isSynchronised = false;
    bool noMatch = false;
    std::int32_t identity = 0;
    std::vector<FieldValue> members;  // indexed by field id
    TableObserver observer;

    const std::string& TablePathName() const { return tablePathName_; }
    std::int32_t Loc() const { return file_.Loc(); }
    bool IsOpen() const { return file_.IsOpen(); }

    // --- the shared members (semantics in record_table.h) ---
    void OpenTable(std::string_view pathName);
    std::string GetPathName(std::string_view pathName) const;
    void CloseTable() noexcept {
        file_.Close();
        ended_ = Ended::No;
    }
    void OpenIfClosed();
    void Connect();
    void Refresh();
    void SaveMembers();
    void SaveChanges();
    // Under the append lock: reads the record last loaded afresh; when the slot still holds
    // a valid record with the key loaded, loads it (Refresh), runs change (which sets the
    // members it owns, or answers false to leave the record as it is) and writes the record
    // in the same step. False, nothing written and the members as they were, when that
    // record was deleted, renamed or cleared away meanwhile, change declined, or nothing is
    // loaded. placement: a change within one aligned 512-byte block (kInOneBlock), or any
    // change of the slot (kInPlace), is written without a journal (RecordFile::InPlace).
    // Error +4.
    bool UpdateLoaded(const std::function<bool()>& change,
                      RecordFile::Placement placement = RecordFile::Placement::kJournal);
    void AddNew();
    void Delete(std::int32_t recordNumber);
    // Runs action while the append lock holds the file still, when record n is a valid record
    // whose first key field matches keyText (trimmed, without letter case): a delete or rename
    // of that record elsewhere lands wholly before (action does not run) or wholly after.
    // Whether action ran. Error +18.
    bool WhileHolds(std::int32_t n, std::string_view keyText, const std::function<void()>& action);
    // Deletes record n only when it is a valid record (and, given a key text, its first key
    // field matches it, trimmed, without letter case), read under the lock of the delete; the
    // buffer then holds the record as it was. False: nothing written. Error +10.
    bool DeleteValid(std::int32_t n, std::string_view keyText = {});
    // The undo of DeleteValid: writes bytes (a whole data part) over record n when the slot
    // holds a deleted record, under the lock. False: nothing written. Error +10.
    bool RestoreDeleted(std::int32_t n, const std::vector<std::uint8_t>& bytes);
    // The first key field of record n (trimmed), when it is a valid record. Error +18.
    std::optional<std::string> KeyAt(std::int32_t n);
    // A batch over this table's file (RecordFile::Batch), opened first when closed. Error +4.
    std::unique_ptr<RecordFile::Batch> BeginBatch();
    // Writes what a batch kept aside. Error +4.
    void CommitBatch(RecordFile::Batch& batch);
    // Inside a change that holds the table's lock since the records were scanned (a batch or
    // a change of several tables): gives one text field of each scanned record (its number
    // and its data part as the scan read it) the text, keeping the rest of its bytes. Reads
    // nothing more; the records whose bytes change wait for the change's commit. Error +4.
    void RewriteScanned(const std::vector<std::pair<std::int32_t, std::vector<std::uint8_t>>>& scanned, int field,
                        std::string_view utf8);
    void CopyProperties(const RecordEngine& other);
    void Clear();
    bool IsEmpty();
    std::int32_t RecordCount();
    bool ValidRecord() const;
    bool IsKeyBlank() const;
    bool Bof();
    bool Eof();
    // Steps return whether they landed on a valid record.
    bool MoveFirst(bool noRefresh);
    bool MoveLast(bool noRefresh);
    bool MoveNext(bool noRefresh);
    bool MovePrevious(bool noRefresh);
    void Enumerate(bool reverse);
    // MoveFirst, then MoveNext for as long as they land, all in one scan of the file;
    // visit runs on each record landed on.
    void ForEachValid(const std::function<void()>& visit);
    // Opens if closed, then ScanValidSlots over this table's file: one lock, block reads, the
    // members, buffer and position untouched.
    void ScanValid(const SlotVisit& visit);
    // The members and identity from a record a scan handed out, decoded as Refresh decodes
    // the buffer; the buffer, the position and the state flags stay.
    void MembersFrom(const SlotView& record);
    std::int32_t GetSlotCount();

    // --- building blocks for the table kinds and their own members ---
    // A text to match: trimmed, in the file's code page.
    static std::string MatchBytes(std::string_view utf8);
    // Linear search from record 1 for the first valid record whose fields equal the values
    // (trimmed, without letter case); loads it when load is set. Errors wrapped under op.
    bool Search(const Operation& op, const std::vector<std::pair<int, std::string>>& matches, bool load);
    // Finds record n of the file (the log tables' Load and Exists).
    bool SearchNumber(const Operation& op, std::int32_t n, bool load);
    // Walks every valid record whose field equals value; on each it refreshes the members and
    // calls onMatch (the link loaders add a copy to their collection). The loader's end state.
    bool LoadMatches(const Operation& op, int field, std::string_view value,
                     const std::function<void()>& onMatch);
    // Count of slots whose key is not blank, deleted or not; failing reads are skipped.
    std::int32_t CountKeyed();
    // Valid records whose flag (or other 16-bit field) is not 0, in one scan of the file.
    // The position ends past the last slot. Errors reach the caller unchanged.
    std::int32_t CountFlagged(int field);
    // Opens if closed and empties the file in place (RecordFile::Truncate); the members are
    // unchanged, nothing is synchronised any more. Errors reach the caller unchanged.
    void Truncate();

    // The record buffer's fields (lock getters, own members).
    std::string BufferText(int field) const;  // trimmed UTF-8
    std::int32_t BufferNumber(int field) const;
    OleDate BufferDate(int field) const;
    void SetBufferText(int field, std::string_view utf8);
    void SetBufferNumber(int field, std::int32_t value);
    void SetBufferDate(int field, OleDate value);
    const std::vector<std::uint8_t>& Buffer() const { return buffer_; }
    // Writes the buffer as record n (the lock operations write back what Exists found). A
    // number outside 1..slot count, measured under the append lock, is refused with the bad
    // record number error and nothing is written; so is a slot that no longer holds a valid
    // record with the buffer's key (deleted or renamed since it was read).
    void WriteBuffer(std::int32_t n);
    // True when the last forward (IsEOF) or backward (IsBOF) step found nothing and the
    // position has not moved since: a walk ends there even when records are appended before
    // the caller asks.
    bool EofAfterStep();
    bool BofAfterStep();

    void Notify(TableNotification n);
    std::string Source(const char* word) const { return desc_.className + "." + word; }
    // The error an operation raises for an inner failure.
    RaisedError Wrap(const Operation& op, const std::exception& inner) const;

private:
    template <typename F>
    auto Trapped(const Operation& op, F&& body) -> decltype(body());
    void Read(std::int32_t n);
    void StoreBuffer(std::int32_t n);
    // expectedKey: the key (KeyOf) the slot must still hold as a valid record; nullptr for
    // none.
    void OverwriteRecord(std::int32_t n, const std::uint8_t* bytes, const std::string* expectedKey);
    // Under the append lock: the slot count, and whether slot n holds a valid record whose
    // key is expectedKey (read straight from the file, the buffer untouched).
    bool SlotHolds(std::int32_t n, const std::string& expectedKey);
    std::string KeyOf(const std::uint8_t* data) const;
    const std::string* LoadedKeyFor(std::int32_t target) const;
    bool StepFoundNothing(bool forward);
    bool FieldEquals(int field, std::string_view matchBytes) const;
    bool Land(bool noRefresh);
    void EndLoad();
    void ClearAppendMarks();
    RaisedError ClosedError(const char* word) const;

    const RecordDescription& desc_;
    RecordFile file_;
    std::string tablePathName_;
    std::vector<std::uint8_t> buffer_;

    // The record the members were loaded from. SaveChanges and DELETE without a number write
    // there even when a search, count, lock or NoRefresh step has read another record since;
    // the buffer as it was then is kept aside so the same bytes are written back.
    std::int32_t bufferRecord_ = 0;
    std::int32_t loadedRecord_ = 0;
    std::vector<std::uint8_t> snapshot_;
    bool snapshotValid_ = false;
    // The key that record held then: a write over it refuses a slot that holds another key or
    // a deleted record now, so a stale object never undoes another workstation's delete or
    // rename.
    std::string loadedKey_;

    // Which way the last step went off the records, until the position moves again.
    enum class Ended { No, Forward, Backward };
    Ended ended_ = Ended::No;
};

}  // namespace corvane
