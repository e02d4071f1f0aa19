#include "catalogue/user_website.h"

#include "platform/core/program_globals.h"

namespace corvane {

const RecordDescription& UserWebsite::Table() {
    using K = FieldKind;
    static const RecordDescription description = RecordDescription::Build({
        .className = "UserWebsite",
        .tableName = "UserWebsite",
        .defaultFileName = "userwebsites.sec",
        .fileNameOverride = &gUserWebsitesFile,
        .slotLength = 554,
        .dataLength = 279,
        .fields = {
            {kUserLogin, "UserLogin", K::Text, 0, 20},
            {kKey, "URL", K::Text, 20, 255},
            {kActive, "Active", K::Flag, 275, 2},
            {kDeleted, "Deleted", K::Flag, 277, 2, FieldRole::BufferOnly},
        },
        .keyFields = {"URL", "UserLogin"},
        .identityName = "WebsiteID",
        .deleteSpaceFields = {"UserLogin", "URL"},
        .addNewKeyField = "UserLogin",
        .saveMembersWord = "SaveWebsites",
    });
    return description;
}

UserWebsite::UserWebsite() : LinkForm(Table()) {}

}  // namespace corvane
