#include "platform/core/program_globals.h"

namespace corvane {

std::string gDataPath;
bool gDisableFileLocking = false;

std::string gUserFile;
std::string gGroupFile;
std::string gAccessFile;
std::string gMemberFile;
std::string gUserLogFile;
std::string gPermissionsFile;
std::string gProgramsFile;
std::string gUserProgramsFile;
std::string gUserPermissionsFile;
std::string gActivityFile;
std::string gWebsitesFile;
std::string gUserWebsitesFile;
std::string gWebsiteLogFile;

}  // namespace corvane
