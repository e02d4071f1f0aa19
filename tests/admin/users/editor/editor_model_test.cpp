#include <gtest/gtest.h>

#include <filesystem>

#include "editor_fixture.h"
#include "messages/message_catalogue.h"
#include "ui_core/date_text.h"
#include "support/faulty_record_io.h"
#include "ui_core/msgbox/scripted_msgbox.h"

using namespace corvane;
using M = UserEditorModel;

namespace {

class UserEditor : public test::EditorTest {};

std::string Message(int number, const std::optional<std::string>& parameter = std::nullopt) {
    return GetMessageText(number, kLanguageUS, parameter);
}

TEST_F(UserEditor, OkOnAnUnchangedUserRewritesOnlyTheThreeFieldsItAlwaysSets) {
    WriteFixtureUser();
    const std::string before = ReadFile(UsersPath());
    auto box = ScriptedMsgBox::Install();
    M editor = Open("alice");
    EXPECT_EQ(box->Count(), 0) << "a lock taken from this computer asks nothing";
    EXPECT_EQ(editor.login, "alice");
    EXPECT_EQ(editor.caption, Message(46) + " - alice");
    EXPECT_TRUE(editor.okEnabled);

    editor.OK();

    EXPECT_TRUE(editor.hideRequested);
    EXPECT_FALSE(editor.Cancelled);
    EXPECT_TRUE(editor.IsDirty);
    EXPECT_EQ(editor.UserLogin, "alice");
    EXPECT_TRUE(reports.empty());
    const std::string after = ReadFile(UsersPath());
    ASSERT_EQ(after.size(), before.size());
    std::string expected = before;
    expected.replace(529, 2, "\xFF\xFF");   // AddProgramsToSecureConsoleAfterLogin
    expected.replace(1798, 4, "\xFF\xFF\xFF\xFF");  // EnforceUserAccessOnPrograms and ...OnWebsites
    for (std::size_t i = 0; i < after.size(); ++i)
        ASSERT_EQ(after[i], expected[i]) << "byte " << i;
}

TEST_F(UserEditor, ShowingTheFixtureFillsEveryControl) {
    WriteFixtureUser();
    M editor = Open("alice");
    EXPECT_EQ(editor.name, "Alice Example");
    EXPECT_EQ(editor.description, "Accounts, second floor");
    EXPECT_EQ(editor.homePage, "http://intranet.example/");
    EXPECT_EQ(editor.displayMessage, "Welcome back");
    for (int c = 0; c < M::kCheckCount; ++c) EXPECT_TRUE(editor.checks[c]) << "box " << c;
    EXPECT_EQ(editor.access, 1);
    EXPECT_TRUE(editor.displayMessageEnabled);
    EXPECT_EQ(editor.focusRequest, M::Focus::Login) << "the login box takes the focus last";
}

TEST_F(UserEditor, ALockFromAnotherComputerAsksUntilItIsGoneOrRefused) {
    AddUser("alice");
    LockUser(1, "WS02");
    {
        auto box = ScriptedMsgBox::Install();
        box->Answer(kMsgCancel);
        M editor = Open("alice");
        ASSERT_EQ(box->Count(), 1);
        EXPECT_EQ(box->Last().prompt, Message(482, "bob\\WS02=" + ui::GeneralDateText(46000.5)));
        EXPECT_NE(box->Last().prompt.find("bob"), std::string::npos);
        EXPECT_NE(box->Last().prompt.find("WS02"), std::string::npos);
        EXPECT_EQ(box->Last().buttons, 53);
        EXPECT_EQ(box->Last().title, Message(290));
        EXPECT_TRUE(editor.Cancelled);
        EXPECT_TRUE(editor.hideRequested);
        EXPECT_EQ(editor.login, "");
        EXPECT_EQ(editor.definedWebsites.Count() + editor.definedPrograms.Count(), 0);
        EXPECT_FALSE(editor.okEnabled);
    }
    {
        // Retry twice: the second time the other workstation has let go.
        AddWebsite("http://a.example/");
        auto box = ScriptedMsgBox::Install();
        box->AnswerWith([&](const ScriptedMsgBox::Question&) {
            if (box->Count() == 2) LockUser(1, "WS02", false);
            return kMsgRetry;
        });
        M editor = Open("alice");
        EXPECT_EQ(box->Count(), 2);
        EXPECT_FALSE(editor.Cancelled);
        EXPECT_EQ(editor.login, "alice");
        EXPECT_EQ(editor.definedWebsites.Count(), 1);
    }
}

TEST_F(UserEditor, LocksThatDoNotStopTheEditor) {
    struct Row {
        const char* lockedOn;
        bool disableFileLocking;
        int questions;
    } rows[] = {
        {"WS01", false, 0},  // this computer
        {"ws01", false, 1},  // letter case counts
        {"WS02", true, 0},   // locks switched off
    };
    AddUser("alice");
    for (const auto& row : rows) {
        LockUser(1, row.lockedOn);
        gDisableFileLocking = row.disableFileLocking;
        auto box = ScriptedMsgBox::Install();
        box->SetDefaultAnswer(kMsgCancel);
        M editor = Open("alice");
        EXPECT_EQ(box->Count(), row.questions) << row.lockedOn;
        EXPECT_EQ(editor.Cancelled, row.questions > 0) << row.lockedOn;
    }
}

TEST_F(UserEditor, LevelsWithoutAnOptionAreKept) {
    struct Row {
        std::int32_t stored;
        int shown;
        int choice;  // -1: leave the options alone
        std::int32_t saved;
        std::int16_t administrator;
    } rows[] = {
        {2, -1, -1, 2, 0}, {3, -1, -1, 3, 0}, {3, -1, 1, 1, 0}, {1, 1, 0, 0, -1}, {0, 0, 1, 1, 0}, {0, 0, -1, 0, -1},
    };
    for (const auto& row : rows) {
        std::filesystem::remove(UsersPath());
        AddUser("carol", row.stored);
        M editor = Open("carol");
        EXPECT_EQ(editor.access, row.shown) << row.stored;
        if (row.choice >= 0) editor.access = row.choice;
        editor.OK();
        User saved;
        ASSERT_TRUE(saved.Load("carol"));
        EXPECT_EQ(saved.AccessLevel(), row.saved) << row.stored << " " << row.choice;
        EXPECT_EQ(saved.IsAdministrator(), row.administrator) << row.stored << " " << row.choice;
    }
}

TEST_F(UserEditor, TextsAreTrimmedExceptTheDescription) {
    AddUser("dave");
    M editor = Open("dave");
    editor.SetLoginText("  dave2 ");
    editor.name = " Dave Two  ";
    editor.description = "  indented  ";
    editor.homePage = " http://d.example/ ";
    editor.displayMessage = "  hello  ";
    editor.OK();
    User saved;
    ASSERT_TRUE(saved.Load("dave2"));
    EXPECT_EQ(saved.Login(), "dave2");
    EXPECT_EQ(saved.Name(), "Dave Two");
    EXPECT_EQ(saved.HomePage(), "http://d.example/");
    EXPECT_EQ(saved.DisplayMessage(), "hello");
    EXPECT_EQ(editor.UserLogin, "dave2");
    const std::string bytes = ReadFile(UsersPath());
    EXPECT_EQ(bytes.substr(70, 12), "  indented  ") << "the description keeps its blanks";
}

TEST_F(UserEditor, ShowingAUserWithADirtyMarkingOptionOnSetsIsDirty) {
    struct Row {
        void (User::*set)(std::int16_t);
        bool dirty;
    } rows[] = {
        {&User::SetEnableInternetAccess, true},  {&User::SetEnforceWebsites, true},
        {&User::SetLockAddressBar, true},        {&User::SetStartProgramsAfterLogin, true},
        {&User::SetAllowNewInternetWindows, false}, {&User::SetDisplayMessageAfterLogin, false},
        {&User::SetDisabled, false},             {&User::SetPasswordCannotChange, false},
    };
    for (const auto& row : rows) {
        std::filesystem::remove(UsersPath());
        User u;
        u.SetLogin("erin");
        (u.*row.set)(kFlagTrue);
        u.AddNew();
        M editor = Open("erin");
        EXPECT_EQ(editor.IsDirty, row.dirty);
    }
    M editor = Open("erin");
    editor.SetCheck(M::kAllowNewWindows, true);
    editor.SetCheck(M::kDisplayMessageAfterLogin, true);
    editor.access = 0;
    editor.name = "typed";
    EXPECT_FALSE(editor.IsDirty) << "typing, the other boxes and the options leave it clean";
}

TEST_F(UserEditor, TheInternetBoxSwitchesTheWebsiteControls) {
    AddUser("fay");
    M editor = Open("fay");  // no websites at all: both lists empty
    EXPECT_FALSE(editor.checks[M::kEnableInternetAccess]);
    EXPECT_FALSE(editor.internetControlsEnabled);
    EXPECT_FALSE(editor.addWebsiteEnabled || editor.removeWebsiteEnabled);
    EXPECT_FALSE(editor.definedWebsites.enabled || editor.selectedWebsites.enabled);
    EXPECT_FALSE(editor.selectedWebsites.windowColour);

    editor.SetCheck(M::kEnableInternetAccess, true);
    EXPECT_TRUE(editor.internetControlsEnabled);
    EXPECT_TRUE(editor.addWebsiteEnabled && editor.removeWebsiteEnabled) << "both, even with empty lists";
    EXPECT_TRUE(editor.definedWebsites.enabled && editor.selectedWebsites.windowColour);
    EXPECT_TRUE(editor.IsDirty);
    EXPECT_TRUE(editor.addProgramEnabled == false) << "program buttons follow their lists only";

    editor.SetCheck(M::kEnableInternetAccess, false);
    EXPECT_FALSE(editor.internetControlsEnabled || editor.addWebsiteEnabled || editor.removeWebsiteEnabled);
}

TEST_F(UserEditor, TheMessageBoxFollowsItsCheckBox) {
    AddUser("gil");
    M editor = Open("gil");
    EXPECT_FALSE(editor.displayMessageEnabled);
    editor.SetCheck(M::kDisplayMessageAfterLogin, true);
    EXPECT_TRUE(editor.displayMessageEnabled && editor.displayMessageWindowColour);
    EXPECT_EQ(editor.focusRequest, M::Focus::DisplayMessage);
    editor.SetCheck(M::kDisplayMessageAfterLogin, false);
    EXPECT_FALSE(editor.displayMessageEnabled || editor.displayMessageWindowColour);
}

TEST_F(UserEditor, ARefusedLoginKeepsTheEditorOpenAndCancelWritesNothing) {
    struct Row {
        const char* typed;
        int message;
        int buttons;
    } rows[] = {
        {"BOB", 440, 48}, {" bob ", 440, 48}, {"Anonymous", 440, 48}, {"anonymous", 440, 48}, {"   ", 452, 49},
    };
    AddUser("alice");
    AddUser("bob");
    const std::string before = ReadFile(UsersPath());
    for (const auto& row : rows) {
        auto box = ScriptedMsgBox::Install();
        box->SetDefaultAnswer(kMsgOk);
        M editor = Open("alice");
        editor.SetLoginText(row.typed);
        EXPECT_TRUE(editor.okEnabled) << "blanks count";
        editor.OK();
        ASSERT_EQ(box->Count(), 1) << row.typed;
        EXPECT_EQ(box->Last().prompt, Message(row.message));
        EXPECT_EQ(box->Last().buttons, row.buttons);
        EXPECT_FALSE(editor.hideRequested);
        EXPECT_EQ(editor.focusRequest, M::Focus::Login);
        editor.Cancel();
        EXPECT_TRUE(editor.Cancelled);
        EXPECT_TRUE(editor.IsDirty);
        EXPECT_EQ(ReadFile(UsersPath()), before);
    }
}

TEST_F(UserEditor, ALoginChangedOnlyInLetterCaseIsNotLookedUp) {
    AddUser("alice");
    auto box = ScriptedMsgBox::Install();
    M editor = Open("alice");
    editor.SetLoginText(" ALICE");
    editor.OK();
    EXPECT_EQ(box->Count(), 0);
    EXPECT_TRUE(editor.hideRequested);
    EXPECT_EQ(editor.UserLogin, "ALICE");
    editor.SetLoginText("");
    EXPECT_FALSE(editor.okEnabled);
}

TEST_F(UserEditor, AMissingUserGivesEmptyControlsAndNothingSaved) {
    AddUser("alice");
    M editor = Open("nobody");
    EXPECT_EQ(editor.login, "");
    EXPECT_FALSE(editor.okEnabled);
    EXPECT_EQ(editor.caption, Message(46));
    const std::string before = ReadFile(UsersPath());
    editor.SetLoginText("someone");
    editor.OK();
    EXPECT_EQ(ReadFile(UsersPath()), before);
    EXPECT_TRUE(editor.Cancelled);
}

TEST_F(UserEditor, AUserDeletedBeforeOkIsReportedOnceAndTheEditorClosesCancelled) {
    AddUser("alice");
    const std::int32_t site = AddWebsite("http://a.example/");
    AddLink<UserWebsite>("alice", "http://a.example/");
    M editor = Open("alice");
    (void)site;
    DeleteUser("alice");
    const std::string users = ReadFile(UsersPath());
    const std::string links = ReadFile(Path("userwebsites.sec"));
    editor.SetLoginText("alice2");
    editor.OK();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].place, "frmUserDetails.SaveData");
    EXPECT_NE(reports[0].error.Description().find("alice"), std::string::npos);
    EXPECT_TRUE(editor.Cancelled);
    EXPECT_TRUE(editor.hideRequested);
    EXPECT_EQ(editor.UserLogin, "alice");
    EXPECT_EQ(ReadFile(UsersPath()), users);
    EXPECT_EQ(ReadFile(Path("userwebsites.sec")), links);
}

