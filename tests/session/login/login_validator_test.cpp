#include <gtest/gtest.h>

#include <limits>

#include "login_test_support.h"
#include "messages/message_catalogue.h"
#include "platform/core/text.h"
#include "session/login/login_validator.h"
#include "session/login/password_change.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

constexpr std::int32_t kMaxCount = std::numeric_limits<std::int32_t>::max();

struct Attempt {
    std::string login = "ann";
    std::string password = "secret";
    std::string group;
    bool groupSelected = false;
    bool noGroups = true;
};

struct Expected {
    bool result = false;
    int message = 0;  // 0: no message box
    LoginFocus focus = LoginFocus::kNone;
    std::int32_t failed = 0;
    bool locked = false;
    std::vector<LogEntry> log;
    std::int32_t logID = 0;
    std::string user;
};

struct Row {
    const char* name;
    Account account;
    Attempt attempt;
    Expected expected;
    DateTimeParts now{2024, 5, 6, 7, 8, 9};
    bool withGroups = false;  // a group "Lab" exists, with member "ann" unless told
    bool annInLab = false;
    bool loggingOff = false;
};

const LogEntry kRefused{"ann", -1, 0, 0};
LogEntry Active(const std::string& login) { return {login, 0, -1, 0}; }

class ValidationTable : public LoginTest {};

