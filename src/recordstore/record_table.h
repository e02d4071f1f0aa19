#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/ole_date.h"
#include "recordstore/record_description.h"
#include "recordstore/record_engine.h"

namespace corvane {

// Flags are 16-bit: True is -1. A stored value is handed out as stored (a 1 counts as True);
// Flag(true) gives the value the program writes.
inline constexpr std::int16_t kFlagTrue = -1;
inline constexpr std::int16_t kFlagFalse = 0;
constexpr std::int16_t Flag(bool value) { return value ? kFlagTrue : kFlagFalse; }

// A record table: one object per use over one fixed-slot file, holding one record at a time.
// Every table of the system is this one engine driven by a RecordDescription; a table class
// adds only its description, its typed properties and its own members. See KeyedTable,
// LinkTable and LogTable for the three ways of finding a record, and User for an example.
//
// Errors are RaisedError: vbObjectError + n, the source "<Class>.<Operation>", and for wrapped
// errors the description "Data Engine Misbehaved on <Operation>, Error Number: [<inner number>]"
// CR LF "Description: <inner description>". Numbers: 3 AddNew, 4 SaveChanges, 8 Load,
// 10 Delete and CopyProperties, 11 OpenTable (also from Load, Exists, Delete, AddNew when the
// file cannot be opened), 13 Refresh, 18 Exists, 19 SaveMembers, 20 BOF/EOF on a closed table.
// Members not listed with a number pass errors from below unchanged.
//
// Every member that touches the file opens it first (as OpenTable("")) when it is closed.
// The current position (Loc) is the record last read or written through this object's
// handle; searches, counts, steps and lock operations move it.
//
// Defining a table: derive from KeyedTable, LinkTable or LogTable; list every field of the
// record in file order in a RecordDescription built once (RecordDescription::Build checks it);
// give the field ids an enum in the same order; write one getter and one setter per property
// over TextField/Int16Field/Int32Field/DateField; add the table's own members over the
// protected helpers (CountKeyed, ExistsByField, LoadMatching). Sketch:
//
//   class UserGroup : public KeyedTable {
//   public:
//       enum Field : int { kName, kDescription, ..., kDeleted, kRecordLocked, ... };
//       UserGroup() : KeyedTable(Table()) {}
//       static const RecordDescription& Table();  // Build({.className = "UserGroup", ...})
//       std::int32_t GroupID() const { return Identity(); }
//       std::string Name() const { return TextField(kName); }
//       void SetName(std::string v) { SetTextField(kName, std::move(v)); }
//       std::int32_t GroupCount() { return CountKeyed(); }
//   };
class RecordTable {
public:
    virtual ~RecordTable();
    RecordTable(const RecordTable&) = delete;
    RecordTable& operator=(const RecordTable&) = delete;

    const RecordDescription& Layout() const { return engine_->Desc(); }

    // A property was set since the record was loaded or written.
    bool IsDirty() const { return engine_->isDirty; }
    // The members belong to a record of the file (a load or write; a failed Load or a step
    // that finds nothing clears it).
    bool IsSynchronised() const { return engine_->isSynchronised; }
    // The current position: 0 after opening. Does not open the file; fails when closed.
    std::int32_t Loc() const { return engine_->Loc(); }
    // The path last opened ("" before).
    const std::string& TablePathName() const { return engine_->TablePathName(); }

    // OpenTable("") (closing a handle held before), then MoveFirst.
    void Connect();
    // Closes the file.
    void Disconnect() { CloseTable(); }

