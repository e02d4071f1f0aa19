#include "catalogue/user_permission.h"

#include "platform/core/program_globals.h"

namespace corvane {

const RecordDescription& UserPermission::Table() {
    using K = FieldKind;
    static const RecordDescription description = RecordDescription::Build({
        .className = "UserPermission",
        .tableName = "UserPermission",
        .defaultFileName = "userpermissions.sec",
        .fileNameOverride = &gUserPermissionsFile,
        .slotLength = 144,
        .dataLength = 74,
        .fields = {
            {kUserLogin, "UserLogin", K::Text, 0, 20},
            {kKey, "Permission", K::Text, 20, 50},
            {kActive, "Active", K::Flag, 70, 2},
            {kDeleted, "Deleted", K::Flag, 72, 2, FieldRole::BufferOnly},
        },
        .keyFields = {"Permission", "UserLogin"},
        .identityName = "PermissionID",
        .deleteSpaceFields = {"UserLogin", "Permission"},
        .addNewKeyField = "UserLogin",
        .saveMembersWord = "SavePermissions",
    });
    return description;
}

UserPermission::UserPermission() : LinkForm(Table()) {}

}  // namespace corvane
