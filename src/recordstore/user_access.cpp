#include "recordstore/user_access.h"

#include "platform/core/program_globals.h"

namespace corvane {

const RecordDescription& UserAccess::Table() {
    using K = FieldKind;
    constexpr FieldRole kBuffer = FieldRole::BufferOnly;
    static const RecordDescription description = RecordDescription::Build({
        .className = "UserAccess",
        .tableName = "UserAccess",
        .defaultFileName = "access.sec",
        .fileNameOverride = &gAccessFile,
        .slotLength = 196,
        .dataLength = 106,
        .fields = {
            {kName, "Name", K::Text, 0, 20},
            {kLevel, "Level", K::Integer, 20, 2},
            {kDefault, "Default", K::Flag, 22, 2},
            {kDeleted, "Deleted", K::Flag, 24, 2, kBuffer},
            {kRecordLocked, "RecordLocked", K::Flag, 26, 2, kBuffer},
            {kRecordLockedBy, "RecordLockedBy", K::Text, 28, 20, kBuffer},
            {kRecordLockedOn, "RecordLockedOn", K::Text, 48, 50, kBuffer},
            {kRecordLockedAt, "RecordLockedAt", K::Date, 98, 8, kBuffer},
        },
        .keyFields = {"Name"},
        .identityName = "AccessID",
        .deleteSpaceFields = {"Name"},
        .addNewKeyField = "Name",
    });
    return description;
}

UserAccess::UserAccess() : KeyedTable(Table()) {}

}  // namespace corvane
