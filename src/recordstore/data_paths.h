#pragma once

#include <string>

namespace corvane {

// The data folder: gDataPath exactly as stored (a UNC path of a mounted share as the folder
// it is mounted on), or the program folder when it is empty or all spaces. Nothing is cached,
// so a new "Data Path" applies at the next OpenTable.
std::string GetDataPath();

// A table's file name: its override exactly as stored, unless that is empty or all spaces.
std::string TableFileName(const std::string& override, const std::string& defaultName);

// The data folder, "/" and the file name, joined as they are (never tidied).
std::string DefaultTablePath(const std::string& override, const std::string& defaultName);

// One pair per table of the system.
std::string GetUserFileName();
std::string GetAccessFileName();
std::string GetGroupFileName();
std::string GetMemberFileName();
std::string GetPermissionsFileName();
std::string GetWebsitesFileName();
std::string GetProgramsFileName();
std::string GetUserPermissionsFileName();
std::string GetUserWebsitesFileName();
std::string GetUserProgramsFileName();
std::string GetUserLogFileName();
std::string GetActivityLogFileName();
std::string GetWebsiteLogFileName();

std::string GetUserPathName();
std::string GetAccessPathName();
std::string GetGroupPathName();
std::string GetMemberPathName();
std::string GetPermissionsPathName();
std::string GetWebsitesPathName();
std::string GetProgramsPathName();
std::string GetUserPermissionsPathName();
std::string GetUserWebsitesPathName();
std::string GetUserProgramsPathName();
std::string GetUserLogPathName();
std::string GetActivityLogPathName();
std::string GetWebsiteLogPathName();

}  // namespace corvane
