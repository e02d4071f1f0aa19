#pragma once

#include <cstdint>
#include <string>

#include "recordstore/keyed_table.h"

namespace corvane {

// The permission catalogue, permissions.sec: slot 808 bytes, data 413; Name 0/50 (the key),
// Description 50/255, PermissionType 305 and AccessLevel 307 (16-bit on disk), OtherAccess
// 309/20, Default 329, Deleted 331, the record locks from 333. Identity PermissionID (the
// record number), TableName "Permissions". DELETE blanks Name only with spaces; the deleted
// record's Description stays NUL bytes.
class Permission : public KeyedTable {
public:
    enum Field : int {
        kName, kDescription, kPermissionType, kAccessLevel, kOtherAccess, kDefault, kDeleted,
        kRecordLocked, kRecordLockedBy, kRecordLockedOn, kRecordLockedAt,
    };

    Permission();
    static const RecordDescription& Table();

    std::int32_t PermissionID() const { return Identity(); }
    void SetPermissionID(std::int32_t v) { SetIdentity(v); }
    std::string Name() const { return TextField(kName); }
    void SetName(std::string v) { SetTextField(kName, std::move(v)); }
    std::string Description() const { return TextField(kDescription); }
    void SetDescription(std::string v) { SetTextField(kDescription, std::move(v)); }
    // PermissionType and AccessLevel: a value outside -32,768..32,767 makes AddNew (+3) and
    // SaveChanges (+4) fail, writing nothing.
    std::int32_t PermissionType() const { return Int32Field(kPermissionType); }
    void SetPermissionType(std::int32_t v) { SetInt32Field(kPermissionType, v); }
    std::int32_t AccessLevel() const { return Int32Field(kAccessLevel); }
    void SetAccessLevel(std::int32_t v) { SetInt32Field(kAccessLevel, v); }
    std::string OtherAccess() const { return TextField(kOtherAccess); }
    void SetOtherAccess(std::string v) { SetTextField(kOtherAccess, std::move(v)); }
    std::int16_t Default() const { return Int16Field(kDefault); }
    void SetDefault(std::int16_t v) { SetInt16Field(kDefault, v); }

    // Slots whose trimmed Name is not empty, deleted or not (the count of keyed records).
    std::int32_t PermissionCount() { return CountKeyed(); }
};

}  // namespace corvane
