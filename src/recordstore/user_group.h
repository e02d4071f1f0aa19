#pragma once

#include <cstdint>
#include <string>

#include "recordstore/keyed_table.h"

namespace corvane {

// User groups, groups.sec: slot 704 bytes, data 359; Name 0/20 (the key), Description
// 20/255, Default 275, Deleted 277, the record locks from 279. Identity GroupID (the record
// number), TableName "UserGroup". DELETE blanks Name and Description with spaces.
class UserGroup : public KeyedTable {
public:
    enum Field : int {
        kName, kDescription, kDefault, kDeleted, kRecordLocked, kRecordLockedBy, kRecordLockedOn, kRecordLockedAt,
    };

    UserGroup();
    static const RecordDescription& Table();

    std::int32_t GroupID() const { return Identity(); }
    void SetGroupID(std::int32_t v) { SetIdentity(v); }
    std::string Name() const { return TextField(kName); }
    void SetName(std::string v) { SetTextField(kName, std::move(v)); }
    std::string Description() const { return TextField(kDescription); }
    void SetDescription(std::string v) { SetTextField(kDescription, std::move(v)); }
    std::int16_t Default() const { return Int16Field(kDefault); }
    void SetDefault(std::int16_t v) { SetInt16Field(kDefault, v); }

    // Slots whose trimmed Name is not empty, deleted or not (the count of keyed records).
    std::int32_t GroupCount() { return CountKeyed(); }
};

}  // namespace corvane
