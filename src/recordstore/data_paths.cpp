#include "recordstore/data_paths.h"

#include "platform/core/environment.h"
#include "platform/core/program_globals.h"
#include "platform/core/text.h"
#include "platform/core/unc_path.h"

namespace corvane {

std::string GetDataPath() {
    if (text::TrimSpaces(gDataPath).empty()) return environment::ProgramFolder();
    // A share chosen on the network is stored as typed and opened where it is mounted.
    return ResolveUncPath(gDataPath);
}

std::string TableFileName(const std::string& override, const std::string& defaultName) {
    return text::TrimSpaces(override).empty() ? defaultName : override;
}

std::string DefaultTablePath(const std::string& override, const std::string& defaultName) {
    return GetDataPath() + "/" + TableFileName(override, defaultName);
}

// The default names are the files' names on every workstation sharing the folder.
#define CORVANE_TABLE_FILE(Stem, Override, Name)                                         \
    std::string Get##Stem##FileName() { return TableFileName(Override, Name); }          \
    std::string Get##Stem##PathName() { return DefaultTablePath(Override, Name); }

CORVANE_TABLE_FILE(User, gUserFile, "users.sec")
CORVANE_TABLE_FILE(Access, gAccessFile, "access.sec")
CORVANE_TABLE_FILE(Group, gGroupFile, "groups.sec")
CORVANE_TABLE_FILE(Member, gMemberFile, "members.sec")
CORVANE_TABLE_FILE(Permissions, gPermissionsFile, "permissions.sec")
CORVANE_TABLE_FILE(Websites, gWebsitesFile, "websites.sec")
CORVANE_TABLE_FILE(Programs, gProgramsFile, "programs.sec")
CORVANE_TABLE_FILE(UserPermissions, gUserPermissionsFile, "userpermissions.sec")
CORVANE_TABLE_FILE(UserWebsites, gUserWebsitesFile, "userwebsites.sec")
CORVANE_TABLE_FILE(UserPrograms, gUserProgramsFile, "userprograms.sec")
CORVANE_TABLE_FILE(UserLog, gUserLogFile, "userlog.sec")
CORVANE_TABLE_FILE(ActivityLog, gActivityFile, "activity.sec")
CORVANE_TABLE_FILE(WebsiteLog, gWebsiteLogFile, "websiteslog.sec")

#undef CORVANE_TABLE_FILE

}  // namespace corvane
