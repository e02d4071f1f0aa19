#include "recordstore/user_member.h"

#include "platform/core/program_globals.h"

namespace corvane {

const RecordDescription& UserMember::Table() {
    using K = FieldKind;
    static const RecordDescription description = RecordDescription::Build({
        .className = "UserMember",
        .tableName = "UserMembership",
        .defaultFileName = "members.sec",
        .fileNameOverride = &gMemberFile,
        .slotLength = 84,
        .dataLength = 44,
        .fields = {
            {kUserLogin, "UserLogin", K::Text, 0, 20},
            {kKey, "Group", K::Text, 20, 20},
            {kActive, "Active", K::Flag, 40, 2},
            {kDeleted, "Deleted", K::Flag, 42, 2, FieldRole::BufferOnly},
        },
        .keyFields = {"Group", "UserLogin"},
        .identityName = "MemberID",
        .deleteSpaceFields = {"UserLogin", "Group"},
        .addNewKeyField = "UserLogin",
    });
    return description;
}

UserMember::UserMember() : LinkForm(Table()) {}

}  // namespace corvane