TEST_F(ValidationTable, RulesInTheirOrder) {
    const Account admin{.admin = true, .lockout = true, .failed = 9, .maxFailed = 3,
                        .locked = true, .disabled = true, .expiry = 1, .enforceGroups = true};
    const std::vector<Row> rows = {
        {"empty login", {}, {.login = ""}, {.message = 439, .focus = LoginFocus::kLogin}},
        {"blank login", {}, {.login = "   "}, {.message = 439, .focus = LoginFocus::kLogin}},
        {"unknown login", {}, {.login = "bob"},
         {.message = 446, .focus = LoginFocus::kLogin, .log = {{"bob", 0, 0, -1}}, .logID = -1}},
        {"password in other case", {}, {.password = "SECRET"},
         {.message = 445, .focus = LoginFocus::kPassword, .failed = 1, .log = {kRefused}, .logID = 1}},
        {"one character more", {.failed = 2}, {.password = "secrets"},
         {.message = 445, .focus = LoginFocus::kPassword, .failed = 3, .log = {kRefused}, .logID = 1}},
        {"one character less", {}, {.password = "secre"},
         {.message = 445, .focus = LoginFocus::kPassword, .failed = 1, .log = {kRefused}, .logID = 1}},
        {"spaces around both", {.failed = 2}, {.login = " ANN ", .password = "  secret  "},
         {.result = true, .log = {Active("ANN")}, .logID = 1, .user = "ANN"}},
        {"empty stored password, empty typed", {.password = ""}, {.password = ""},
         {.result = true, .log = {Active("ann")}, .logID = 1, .user = "ann"}},
        {"empty stored password, one typed", {.password = ""}, {.password = "x"},
         {.message = 445, .focus = LoginFocus::kPassword, .failed = 1, .log = {kRefused}, .logID = 1}},
        {"count saturates", {.failed = kMaxCount}, {.password = "x"},
         {.message = 445, .focus = LoginFocus::kPassword, .failed = kMaxCount, .log = {kRefused}, .logID = 1}},
        {"count at the limit", {.lockout = true, .failed = 3, .maxFailed = 3}, {},
         {.result = true, .log = {Active("ann")}, .logID = 1, .user = "ann"}},
        {"count past the limit locks", {.lockout = true, .failed = 4, .maxFailed = 3}, {},
         {.message = 441, .focus = LoginFocus::kLogin, .locked = true, .log = {kRefused}, .logID = 1}},
        {"wrong password before lockout", {.lockout = true, .failed = 4, .maxFailed = 3, .locked = true},
         {.password = "x"},
         {.message = 445, .focus = LoginFocus::kPassword, .failed = 5, .locked = true, .log = {kRefused}, .logID = 1}},
        {"lockout off", {.failed = 40, .maxFailed = 3}, {},
         {.result = true, .log = {Active("ann")}, .logID = 1, .user = "ann"}},
        {"locked", {.failed = 1, .locked = true}, {},
         {.message = 442, .focus = LoginFocus::kLogin, .failed = 2, .locked = true, .log = {kRefused}, .logID = 1}},
        {"disabled", {.disabled = true}, {},
         {.message = 443, .focus = LoginFocus::kLogin, .failed = 1, .log = {kRefused}, .logID = 1}},
        {"expiry at the last second", {.expiry = 30}, {},
         {.result = true, .log = {Active("ann")}, .logID = 1, .user = "ann"}, {2024, 3, 31, 10, 0, 0}},
        {"expiry one second later", {.expiry = 30}, {},
         {.message = 444, .focus = LoginFocus::kLogin, .failed = 1, .locked = true, .log = {kRefused}, .logID = 1},
         {2024, 3, 31, 10, 0, 1}},
        {"no expiry", {.expiry = 0, .stamp = {1990, 1, 1}}, {},
         {.result = true, .log = {Active("ann")}, .logID = 1, .user = "ann"}},
        {"zero stamp expires at once", {.expiry = 1, .stamp = {1899, 12, 30}}, {},
         {.message = 444, .focus = LoginFocus::kLogin, .failed = 1, .locked = true, .log = {kRefused}, .logID = 1}},
        {"not in the chosen group", {.enforceGroups = true}, {.group = "Lab", .groupSelected = true, .noGroups = false},
         {.message = 447, .focus = LoginFocus::kGroup, .failed = 1, .log = {kRefused}, .logID = 1}, {2024, 5, 6}, true},
        {"member of the chosen group", {.enforceGroups = true}, {.group = " lab ", .groupSelected = true, .noGroups = false},
         {.result = true, .log = {Active("ann")}, .logID = 1, .user = "ann"}, {2024, 5, 6}, true, true},
        {"group rule off without groups", {.enforceGroups = true}, {},
         {.result = true, .log = {Active("ann")}, .logID = 1, .user = "ann"}},
        {"group rule not enforced", {}, {.group = "Lab", .groupSelected = true, .noGroups = false},
         {.result = true, .log = {Active("ann")}, .logID = 1, .user = "ann"}, {2024, 5, 6}, true},
        {"administrator past every account rule", admin, {.group = "Lab", .groupSelected = true, .noGroups = false},
         {.result = true, .failed = 0, .locked = true, .log = {Active("ann")}, .logID = 1, .user = "ann"},
         {2024, 5, 6}, true},
        {"administrator with a wrong password", admin, {.password = "Secret"},
         {.message = 445, .focus = LoginFocus::kPassword, .failed = 10, .locked = true, .log = {kRefused}, .logID = 1}},
        {"logging disabled", {}, {}, {.result = true, .logID = 0, .user = "ann"}, {2024, 5, 6}, false, false, true},
    };

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(Path("users.sec"));
        std::filesystem::remove(Path("userlog.sec"));
        std::filesystem::remove(Path("groups.sec"));
        std::filesystem::remove(Path("members.sec"));
        AddUser(row.account);
        if (row.withGroups) AddGroup("Lab");
        if (row.annInLab) AddMember("Lab", "ann");
        gDisableUserLogging = row.loggingOff;
        SetNow(row.now);
        auto box = ScriptedMsgBox::Install();

        LoginValidator v;
        v.LogID = 77;  // each attempt past the empty test overwrites it
        const LoginInput in{row.attempt.login, row.attempt.password, row.attempt.group,
                            row.attempt.groupSelected, row.attempt.noGroups, "Corvane Standard"};
        const bool result = v.ValidateLogin(in);

        const Expected& e = row.expected;
        EXPECT_EQ(result, e.result);
        if (e.message) {
            ASSERT_EQ(box->Count(), 1);
            EXPECT_EQ(box->Last().prompt, GetMessageText(e.message));
            EXPECT_EQ(box->Last().buttons, 48);
            EXPECT_EQ(box->Last().title, "Corvane");
        } else {
            EXPECT_EQ(box->Count(), 0);
        }
        EXPECT_EQ(v.Focus(), e.focus);
        EXPECT_EQ(v.ClearPassword(), e.focus == LoginFocus::kPassword);
        const auto stored = Stored(row.account.login);
        EXPECT_EQ(stored->FailedLogins(), e.failed);
        EXPECT_EQ(stored->Locked() != 0, e.locked);
        EXPECT_EQ(UserLogEntries(), e.log);
        EXPECT_EQ(v.LogID, in.login.find_first_not_of(' ') == std::string::npos ? 77 : e.logID);
        EXPECT_EQ(v.AuthenticatedUser, e.user);
        EXPECT_EQ(v.AuthenticatedGroup, e.result && row.attempt.groupSelected ? text::Trim(row.attempt.group) : "");
        EXPECT_TRUE(errors.empty());
    }
}

