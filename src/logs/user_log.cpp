#include "logs/user_log.h"

#include "platform/core/program_globals.h"

namespace corvane {

const RecordDescription& UserLog::Table() {
    using K = FieldKind;
    static const RecordDescription description = RecordDescription::Build({
        .className = "UserLog",
        .tableName = "UserLog",
        .defaultFileName = "userlog.sec",
        .fileNameOverride = &gUserLogFile,
        .slotLength = 364,
        .dataLength = 194,
        .fields = {
            {kUserLogin, "UserLogin", K::Text, 0, 20},
            {kUserName, "UserName", K::Text, 20, 50},
            {kAppName, "AppName", K::Text, 70, 50},
            {kComputer, "Computer", K::Text, 120, 50},
            {kLoginStamp, "LoginStamp", K::Date, 170, 8},
            {kLogoutStamp, "LogoutStamp", K::Date, 178, 8},
            {kFailed, "Failed", K::Flag, 186, 2},
            {kActive, "Active", K::Flag, 188, 2},
            {kInvalid, "Invalid", K::Flag, 190, 2},
            {kDeleted, "Deleted", K::Flag, 192, 2, FieldRole::BufferOnly},
        },
        .keyFields = {"UserLogin"},
        .identityName = "LogID",
        .deleteSpaceFields = {"UserLogin", "UserName", "AppName", "Computer"},
        .addNewKeyField = "UserLogin",
        .keyPolicy = KeyPolicy::RecordNumber,
        .yieldBeforeEnumerate = true,
        .reverseWalkAnnouncesFirst = true,
    });
    return description;
}

UserLog::UserLog() : LogTable(Table()) {}

std::int32_t UserLog::GetActiveUserCount() {
    // One scan instead of a step per record: the same records, counted at the speed of a read.
    UserLog own;
    return own.Engine().CountFlagged(kActive);
}

}  // namespace corvane
