#include "recordstore/file_system.h"

#include "platform/core/program_globals.h"
#include "recordstore/data_paths.h"
#include "recordstore/user_log_clearer.h"

namespace corvane {

void IFileSystem::SetSecurityDataPath(const std::string& value) {
    gDataPath = value;
    SaveGlobalSettings();
}

std::string IFileSystem::SecurityDataPath() const { return GetDataPath(); }

std::string IFileSystem::UserFile() const { return GetUserFileName(); }
std::string IFileSystem::GroupFile() const { return GetGroupFileName(); }
std::string IFileSystem::AccessFile() const { return GetAccessFileName(); }
std::string IFileSystem::PermissionsFile() const { return GetPermissionsFileName(); }
std::string IFileSystem::MemberFile() const { return GetMemberFileName(); }
std::string IFileSystem::UserPermissionsFile() const { return GetUserPermissionsFileName(); }
std::string IFileSystem::UserLogFile() const { return GetUserLogFileName(); }

std::string IFileSystem::UserPathName() const { return GetUserPathName(); }
std::string IFileSystem::GroupPathName() const { return GetGroupPathName(); }
std::string IFileSystem::AccessPathName() const { return GetAccessPathName(); }
std::string IFileSystem::PermissionsPathName() const { return GetPermissionsPathName(); }
std::string IFileSystem::MemberPathName() const { return GetMemberPathName(); }
std::string IFileSystem::UserPermissionsPathName() const { return GetUserPermissionsPathName(); }
std::string IFileSystem::UserLogPathName() const { return GetUserLogPathName(); }

void IFileSystem::ClearUserLog() { ClearUserLogThroughClearer(""); }

}  // namespace corvane