    // Members from the record buffer: the identity becomes the current position, text is
    // trimmed. IsDirty is left alone. Error +13.
    void Refresh();
    // Overwrites a record with the tombstone (zeros, the description's DELETE fields spaces,
    // Deleted -1). With 0: the record last loaded, when synchronised; otherwise nothing. A
    // number outside 1..slot count (measured under the append lock) is refused (+10) and
    // nothing is written. The members and
    // the buffer are unchanged; the position moves to the record written. With 0, a record
    // that is deleted or holds another key now than when it was loaded is refused (+10) and
    // nothing is written. Always false.
    bool Delete(std::int32_t recordNumber = 0);
    // Appends the members as a new record after the last slot (never reusing a deleted one),
    // then Refresh: the identity is the new number, text reads back cut and trimmed. Refuses
    // (+3, "Primary Key not specified in AddNew") when the AddNew key member is "" (not
    // trimmed). The new record never inherits a Deleted mark or a lock from the buffer.
    void AddNew();
    // When synchronised and dirty: SaveMembers and write over the record last loaded (even if
    // another record has been read since), then not dirty. Does not open the file. Error +4,
    // also when the record lies past the file's slots now (a log cleared elsewhere), or the
    // slot now holds a deleted record or another key than the one loaded (deleted or renamed
    // elsewhere; a rename through this object is a save): nothing is written then and the
    // object stays dirty.
    void SaveChanges();
    // A change of some fields that never undoes another workstation's: under the file's
    // append lock the record last loaded is read afresh into the members, change sets the
    // fields the caller owns (or answers false to write nothing), and the record is written
    // in the same step (the object is then synchronised, not dirty, holding the record as
    // written; members set before are dropped). A record deleted, renamed or cleared away
    // since it was loaded is not written: false, the members as they were. Nothing loaded:
    // false. Error +4.
    bool UpdateLoadedRecord(const std::function<bool()>& change) { return Pin()->UpdateLoaded(change); }
    // As UpdateLoadedRecord, for a change whose new value may stand after a reported failure
    // (the login's booking): when its changed bytes lie within one aligned 512-byte block of
    // the file they are written in place with one flush and no journal; a failure the old
    // bytes cannot undo closes the table and says the change may stand. A larger change goes
    // through the journal.
    bool UpdateLoadedRecordInPlace(const std::function<bool()>& change) {
        return Pin()->UpdateLoaded(change, RecordFile::Placement::kInOneBlock);
    }
    // As UpdateLoadedRecordInPlace, written in place whatever blocks the changed bytes span:
    // for a change whose parts torn apart by a crash grant nothing either (the close of a
    // session's user-log record), so that it costs one flush wherever its record lies.
    bool UpdateLoadedRecordInPlaceAnySpan(const std::function<bool()>& change) {
        return Pin()->UpdateLoaded(change, RecordFile::Placement::kInPlace);
    }
    // Record n's data part as it was, when it was a valid record (whose first key field is
    // keyText, when given) and is now deleted; nothing when the slot held no such record and
    // nothing was written. Error +10.
    std::optional<std::vector<std::uint8_t>> DeleteValidRecord(std::int32_t n, std::string_view keyText = {}) {
        auto engine = Pin();
        if (!engine->DeleteValid(n, keyText)) return std::nullopt;
        return engine->Buffer();
    }
    // Puts back the bytes DeleteValidRecord handed out, when record n is still deleted.
    // Whether they were written. Error +10.
    bool RestoreDeleted(std::int32_t n, const std::vector<std::uint8_t>& bytes) {
        return Pin()->RestoreDeleted(n, bytes);
    }
    // The first key field of record n (trimmed), when it is a valid record. Error +18.
    std::optional<std::string> KeyAt(std::int32_t n) { return Pin()->KeyAt(n); }
    // Copies every property and the identity of objCopy (same class) without marking dirty.
    // The buffer, carried fields, flags and file are not copied. nullptr: nothing. Error +10.
    void CopyObject(const RecordTable* objCopy);
    // Every property empty/zero and the identity 0; state flags, buffer and file unchanged.
    void Clear() { engine_->Clear(); }
    // Opens GetPathName(PathName) shared for reading and writing, creating it empty when
    // missing, after closing any handle held; a file that may be read but not written opens
    // for reading, and a write then raises "Permission denied". Error +11; the table is then
    // closed. Every other member reopens TablePathName when the table was closed after use.
    void OpenTable(std::string_view PathName = {});
    // PathName as given, or the table's default path when it is blank after trimming.
    std::string GetPathName(std::string_view PathName = {}) const { return engine_->GetPathName(PathName); }