TEST_F(UserEditor, ASaveTheHandlerLeavesKeepsTheEditorOpen) {
    AddUser("alice");
    M editor = Open("alice");
    // The user table becomes unusable between the check and the save.
    bool armed = true;
    editor.onBusy = [&](bool busy) {
        if (!busy || !armed) return;
        armed = false;
        std::filesystem::remove(UsersPath());
        std::filesystem::create_directory(UsersPath());
    };
    editor.OK();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front().place, "frmUserDetails.SaveData");
    EXPECT_FALSE(editor.hideRequested);
    EXPECT_FALSE(editor.Cancelled);
    EXPECT_TRUE(editor.IsDirty);
}

// A disk that fails while the record is written: "not saved" (the editor stays open, the
// failure reported) and the record as it was, read afresh by the next reader.
TEST_F(UserEditor, AFailingDiskLeavesTheOldRecordAndKeepsTheEditorOpen) {
    using corvane::test_support::FaultyRecordIo;
    for (const auto& fault : corvane::test_support::DiskFaults()) {
        SCOPED_TRACE(fault.what);
        std::filesystem::remove(UsersPath());
        AddUser("alice");
        M editor = Open("alice");
        const std::string before = ReadFile(UsersPath());
        reports.clear();
        editor.name = "A new name";
        editor.description = "A new description that fills more of the slot";
        FaultyRecordIo io;
        fault.arm(io);
        {
            corvane::test_support::RecordIoScope scope(io);
            EXPECT_EQ(editor.SaveData(), M::SaveResult::Failed);
        }
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reports.front().place, "frmUserDetails.SaveData");
        User fresh;
        ASSERT_TRUE(fresh.Load("alice"));
        EXPECT_EQ(fresh.Name(), "alice Name");
        EXPECT_EQ(ReadFile(UsersPath()), before);
        EXPECT_FALSE(std::filesystem::exists(UsersPath() + "-journal"));
    }
}

