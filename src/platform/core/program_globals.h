#pragma once

#include <functional>
#include <string>

namespace corvane {

// Program-wide values loaded with the global settings.
extern std::string gDataPath;      // "Data Path", as stored (untrimmed)
extern bool gDisableFileLocking;   // "Disable File Locking"

// One file-name override per record table; empty means the default name.
extern std::string gUserFile;
extern std::string gGroupFile;
extern std::string gAccessFile;
extern std::string gMemberFile;
extern std::string gUserLogFile;
extern std::string gPermissionsFile;
extern std::string gProgramsFile;
extern std::string gUserProgramsFile;
extern std::string gUserPermissionsFile;
extern std::string gActivityFile;
extern std::string gWebsitesFile;
extern std::string gUserWebsitesFile;
extern std::string gWebsiteLogFile;

// Writes every global setting to the store it was loaded from; handles its own errors
// (settings_store.h).
void SaveGlobalSettings();

}  // namespace corvane