    // The file has no slots at all (a file of deleted records is not empty).
    bool IsEmpty();
    // Valid records. Yields once to the event loop first, then puts the position back
    // (unless it was 0, when it stays on the last slot).
    std::int32_t RecordCount();
    // The buffer holds a valid record: Deleted is not -1 and the key is not blank. Does not
    // open the file.
    bool ValidRecord() const { return engine_->ValidRecord(); }
    const std::string& TableName() const { return Layout().tableName; }
    // The last search found nothing.
    bool NoMatch() const { return engine_->noMatch; }
    void SetNoMatch(bool value) { engine_->noMatch = value; }
    // Position tests (BOF/EOF collide with C macros). True on an empty file; IsBOF also on
    // record 1, IsEOF only past the last slot. After a step that found nothing they stay true
    // (IsEOF after MoveFirst/MoveNext, IsBOF after MoveLast/MovePrevious) until the position
    // moves, even when another workstation appends meanwhile, so a walk never runs once more
    // on cleared members. On a closed table: +20, never opening it.
    bool IsBOF();
    bool IsEOF();
    // Steps to a valid record and loads it (Refresh; with NoRefresh only the buffer and the
    // position move). One that finds none clears the properties, leaving the position past
    // the last slot (MoveFirst, MoveNext) or on record 1 (MoveLast, MovePrevious). MoveFirst
    // and MoveLast leave the properties and the position alone on a file without slots. A
    // step that finds nothing leaves the object not synchronised, so SaveChanges then writes
    // nothing.
    void MoveFirst(bool NoRefresh = false);
    void MoveLast(bool NoRefresh = false);
    void MovePrevious(bool NoRefresh = false);
    void MoveNext(bool NoRefresh = false);
    // Walks the valid records (backwards with blnReverse) raising Enumerated once per record;
    // once, too, when the first move finds nothing.
    void Enumerate(bool blnReverse = false);
    // Loads each valid record from the first to the last, as MoveFirst and MoveNext would,
    // and runs visit on it; the walk is one scan of the file, so records appended elsewhere
    // meanwhile are not met, and an append to this file (from visit too) waits for the walk's
    // end. The position ends past the last slot.
    void ForEachValid(const std::function<void()>& visit);
    // Reads every valid record from the first to the last in one pass, handing visit each as
    // it lies in the file (decode only the fields needed); visit answers false to stop. One
    // lock for the whole read, the file read in large blocks: an append elsewhere is met
    // wholly or not at all, and a torn slot is never met. The members, the buffer and the
    // position stay as they were. File errors reach the caller unchanged.
    void ScanValid(const SlotVisit& visit) { Pin()->ScanValid(visit); }
    // The properties and the identity from a record ScanValid handed out, as a load of it
    // would set them; nothing else changes (the object is no more synchronised than before,
    // so a save writes nothing it did not write before).
    void TakeMembers(const SlotView& record) { engine_->MembersFrom(record); }
    // Inside a change holding the table's lock since the scan that read them: one text field
    // of each scanned record (number, data part as read) takes text (RecordEngine).
    void RewriteScanned(const std::vector<std::pair<std::int32_t, std::vector<std::uint8_t>>>& scanned, int field,
                        std::string_view text) {
        Pin()->RewriteScanned(scanned, field, text);
    }

    // One change of many records of this table as one write: while it lives the table's
    // append lock is held once, and the records written through this object wait; Commit
    // writes them all through one journal (two flushes, however many records), so a failure
    // or a crash leaves the table all old or all new. Destroyed without Commit, it writes
    // nothing over existing records. Error +4 (opening, putting back a journal, Commit).
    class Change {
    public:
        explicit Change(RecordTable& table);
        ~Change();
        Change(const Change&) = delete;
        Change& operator=(const Change&) = delete;
        void Commit();

    private:
        std::shared_ptr<RecordEngine> engine_;
        std::unique_ptr<RecordFile::Batch> batch_;
    };

    // Closes the file and forgets the descriptor; never fails. The next operation reopens.
    void CloseTable() noexcept { engine_->CloseTable(); }
    // Receives the table's notifications (nothing in the program listens).
    void SetObserver(TableObserver observer) { engine_->observer = std::move(observer); }

protected:
    explicit RecordTable(const RecordDescription& description);

    // Typed members for the table classes' properties; a set stores the value unchanged (text
    // is neither cut nor trimmed) and marks the object dirty.
    std::string TextField(int field) const { return engine_->members[Index(field)].text; }
    void SetTextField(int field, std::string value);
    std::int16_t Int16Field(int field) const { return static_cast<std::int16_t>(engine_->members[Index(field)].number); }
    void SetInt16Field(int field, std::int16_t value);  // Integer and Flag fields
    std::int32_t Int32Field(int field) const { return engine_->members[Index(field)].number; }
    void SetInt32Field(int field, std::int32_t value);  // Long and WideInteger fields
    OleDate DateField(int field) const { return engine_->members[Index(field)].date; }
    void SetDateField(int field, OleDate value);
    std::int32_t Identity() const { return engine_->identity; }
    void SetIdentity(std::int32_t value);

    RecordEngine& Engine() const { return *engine_; }
    // Holds the engine for the length of a call that may yield or notify.
    std::shared_ptr<RecordEngine> Pin() const { return engine_; }

private:
    friend class TablesChange;
    static std::size_t Index(int field) { return static_cast<std::size_t>(field); }
    std::shared_ptr<RecordEngine> engine_;
};

// Deletes the records numbered (as RecordTable::Delete) as one change of the table: all of
// them, or none when one is refused or the write fails. Errors as Delete raises them.
template <typename Table>
void DeleteAsOneChange(const std::vector<std::int32_t>& numbers) {
    Table table;
    RecordTable::Change change(table);
    for (const std::int32_t n : numbers) table.Delete(n);
    change.Commit();
}

}  // namespace corvane