TEST_F(UserEditor, CaptionsAndColumnHeaders) {
    AddUser("alice");
    M editor = Open("alice");
    const auto caption = [&](const std::string& name) {
        for (const auto& [n, text] : editor.captions)
            if (n == name) return text;
        return std::string("<none>");
    };
    const std::pair<const char*, std::string> rows[] = {
        {"", Message(46)},
        {"cmdOK", "OK"},
        {"cmdAddProgram", Message(24) + " >"},
        {"cmdRemoveWebsite", "< " + Message(36)},
        {"tabDetails:3", Message(163)},
        {"lblUserLogin", Message(308) + ":"},
        {"optAccess1", Message(61)},
        {"chkEnforceWebsites", Message(688)},
        {"cmdBlankHomePage", Message(381)},
        {"chkDisplayMessageAfterLogin", "<none>"},
    };
    for (const auto& [name, text] : rows) EXPECT_EQ(caption(name), text) << name;
    EXPECT_EQ(editor.captions.size(), 33u);
    const std::pair<const AssignmentList*, int> headers[] = {{&editor.definedPrograms, 316},
                                                             {&editor.selectedPrograms, 317},
                                                             {&editor.definedWebsites, 316},
                                                             {&editor.selectedWebsites, 379}};
    for (const auto& [list, number] : headers) {
        EXPECT_TRUE(list->headerVisible);
        EXPECT_EQ(list->header, Message(number));
    }
}

TEST_F(UserEditor, TheMessageModes) {
    const std::pair<int, std::string> rows[] = {
        {0, Message(452)},
        {1, Message(440)},
        {2, Message(438, std::string("1 - 999"))},
        {3, Message(436, std::string("1 - 20"))},
        {4, Message(437, std::string("1 - 99"))},
        {5, "Are you sure you want to clear the failed logins counter?"},
        {6, Message(482, std::string("bob\\WS02=1/1/2026 9:00:00 AM"))},
        {7, ""},
    };
    for (const auto& [mode, text] : rows)
        EXPECT_EQ(M::MessageText(mode, "bob\\WS02=1/1/2026 9:00:00 AM"), text) << mode;
    EXPECT_EQ(M::MessageText(0, "ignored"), Message(452));
    EXPECT_NE(M::MessageText(2, "x").find("Password Expiry must be in the range of 1 - 999"), std::string::npos);
    auto box = ScriptedMsgBox::Install();
    box->Answer(kMsgRetry);
    M editor;
    EXPECT_EQ(editor.ShowMessage(1, 48), kMsgRetry);
    EXPECT_EQ(box->Last().title, Message(290));
}

}  // namespace
