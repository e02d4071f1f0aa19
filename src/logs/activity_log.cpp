#include "logs/activity_log.h"

#include "platform/core/program_globals.h"

namespace corvane {

const RecordDescription& ActivityLog::Table() {
    using K = FieldKind;
    static const RecordDescription description = RecordDescription::Build({
        .className = "ActivityLog",
        .tableName = "ActivityLog",
        .defaultFileName = "activity.sec",
        .fileNameOverride = &gActivityFile,
        .slotLength = 764,
        .dataLength = 385,
        .fields = {
            {kUserLogin, "UserLogin", K::Text, 0, 20},
            {kAppName, "AppName", K::Text, 20, 50},
            {kComputer, "Computer", K::Text, 70, 50},
            {kDetails, "Details", K::Text, 120, 255},
            {kTimeStamp, "TimeStamp", K::Date, 375, 8},
            {kDeleted, "Deleted", K::Flag, 383, 2, FieldRole::BufferOnly},
        },
        .keyFields = {"UserLogin"},
        .identityName = "LogID",
        .deleteSpaceFields = {"UserLogin", "AppName", "Computer", "Details"},
        .addNewKeyField = "UserLogin",
        .keyPolicy = KeyPolicy::RecordNumber,
        .yieldBeforeEnumerate = true,
        .reverseWalkAnnouncesFirst = true,
    });
    return description;
}

ActivityLog::ActivityLog() : LogTable(Table()) {}

}  // namespace corvane
