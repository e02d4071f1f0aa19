#include "recordstore/user_group.h"

#include "platform/core/program_globals.h"

namespace corvane {

const RecordDescription& UserGroup::Table() {
    using K = FieldKind;
    constexpr FieldRole kBuffer = FieldRole::BufferOnly;
    static const RecordDescription description = RecordDescription::Build({
        .className = "UserGroup",
        .tableName = "UserGroup",
        .defaultFileName = "groups.sec",
        .fileNameOverride = &gGroupFile,
        .slotLength = 704,
        .dataLength = 359,
        .fields = {
            {kName, "Name", K::Text, 0, 20},
            {kDescription, "Description", K::Text, 20, 255},
            {kDefault, "Default", K::Flag, 275, 2},
            {kDeleted, "Deleted", K::Flag, 277, 2, kBuffer},
            {kRecordLocked, "RecordLocked", K::Flag, 279, 2, kBuffer},
            {kRecordLockedBy, "RecordLockedBy", K::Text, 281, 20, kBuffer},
            {kRecordLockedOn, "RecordLockedOn", K::Text, 301, 50, kBuffer},
            {kRecordLockedAt, "RecordLockedAt", K::Date, 351, 8, kBuffer},
        },
        .keyFields = {"Name"},
        .identityName = "GroupID",
        .deleteSpaceFields = {"Name", "Description"},
        .addNewKeyField = "Name",
    });
    return description;
}

UserGroup::UserGroup() : KeyedTable(Table()) {}

}  // namespace corvane