TEST_F(ValidationTable, LockoutThenLockedThenAnUnlockThatWorks) {
    AddUser({.lockout = true, .failed = 4, .maxFailed = 3});
    auto box = ScriptedMsgBox::Install();
    const LoginInput right{"ann", "secret", "", false, true, "Corvane Standard"};

    EXPECT_FALSE(LoginValidator().ValidateLogin(right));
    EXPECT_EQ(box->Last().prompt, GetMessageText(441));
    EXPECT_EQ(Stored("ann")->FailedLogins(), 0);

    EXPECT_FALSE(LoginValidator().ValidateLogin(right));
    EXPECT_EQ(box->Last().prompt, GetMessageText(442));
    EXPECT_EQ(Stored("ann")->FailedLogins(), 1);

    // The administrator clears the lock.
    auto u = Stored("ann");
    u->SetLocked(kFlagFalse);
    u->SaveChanges();
    LoginValidator v;
    EXPECT_TRUE(v.ValidateLogin(right));
    EXPECT_EQ(Stored("ann")->FailedLogins(), 0);
    EXPECT_EQ(UserLogEntries(), (std::vector<LogEntry>{kRefused, kRefused, Active("ann")}));
    EXPECT_EQ(v.LogID, 3);
}

TEST_F(ValidationTable, ExpiredPasswordLocksSoTheNextAttemptIsLocked) {
    AddUser({.expiry = 30});
    SetNow({2024, 3, 31, 10, 0, 1});
    auto box = ScriptedMsgBox::Install();
    const LoginInput right{"ann", "secret", "", false, true, ""};
    EXPECT_FALSE(LoginValidator().ValidateLogin(right));
    EXPECT_FALSE(LoginValidator().ValidateLogin(right));
    ASSERT_EQ(box->Count(), 2);
    EXPECT_EQ(box->Questions()[0].prompt, GetMessageText(444));
    EXPECT_EQ(box->Questions()[1].prompt, GetMessageText(442));
}

TEST_F(ValidationTable, StoredPasswordThatDoesNotDecodeIsRefusedThroughTheTrap) {
    for (int handlerAnswer : {kErrorLeave, kErrorResume}) {
        SCOPED_TRACE(handlerAnswer);
        std::filesystem::remove(Path("users.sec"));
        std::filesystem::remove(Path("userlog.sec"));
        AddUser({.storedPassword = "abc"});
        errors.clear();
        answer = handlerAnswer;
        auto box = ScriptedMsgBox::Install();
        LoginValidator v;
        EXPECT_FALSE(v.ValidateLogin({"ann", "", "", false, true, ""}));
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].place, "frmLogin.ValidateLogin");
        EXPECT_EQ(v.AuthenticatedUser, "");
        EXPECT_TRUE(UserLogEntries().empty());
    }
}

class AfterSuccess : public LoginTest {};

TEST_F(AfterSuccess, UnknownLoginNoticesInOrder) {
    AddUser({});
    gShowInvalidLoginMessage = true;
    gInvalidLoginMessage = "Intruder alert";
    gBroadcastInvalidLogin = true;
    SetNow({2024, 5, 6, 14, 5, 9});
    for (const std::string& extra : {std::string(), std::string("Call the desk")}) {
        SCOPED_TRACE(extra);
        gBroadcastInvalidLoginMessage = extra;
        broadcasts.clear();
        auto box = ScriptedMsgBox::Install();
        LoginValidator v;
        EXPECT_FALSE(v.ValidateLogin({" bob ", "pw", "", false, true, "Lab Login"}));
        ASSERT_EQ(box->Count(), 2);
        EXPECT_EQ(box->Questions()[0].prompt, GetMessageText(446));
        EXPECT_EQ(box->Questions()[1].prompt, "Intruder alert");
        EXPECT_EQ(box->Questions()[1].title, "Lab Login");
        EXPECT_EQ(box->Questions()[1].buttons, 48);
        const std::string notice = "Invalid Login by: bob at 5/6/2024 2:05:09 PM on Computer WS-07";
        ASSERT_EQ(broadcasts.size(), 1u);
        EXPECT_EQ(broadcasts[0], extra.empty() ? notice : notice + "\r\n" + extra);
        EXPECT_EQ(v.LogID, -1);
    }
    EXPECT_EQ(Stored("ann")->FailedLogins(), 0);
}

