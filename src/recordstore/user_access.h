#pragma once

#include <cstdint>
#include <string>

#include "recordstore/keyed_table.h"

namespace corvane {

// Named access levels, access.sec: slot 196 bytes, data 106; Name 0/20 (the key), Level 20,
// Default 22, Deleted 24, the record locks from 26. Identity AccessID (the record number),
// TableName "UserAccess". DELETE blanks Name with spaces.
class UserAccess : public KeyedTable {
public:
    enum Field : int { kName, kLevel, kDefault, kDeleted, kRecordLocked, kRecordLockedBy, kRecordLockedOn, kRecordLockedAt };

    UserAccess();
    static const RecordDescription& Table();

    std::int32_t AccessID() const { return Identity(); }
    void SetAccessID(std::int32_t v) { SetIdentity(v); }
    std::string Name() const { return TextField(kName); }
    void SetName(std::string v) { SetTextField(kName, std::move(v)); }
    std::int16_t Level() const { return Int16Field(kLevel); }
    void SetLevel(std::int16_t v) { SetInt16Field(kLevel, v); }
    std::int16_t Default() const { return Int16Field(kDefault); }
    void SetDefault(std::int16_t v) { SetInt16Field(kDefault, v); }

    // Slots whose trimmed Name is not empty, deleted or not (the count of keyed records).
    std::int32_t AccessCount() { return CountKeyed(); }
};

}  // namespace corvane
