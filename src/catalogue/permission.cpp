#include "catalogue/permission.h"

#include "platform/core/program_globals.h"

namespace corvane {

const RecordDescription& Permission::Table() {
    using K = FieldKind;
    constexpr FieldRole kBuffer = FieldRole::BufferOnly;
    static const RecordDescription description = RecordDescription::Build({
        .className = "Permission",
        .tableName = "Permissions",
        .defaultFileName = "permissions.sec",
        .fileNameOverride = &gPermissionsFile,
        .slotLength = 808,
        .dataLength = 413,
        .fields = {
            {kName, "Name", K::Text, 0, 50},
            {kDescription, "Description", K::Text, 50, 255},
            {kPermissionType, "PermissionType", K::WideInteger, 305, 2},
            {kAccessLevel, "AccessLevel", K::WideInteger, 307, 2},
            {kOtherAccess, "OtherAccess", K::Text, 309, 20},
            {kDefault, "Default", K::Flag, 329, 2},
            {kDeleted, "Deleted", K::Flag, 331, 2, kBuffer},
            {kRecordLocked, "RecordLocked", K::Flag, 333, 2, kBuffer},
            {kRecordLockedBy, "RecordLockedBy", K::Text, 335, 20, kBuffer},
            {kRecordLockedOn, "RecordLockedOn", K::Text, 355, 50, kBuffer},
            {kRecordLockedAt, "RecordLockedAt", K::Date, 405, 8, kBuffer},
        },
        .keyFields = {"Name"},
        .identityName = "PermissionID",
        .deleteSpaceFields = {"Name"},
        .addNewKeyField = "Name",
    });
    return description;
}

Permission::Permission() : KeyedTable(Table()) {}

}  // namespace corvane
