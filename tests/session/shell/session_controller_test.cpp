#include <gtest/gtest.h>

#include <algorithm>

#include "session/shell/security_session.h"
#include "session_test_support.h"

namespace corvane::testing {
namespace {

class SessionControllerTest : public SessionTest {
protected:
    FakeHost host{&log, &console};
    SecuritySession security;
    SessionController session{security, host};
};

TEST_F(SessionControllerTest, AnEmptyUserTableRunsTheWizardBeforeTheLogin) {
    logins = {"admin"};
    session.Form_Load();
    EXPECT_EQ(log, (std::vector<std::string>{"Wizard NoCancel Primary", "Login", "WatchOn", "Tip"}));
    EXPECT_TRUE(session.Authenticated());
    EXPECT_TRUE(session.Administrator());
    EXPECT_TRUE(session.AllowCorvane);
    EXPECT_TRUE(session.PasswordCannotChange);  // may change

    log.clear();
    session.Authenticate();  // accounts exist now: no wizard
    EXPECT_EQ(Count("Wizard NoCancel Primary"), 0u);
}

TEST_F(SessionControllerTest, WithoutRequiredLoginTheConsoleAndTipFollowTheStart) {
    gRequireLogin = false;
    gAlwaysShowSecureConsole = true;
    session.Form_Load();
    EXPECT_EQ(log, (std::vector<std::string>{"Console", "Tip"}));
    EXPECT_FALSE(session.Authenticated());
}

TEST_F(SessionControllerTest, ARemoteEndGivesOneMessageAndOneLogOffEvenWhenTheTickReenters) {
    AddAccount("ann", false);
    logins = {"ann"};
    session.Authenticate();
    const std::int32_t id = session.LogID();
    ASSERT_NE(id, 0);
    EndRecordRemotely(id);

    auto box = ScriptedMsgBox::Install();
    // The message box runs the event loop: the next ticks arrive inside it.
    int asked = 0;
    box->AnswerWith([&](const ScriptedMsgBox::Question&) {
        if (asked++ == 0) {
            session.tmrSession_Timer();
            session.tmrSession_Timer();
        }
        return kMsgOk;
    });
    log.clear();
    session.tmrSession_Timer();
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, "Session Terminated Remotely!");
    EXPECT_EQ(box->Last().buttons, kMsgExclamation);
    EXPECT_EQ(box->Last().title, "Corvane");
    EXPECT_EQ(log, (std::vector<std::string>{"WatchOff", "Notice", "Sleep 1000", "NoticeGone"}));
    EXPECT_FALSE(session.Authenticated());
    session.tmrSession_Timer();
    EXPECT_EQ(box->Count(), 1);