TEST_F(AfterSuccess, RemembersStartsProgramsAndShowsTheMessage) {
    AddUser({.startPrograms = true, .showMessage = true, .message = "  Welcome back  "});
    AddUser({.login = "cy", .showMessage = true, .message = "   "});
    gRememberLastLogin = true;
    auto box = ScriptedMsgBox::Install();

    EXPECT_FALSE(LoginValidator().ValidateLogin({"Ann", "wrong", "", false, true, ""}));
    EXPECT_FALSE(lastLogin.has_value());
    EXPECT_TRUE(programsStarted.empty());

    box->Clear();
    EXPECT_TRUE(LoginValidator().ValidateLogin({" Ann ", "secret", "", false, true, ""}));
    EXPECT_EQ(lastLogin, "Ann");
    EXPECT_EQ(programsStarted, std::vector<std::string>{"ann"});
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, "Welcome back");
    EXPECT_EQ(box->Last().buttons, 64);
    EXPECT_EQ(box->Last().title, "Corvane");

    box->Clear();
    EXPECT_TRUE(LoginValidator().ValidateLogin({"cy", "secret", "", false, true, ""}));
    EXPECT_EQ(box->Count(), 0);  // a blank message is not shown
}

class ForcedChange : public LoginTest {};

TEST_F(ForcedChange, CancelKeepsTheFlagAndStillLogsIn) {
    AddUser({.changeNext = true});
    auto box = ScriptedMsgBox::Install();
    LoginValidator v;
    int hides = 0;
    v.hideWindow = [&] {
        ++hides;
        EXPECT_TRUE(changeRequests.empty());
    };
    EXPECT_TRUE(v.ValidateLogin({"ANN", "secret", "", false, true, ""}));
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(changeRequests, std::vector<std::string>{"ANN"});
    EXPECT_NE(Stored("ann")->PasswordChangeNextLogin(), 0);
    EXPECT_EQ(UserLogEntries(), std::vector<LogEntry>{Active("ANN")});
}

TEST_F(ForcedChange, StoredPasswordClearsTheFlagAndKeepsTheNewPassword) {
    AddUser({.failed = 2, .changeNext = true});
    changePassword = [](const std::string& login) {
        PasswordChange change(PasswordChange::Kind::kChange, "frmChangePassword");
        change.UserLogin = login;
        change.LoadData();
        return change.ValidateData("secret", "fresh", "fresh") && change.SaveData("fresh");
    };
    auto box = ScriptedMsgBox::Install();
    EXPECT_TRUE(LoginValidator().ValidateLogin({"ann", "secret", "", false, true, ""}));
    const auto u = Stored("ann");
    EXPECT_EQ(u->PasswordChangeNextLogin(), 0);
    EXPECT_EQ(Decode(u->Password()), "fresh");
    EXPECT_EQ(u->FailedLogins(), 0);
}

TEST_F(ForcedChange, ErrorsAfterTheDialogAreSkipped) {
    AddUser({.changeNext = true, .startPrograms = true});
    gRememberLastLogin = true;
    changePassword = [](const std::string&) -> bool { throw RaisedError(vbObjectError + 4, "x", "y"); };
    LoginServices broken = CurrentLoginServices();
    broken.writeLastLogin = [](const std::string&) { throw RaisedError(vbObjectError + 4, "Registry", "z"); };
    LoginServicesScope scope(broken);
    auto box = ScriptedMsgBox::Install();
    LoginValidator v;
    EXPECT_TRUE(v.ValidateLogin({"ann", "secret", "", false, true, ""}));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(programsStarted, std::vector<std::string>{"ann"});
    EXPECT_EQ(v.AuthenticatedUser, "ann");
}

}  // namespace
}  // namespace corvane::testing
