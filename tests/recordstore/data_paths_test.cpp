// The data folder and the table file names.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/core/program_globals.h"
#include "recordstore/data_paths.h"

namespace corvane {
namespace {

class DataPaths : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("CORVANE_PROGRAM_DIR", "/opt/corvane", 1); }
    void TearDown() override {
        ::unsetenv("CORVANE_PROGRAM_DIR");
        gDataPath.clear();
        gUserFile.clear();
        gWebsiteLogFile.clear();
    }
};

TEST_F(DataPaths, DataFolderIsTheSettingAsStoredOrTheProgramFolder) {
    struct Case { const char* setting; const char* path; };
    const Case cases[] = {
        {"", "/opt/corvane/users.sec"},
        {"    ", "/opt/corvane/users.sec"},
        {"/srv/data", "/srv/data/users.sec"},
        {"/srv/data/", "/srv/data//users.sec"},   // never tidied
        {" /srv/data ", " /srv/data /users.sec"},  // only the emptiness test trims
        {"\\\\nowhere\\share", "\\\\nowhere\\share/users.sec"},  // a share not mounted stays as typed
    };
    for (const auto& c : cases) {
        gDataPath = c.setting;
        EXPECT_EQ(GetUserPathName(), c.path) << '"' << c.setting << '"';
    }
    gDataPath = "";
    EXPECT_EQ(GetDataPath(), "/opt/corvane");
}

TEST_F(DataPaths, OverridesAreFileNamesUsedAsStored) {
    gDataPath = "/d";
    gUserFile = "   ";
    EXPECT_EQ(GetUserPathName(), "/d/users.sec");
    gUserFile = " other.sec";
    EXPECT_EQ(GetUserFileName(), " other.sec");
    EXPECT_EQ(GetUserPathName(), "/d/ other.sec");
    gWebsiteLogFile = "w.sec";
    EXPECT_EQ(GetWebsiteLogPathName(), "/d/w.sec");
    EXPECT_EQ(GetWebsitesPathName(), "/d/websites.sec");
}

TEST_F(DataPaths, EveryTableHasItsOwnDefaultName) {
    const std::pair<std::string (*)(), const char*> names[] = {
        {GetUserFileName, "users.sec"},
        {GetAccessFileName, "access.sec"},
        {GetGroupFileName, "groups.sec"},
        {GetMemberFileName, "members.sec"},
        {GetPermissionsFileName, "permissions.sec"},
        {GetWebsitesFileName, "websites.sec"},
        {GetProgramsFileName, "programs.sec"},
        {GetUserPermissionsFileName, "userpermissions.sec"},
        {GetUserWebsitesFileName, "userwebsites.sec"},
        {GetUserProgramsFileName, "userprograms.sec"},
        {GetUserLogFileName, "userlog.sec"},
        {GetActivityLogFileName, "activity.sec"},
        {GetWebsiteLogFileName, "websiteslog.sec"},
    };
    for (const auto& [get, name] : names) EXPECT_EQ(get(), name);
}

}  // namespace
}  // namespace corvane
