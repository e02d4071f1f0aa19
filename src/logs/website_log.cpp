#include "logs/website_log.h"

#include "platform/core/program_globals.h"

namespace corvane {

const RecordDescription& WebsiteLog::Table() {
    using K = FieldKind;
    static const RecordDescription description = RecordDescription::Build({
        .className = "WebsiteLog",
        .tableName = "WebsiteLog",
        .defaultFileName = "websiteslog.sec",
        .fileNameOverride = &gWebsiteLogFile,
        .slotLength = 804,
        .dataLength = 405,
        .fields = {
            {kUserLogin, "UserLogin", K::Text, 0, 20},
            {kAppName, "AppName", K::Text, 20, 50},
            {kComputer, "Computer", K::Text, 70, 50},
            {kURL, "URL", K::Text, 120, 255},
            {kTimeStamp, "TimeStamp", K::Date, 375, 8},
            {kStatus, "Status", K::Text, 383, 20},
            {kDeleted, "Deleted", K::Flag, 403, 2, FieldRole::BufferOnly},
        },
        .keyFields = {"UserLogin"},
        .identityName = "LogID",
        .deleteSpaceFields = {"UserLogin", "AppName", "Computer", "URL", "Status"},
        .addNewKeyField = "UserLogin",
        .keyPolicy = KeyPolicy::RecordNumber,
        .yieldBeforeEnumerate = true,
        .reverseWalkAnnouncesFirst = true,
    });
    return description;
}

WebsiteLog::WebsiteLog() : LogTable(Table()) {}

}  // namespace corvane
