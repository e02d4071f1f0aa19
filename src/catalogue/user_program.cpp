#include "catalogue/user_program.h"

#include "platform/core/program_globals.h"

namespace corvane {

const RecordDescription& UserProgram::Table() {
    using K = FieldKind;
    static const RecordDescription description = RecordDescription::Build({
        .className = "UserProgram",
        .tableName = "UserPrograms",
        .defaultFileName = "userprograms.sec",
        .fileNameOverride = &gUserProgramsFile,
        .slotLength = 554,
        .dataLength = 279,
        .fields = {
            {kUserLogin, "UserLogin", K::Text, 0, 20},
            {kKey, "Program", K::Text, 20, 255},
            {kActive, "Active", K::Flag, 275, 2},
            {kDeleted, "Deleted", K::Flag, 277, 2, FieldRole::BufferOnly},
        },
        .keyFields = {"Program", "UserLogin"},
        .identityName = "UserProgramID",
        .deleteSpaceFields = {"UserLogin", "Program"},
        .addNewKeyField = "UserLogin",
        .saveMembersWord = "SaveMembers",
    });
    return description;
}

UserProgram::UserProgram() : LinkForm(Table()) {}

}  // namespace corvane
