// The catalogue and assignment tables under the contract every keyed and link table keeps.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/permission.h"
#include "catalogue/program.h"
#include "catalogue/user_permission.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "platform/core/program_globals.h"
#include "recordstore/keyed_contract.h"
#include "recordstore/link_contract.h"

namespace corvane::testing {

template <>
struct KeyedTraits<Website>
    : KeyedAccess<Website, &Website::URL, &Website::SetURL, &Website::WebsiteID, &Website::WebsiteCount> {
    static constexpr const char* kFile = "websites.sec";
    static constexpr std::size_t kSlot = 1228, kData = 626, kKeyWidth = 255, kDeleted = 544, kLock = 546;
    static constexpr const char* kClass = "Website";
    static constexpr const char* kTableName = "Websites";
    static std::vector<Span> Spaces() { return {{0, 255}}; }
    static std::string* Override() { return &gWebsitesFile; }
};

template <>
struct KeyedTraits<Program> : KeyedAccess<Program, &Program::ProgramPathName, &Program::SetProgramPathName,
                                          &Program::ProgramID, &Program::GroupCount> {
    static constexpr const char* kFile = "programs.sec";
    static constexpr std::size_t kSlot = 1228, kData = 626, kKeyWidth = 255, kDeleted = 544, kLock = 546;
    static constexpr const char* kClass = "Program";
    static constexpr const char* kTableName = "Programs";
    static std::vector<Span> Spaces() { return {{0, 255}, {255, 255}}; }
    static std::string* Override() { return &gProgramsFile; }
};

template <>
struct KeyedTraits<Permission> : KeyedAccess<Permission, &Permission::Name, &Permission::SetName,
                                             &Permission::PermissionID, &Permission::PermissionCount> {
    static constexpr const char* kFile = "permissions.sec";
    static constexpr std::size_t kSlot = 808, kData = 413, kKeyWidth = 50, kDeleted = 331, kLock = 333;
    static constexpr const char* kClass = "Permission";
    static constexpr const char* kTableName = "Permissions";
    static std::vector<Span> Spaces() { return {{0, 50}}; }  // the Description stays NUL
    static std::string* Override() { return &gPermissionsFile; }
};

template <>
struct LinkTraits<UserWebsite>
    : LinkAccess<UserWebsite, &UserWebsite::URL, &UserWebsite::SetURL, &UserWebsite::WebsiteID,
                 &UserWebsite::LoadWebsites, &UserWebsite::LoadUsers, &UserWebsite::UserWebsites,
                 &UserWebsite::SetUserWebsites> {
    static constexpr const char* kFile = "userwebsites.sec";
    static constexpr std::size_t kSlot = 554, kData = 279, kKeyWidth = 255, kActive = 275, kDeleted = 277;
    static constexpr const char* kClass = "UserWebsite";
    static constexpr const char* kTableName = "UserWebsite";
    static constexpr const char* kByLogin = "LoadWebsites";
    static constexpr const char* kByKey = "LoadUsers";
    static constexpr const char* kSaveWord = "SaveWebsites";
    static std::string* Override() { return &gUserWebsitesFile; }
};

template <>
struct LinkTraits<UserProgram>
    : LinkAccess<UserProgram, &UserProgram::Program, &UserProgram::SetProgram, &UserProgram::UserProgramID,
                 &UserProgram::LoadPrograms, &UserProgram::LoadUsers, &UserProgram::UserPrograms,
                 &UserProgram::SetUserPrograms> {
    static constexpr const char* kFile = "userprograms.sec";
    static constexpr std::size_t kSlot = 554, kData = 279, kKeyWidth = 255, kActive = 275, kDeleted = 277;
    static constexpr const char* kClass = "UserProgram";
    static constexpr const char* kTableName = "UserPrograms";
    static constexpr const char* kByLogin = "LoadPrograms";
    static constexpr const char* kByKey = "LoadUsers";
    static constexpr const char* kSaveWord = "SaveMembers";
    static std::string* Override() { return &gUserProgramsFile; }
};

template <>
struct LinkTraits<UserPermission>
    : LinkAccess<UserPermission, &UserPermission::Permission, &UserPermission::SetPermission,
                 &UserPermission::PermissionID, &UserPermission::LoadPermissions, &UserPermission::LoadUsers,
                 &UserPermission::UserPermissions, &UserPermission::SetUserPermissions> {
    static constexpr const char* kFile = "userpermissions.sec";
    static constexpr std::size_t kSlot = 144, kData = 74, kKeyWidth = 50, kActive = 70, kDeleted = 72;
    static constexpr const char* kClass = "UserPermission";
    static constexpr const char* kTableName = "UserPermission";
    static constexpr const char* kByLogin = "LoadPermissions";
    static constexpr const char* kByKey = "LoadUsers";
    static constexpr const char* kSaveWord = "SavePermissions";
    static std::string* Override() { return &gUserPermissionsFile; }
};

using CatalogueTables = ::testing::Types<Website, Program, Permission>;
INSTANTIATE_TYPED_TEST_SUITE_P(Catalogue, KeyedContract, CatalogueTables);
using AssignmentTables = ::testing::Types<UserWebsite, UserProgram, UserPermission>;
INSTANTIATE_TYPED_TEST_SUITE_P(Assignments, LinkContract, AssignmentTables);

}  // namespace corvane::testing
