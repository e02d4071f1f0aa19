// The start-up's test of the data folder, the lock query and the file-system facade.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/core/clock.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/core/program_globals.h"
#include "recordstore/data_connection.h"
#include "recordstore/file_system.h"
#include "recordstore/user_log_clearer.h"
#include "recordstore/test_support.h"
#include "errors/error_handler.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane {
namespace {

using testing::DataFolderTest;
using testing::UserRecord;

class DataConnection : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        UseComputerName("WS01");
        clock::SetSleepFunction([](std::chrono::milliseconds) {});
    }
    void TearDown() override {
        SetErrorHandler(nullptr);
        clock::SetSleepFunction(nullptr);
        gDisableFileLocking = false;
        DataFolderTest::TearDown();
    }

    // The real handler, counting the errors it is given.
    void UseHandler() {
        SetErrorHandler([this](const RaisedError& e, const std::string& place, int, int language) {
            places_.push_back(place);
            numbers_.push_back(e.Number());
            return handler_.HandleError(e, place, language);
        });
    }

    ErrorHandler handler_;
    std::vector<std::string> places_;
    std::vector<int> numbers_;
};

}  // namespace

TEST_F(DataConnection, AnEmptyDataFolderGetsAnEmptyUserTableAndNothingIsShown) {
    auto box = ScriptedMsgBox::Install();
    UseHandler();
    TestDataConnection();
    EXPECT_EQ(std::filesystem::file_size(UsersPath()), 0u);
    EXPECT_TRUE(places_.empty());
    EXPECT_EQ(box->Count(), 0);
}

TEST_F(DataConnection, AMissingFolderIsRetriedSilentlyThreeTimesThenTheUserIsAsked) {
    auto box = ScriptedMsgBox::Install();
    UseHandler();
    gDataPath = folder_ + "/missing";
    box->Answers({kMsgRetry, kMsgCancel});
    TestDataConnection();
    ASSERT_EQ(box->Count(), 2) << "Retry starts a new series of four attempts";
    EXPECT_EQ(places_.size(), 8u);
    EXPECT_EQ(places_.front(), "AppMain.TestDataConnection");
    EXPECT_EQ(numbers_.front(), vbObjectError + 11);
    EXPECT_EQ(box->Last().prompt,
              "Data Source Error.  Cannot connect to Data Source on " + folder_ + "/missing");
    EXPECT_EQ(box->Last().buttons, 4096 + 16 + 5);
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/missing"));
}

TEST_F(DataConnection, LockedFromAnotherComputerOnlyWhenTheNameDiffersInAnyWay) {
    const auto locked = [](std::string_view login, std::string_view on, std::int16_t flag) {
        return UserRecord(login).Int16(2080, flag).Text(2082, 20, "admin").Text(2102, 50, on);
    };
    testing::WriteUsers(UsersPath(), {locked("ann", "WS01", -1), locked("bob", "ws01", -1),
                                      locked("cat", "WS02", 0), locked("dan", "WS02", -1),
                                      locked("eve", "WS02", 1)});
    struct Row {
        const char* login;
        bool expected;
    } rows[] = {{"ann", false}, {"bob", true}, {" DAN ", true}, {"cat", false},
                {"eve", true},  {"nobody", false}};
    for (const Row& row : rows) {
        std::string by, on;
        OleDate at = 0;
        EXPECT_EQ(IsUserRecordLocked(row.login, by, on, at, ""), row.expected) << row.login;
        if (row.expected) {
            EXPECT_EQ(by, "admin");
        }
    }

    gDisableFileLocking = true;
    std::string by = "untouched", on = "untouched";
    OleDate at = 7;
    EXPECT_FALSE(IsUserRecordLocked("dan", by, on, at, ""));
    EXPECT_EQ(by, "untouched");
    EXPECT_EQ(at, 7);
}

TEST_F(DataConnection, AnErrorThatLeavesAnswersNotLocked) {
    testing::WriteUsers(UsersPath(), {UserRecord("dan").Int16(2080, -1).Text(2102, 50, "WS02")});
    std::vector<std::string> places;
    SetErrorHandler([&](const RaisedError&, const std::string& place, int, int) {
        places.push_back(place);
        return kErrorLeave;
    });
    std::string by = "before", on;
    OleDate at = 0;
    // A folder where the table's file should be cannot be opened.
    EXPECT_FALSE(IsUserRecordLocked("dan", by, on, at, folder_));
    EXPECT_EQ(places, std::vector<std::string>{"FileSystem.IsUserRecordLocked"});
    EXPECT_EQ(by, "before");
}

TEST_F(DataConnection, TheFileSystemFacadeReadsTheCurrentSettings) {
    IFileSystem fs;
    EXPECT_EQ(fs.SecurityDataPath(), folder_);
    EXPECT_EQ(fs.UserFile(), "users.sec");
    EXPECT_EQ(fs.UserLogFile(), "userlog.sec");
    EXPECT_EQ(fs.UserPermissionsPathName(), folder_ + "/userpermissions.sec");
    EXPECT_EQ(fs.MemberPathName(), folder_ + "/members.sec");

    fs.SetSecurityDataPath("");
    EXPECT_EQ(gDataPath, "");
    EXPECT_EQ(fs.SecurityDataPath(), environment::ProgramFolder());
    fs.SetSecurityDataPath(" " + folder_);
    EXPECT_EQ(gDataPath, " " + folder_) << "stored unchanged";

    std::vector<std::string> cleared;
    SetUserLogClearer([&](std::string_view path) { cleared.emplace_back(path); });
    fs.ClearUserLog();
    SetUserLogClearer(nullptr);
    EXPECT_EQ(cleared, std::vector<std::string>{""});
}

}  // namespace corvane
