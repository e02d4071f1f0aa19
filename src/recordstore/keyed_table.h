#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "recordstore/record_table.h"

namespace corvane {

// A table found by one key text (the accounts and catalogues). Those of the system carry the
// advisory record locks in the last 80 bytes of their data; on a description without lock
// fields the lock members throw std::logic_error.
class KeyedTable : public RecordTable {
public:
    // The lock fields of the record buffer: whatever record was last read through this object.
    std::int16_t RecordLocked() const;  // as stored; any non-zero value means locked
    std::string RecordLockedBy() const;
    std::string RecordLockedOn() const;
    OleDate RecordLockedAt() const;  // to whole seconds

    // Exists(ID), then the found record's RecordLocked value (0 when not found).
    std::int16_t IsRecordLocked(std::string_view ID);
    // Exists(ID), then writes the found record back as locked by LockedBy on this computer
    // now; nothing is written when not found. The members are untouched, the position moves
    // to the record. Always false. When a clear elsewhere has taken the record away since
    // Exists found it, the write is refused with the bad record number error (63) and nothing
    // is written.
    bool LockRecord(std::string_view ID, std::string_view LockedBy);
    // As LockRecord, writing the lock fields clear (0, spaces, spaces, 0).
    bool ReleaseRecordLock(std::string_view ID);

    // Finds the first valid record whose key equals the text (both trimmed, without letter
    // case) and loads it: NoMatch false, synchronised, not dirty. Not found: NoMatch true,
    // not synchronised, the members unchanged. Error +8 (+11 when the file cannot be opened).
    bool Load(std::string_view key);
    // The same search without loading: the members and flags stay, the buffer and the
    // position move to the record found (or past the end). Error +18 (+11).
    bool Exists(std::string_view key);
    // Runs action only while record recordNumber is a valid record whose key is key (trimmed,
    // without letter case), holding the file's append lock throughout, so that no delete or
    // rename of it elsewhere runs in between. Whether action ran; its errors reach the caller
    // unchanged. Error +18.
    bool WhileValid(std::int32_t recordNumber, std::string_view key, const std::function<void()>& action) {
        return Pin()->WhileHolds(recordNumber, key, action);
    }
    // Deletes record n when it is a valid record, reading it under the lock of the delete:
    // the key it held (trimmed), or nothing when the slot held no valid record (already
    // deleted elsewhere, or past the end) and nothing was written. The members stay; the
    // lock getters read the record as it was. Error +10.
    std::optional<std::string> DeleteValid(std::int32_t recordNumber);

protected:
    explicit KeyedTable(const RecordDescription& description);

    // The count of keyed records (UserCount and its kin): slots whose key is not blank,
    // deleted or not; leaves the position past the last slot.
    std::int32_t CountKeyed();
    // Exists over another field (User's AccessLevelExists), under the given source word and
    // Exists' number and text.
    bool ExistsByField(const char* sourceWord, int field, std::string_view value);

private:
    const RecordDescription& Locks() const;
    bool WriteLock(std::string_view ID, bool lock, std::string_view lockedBy);
};

}  // namespace corvane