    // The next session of the run is watched again.
    logins = {"ann"};
    session.Authenticate();
    EXPECT_EQ(Count("WatchOn"), 1u);
    EndRecordRemotely(session.LogID());
    box->AnswerWith([](const ScriptedMsgBox::Question&) { return kMsgOk; });
    session.tmrSession_Timer();
    EXPECT_EQ(box->Count(), 2);
    EXPECT_FALSE(session.Authenticated());
}

TEST_F(SessionControllerTest, ARecordThatNamesAnotherAttemptIsLeftAlone) {
    AddAccount("ann", false);
    const struct {
        const char* what;
        const char* login;
        double stampShift;
        const char* computer = nullptr;  // nullptr: as written
    } rows[] = {
        {"another login", "bob", 0},
        {"another time", "ann", 0.5},
        // Logout knows its record by the same four values, so neither touches this one.
        {"another computer", "ann", 0, "WS-OTHER"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        logins = {"ann"};
        session.Authenticate();
        UserLog record;
        ASSERT_TRUE(record.Load(session.LogID()));
        record.SetUserLogin(row.login);
        record.SetLoginStamp(record.LoginStamp() + row.stampShift);
        if (row.computer) record.SetComputer(row.computer);
        record.SetActive(0);
        record.SaveChanges();
        record.CloseTable();
        auto box = ScriptedMsgBox::Install();
        session.tmrSession_Timer();
        EXPECT_EQ(box->Count(), 0);
        EXPECT_TRUE(session.Authenticated());
    }
}

TEST_F(SessionControllerTest, TheAfterLogoutActionFollowsTheLogOffButNeverTheUnload) {
    AddAccount("ann", false);
    const struct {
        const char* what;
        bool requireLogin;
        bool action;
        int logoutAction;
        int command;  // 1 Log Off, 7 Unload
        std::size_t loginsAfter;
        long shutdowns;
    } rows[] = {
        {"action 1", true, true, 1, 1, 1, 0},
        {"action 2", true, true, 2, 1, 0, 1},
        {"another action", true, true, 3, 1, 0, 0},
        {"action off", true, false, 1, 1, 0, 0},
        {"login not required", false, true, 1, 1, 0, 0},
        {"unload", true, true, 1, 7, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FakeHost rowHost(&log, &console);
        SecuritySession rowSecurity;
        SessionController rowSession(rowSecurity, rowHost);
        gRequireLogin = true;
        logins = {"ann", ""};
        rowSession.Form_Load();
        ASSERT_TRUE(rowSession.Authenticated());
        log.clear();
        switches->calls.clear();
        gRequireLogin = row.requireLogin;
        gActionAfterLogout = row.action;
        gLogoutAction = row.logoutAction;
        rowSession.Selected(row.command);
        if (row.command == 7) rowSession.Form_Unload();
        EXPECT_EQ(Count("Login"), row.loginsAfter);
        EXPECT_EQ(std::count(switches->calls.begin(), switches->calls.end(), "Shutdown"), row.shutdowns);
        EXPECT_FALSE(rowSession.Authenticated());
    }
}

TEST_F(SessionControllerTest, LogOffWithNobodyLoggedInClosesTheConsoleAndStillActs) {
    gActionAfterLogout = true;
    gLogoutAction = 1;
    AddAccount("ann", false);
    session.Form_Load();  // no login scripted: it is cancelled
    log.clear();
    console = true;
    session.LogOFF();
    EXPECT_EQ(log, (std::vector<std::string>{"UnloadConsole", "Login"}));
}

TEST_F(SessionControllerTest, CommandsNeedASessionAndMostAnAdministrator) {
    AddAccount("ann", false);
    AddAccount("boss", true, true);
    AddAccount("carl", false, true);
    const struct {
        const char* what;
        std::deque<std::string> logins;
        int command;
        std::vector<std::string> after;  // what follows the login attempt
    } rows[] = {
        {"Corvane after a cancelled login", {""}, 3, {}},
        {"Change Password after a cancelled login", {""}, 4, {}},
        {"Security after a cancelled login", {""}, 5, {}},
        {"Options after a cancelled login", {""}, 6, {}},
        {"Corvane for a user", {"ann"}, 3, {"WatchOn", "Tip"}},
        {"Security for a user", {"ann"}, 5, {"WatchOn", "Tip"}},
        {"Options for a user", {"ann"}, 6, {"WatchOn", "Tip"}},
        {"Change Password for a user", {"ann"}, 4,
         {"WatchOn", "Tip", "TrayOff", "ChangePassword ann", "TrayOn"}},
        {"Corvane for an administrator", {"boss"}, 3, {"WatchOn", "Tip", "Corvane"}},
        {"Security for an administrator", {"boss"}, 5, {"WatchOn", "Tip", "TrayOff", "Security", "TrayOn"}},
        {"Options for an administrator", {"boss"}, 6, {"WatchOn", "Tip", "TrayOff", "Options", "TrayOn"}},
        {"an administrator who may not change it himself", {"boss"}, 4,
         {"WatchOn", "Tip", "TrayOff", "ChangePassword boss", "TrayOn"}},
        {"Secure Console after a cancelled login", {""}, 2, {}},
        {"Secure Console after a login", {"ann"}, 2, {"WatchOn", "Tip", "Console"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FakeHost rowHost(&log, &console);
        SecuritySession rowSecurity;
        SessionController rowSession(rowSecurity, rowHost);
        auto box = ScriptedMsgBox::Install();
        log.clear();
        logins = row.logins;
        rowSession.Selected(row.command);
        std::vector<std::string> expected{"Login"};
        expected.insert(expected.end(), row.after.begin(), row.after.end());
        EXPECT_EQ(log, expected);
        EXPECT_EQ(box->Count(), 0);
    }
}

TEST_F(SessionControllerTest, AUserWhoMayNotChangeThePasswordIsRefused) {
    AddAccount("carl", false, true);
    logins = {"carl"};
    session.Authenticate();
    EXPECT_FALSE(session.PasswordCannotChange);
    auto box = ScriptedMsgBox::Install();
    log.clear();
    session.ChangePassword();
    EXPECT_TRUE(log.empty());
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, "Access denied. You do not have the required permission!");
    EXPECT_EQ(box->Last().title, "Corvane");
    EXPECT_EQ(box->Last().buttons, kMsgExclamation);
}

TEST_F(SessionControllerTest, TheUnloadLogsTheSessionOutWithoutNoticeOrAction) {
    AddAccount("ann", false);
    gActionAfterLogout = true;
    gLogoutAction = 1;
    logins = {"ann"};
    session.Form_Load();
    const std::int32_t id = session.LogID();
    log.clear();
    session.Selected(7);
    session.Form_Unload();
    EXPECT_EQ(log, (std::vector<std::string>{"UnloadMain", "TrayOff", "IconRemoved", "WatchOff"}));
    UserLog record;
    ASSERT_TRUE(record.Load(id));
    EXPECT_EQ(record.Active(), 0);
    EXPECT_NE(record.LogoutStamp(), 0);
    session.LogOFF();  // the form is gone: nothing more
    EXPECT_EQ(log.size(), 4u);
}

TEST_F(SessionControllerTest, WhereTheConsoleStandsInForTheIconItIsShownAfterEachStep) {
    host.consoleStandsIn = true;
    AddAccount("ann", false);
    logins = {""};
    session.Form_Load();
    EXPECT_EQ(log, (std::vector<std::string>{"Login", "Console"}));
    logins = {"ann"};
    log.clear();
    session.Authenticate();
    EXPECT_EQ(log, (std::vector<std::string>{"Login", "WatchOn", "Tip", "Console"}));
    log.clear();
    session.LogOFF();
    // The log-out closed the console with every other window; it comes back.
    EXPECT_EQ(log, (std::vector<std::string>{"Notice", "Sleep 1000", "NoticeGone", "Console"}));
}

}  // namespace
}  // namespace corvane::testing
