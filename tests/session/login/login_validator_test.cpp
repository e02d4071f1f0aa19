#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <limits>
#include <map>

#include "login_test_support.h"
#include "messages/message_catalogue.h"
#include "errors/error_log_file.h"
#include "platform/core/text.h"
#include "recordstore/data_paths.h"
#include "session/login/account_table_check.h"
#include "session/login/login_validator.h"
#include "session/login/password_change.h"
#include "support/faulty_record_io.h"
#include "support/pass_through_record_io.h"
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

    // Every rule the same whether the password is stored hashed or in the old
    // form; a successful login leaves it hashed, a refused one as it was.
    for (const bool hashed : {false, true})
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + (hashed ? ", hashed" : ", old form"));
        std::filesystem::remove(Path("users.sec"));
        std::filesystem::remove(Path("userlog.sec"));
        std::filesystem::remove(Path("groups.sec"));
        std::filesystem::remove(Path("members.sec"));
        Account account = row.account;
        account.hashed = hashed;
        AddUser(account);
        const std::string formBefore = Stored(row.account.login)->Password();
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
        if (e.result) {
            EXPECT_TRUE(IsHashOf(stored->Password(), text::Trim(row.attempt.password)));
        } else {
            EXPECT_EQ(stored->Password(), formBefore);
        }
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

// A table gone after set-up (its folder renamed while the program runs)
// refuses every attempt, whatever is typed and before any other rule: its
// message each time, the error log once, and no first run.
TEST_F(ValidationTable, AnAccountTableGoneAfterSetUpRefusesEveryAttempt) {
    AddUser({});
    ForgetSeenSetUps();
    ASSERT_EQ(CheckAccountTable().state, AccountTableState::kHoldsAccounts);
    std::filesystem::remove(GetUserPathName());
    auto box = ScriptedMsgBox::Install();
    LoginValidator v;
    for (const LoginInput& input : {LoginInput{"ann", "secret", "", false, true, ""},
                                    LoginInput{"", "", "", false, true, ""}}) {
        EXPECT_FALSE(v.ValidateLogin(input));
        EXPECT_EQ(v.Focus(), LoginFocus::kLogin);
    }
    ASSERT_EQ(box->Count(), 2);
    for (const auto& question : box->Questions())
        EXPECT_EQ(question.prompt.rfind("The account table is missing or damaged: " + GetUserPathName() +
                                            " is missing.",
                                        0),
                  0u)
            << question.prompt;
    std::ifstream log(ErrorLogPath(), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
    std::size_t entries = 0;
    for (auto at = text.find("The account table is missing"); at != std::string::npos;
         at = text.find("The account table is missing", at + 1))
        ++entries;
    EXPECT_EQ(entries, 1u) << text;
    EXPECT_FALSE(OffersFirstAdministrator());
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(std::filesystem::exists(GetUserPathName()));
    ForgetSeenSetUps();
}

// A stored password that can match nothing never lets anyone in: through the
// trap whatever it answers, or as a wrong password when the damage still
// reads as a hash. The field stays as it was.
TEST_F(ValidationTable, DamagedStoredPasswordsAreRefused) {
    // "secret" hashed at the lowest cost under salt bytes 0..11.
    const std::string sound = "$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA";
    struct Damage {
        const char* name;
        std::string stored;
        bool reported;  // an error through the trap rather than message 445
    };
    const Damage damages[] = {
        {"old form too short to decode", "abc", true},
        {"hash marker only", "$s$", true},
        {"hash cut short", sound.substr(0, 40), true},
        {"hash cost out of bounds", "$s$30.8.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA", true},
        {"hash cost just above twice the default", "$s$15.8.2$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA", true},
        {"hash cost of seconds a check", "$s$20.32.8$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA", true},
        {"hash with a character of the old form", "$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7F\xC3\xBF", true},
        {"hash with one bit off", "$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FdA", false},
    };
    ASSERT_TRUE(IsHashOf(sound, "secret"));
    for (const Damage& damage : damages)
    for (const int handlerAnswer : {kErrorLeave, kErrorResume})
    for (const char* typed : {"secret", ""}) {
        SCOPED_TRACE(std::string(damage.name) + ", answer " + std::to_string(handlerAnswer) + ", typed \"" + typed + "\"");
        std::filesystem::remove(Path("users.sec"));
        std::filesystem::remove(Path("userlog.sec"));
        AddUser({.storedPassword = damage.stored});
        errors.clear();
        answer = handlerAnswer;
        auto box = ScriptedMsgBox::Install();
        LoginValidator v;
        EXPECT_FALSE(v.ValidateLogin({"ann", typed, "", false, true, ""}));
        EXPECT_EQ(v.AuthenticatedUser, "");
        EXPECT_EQ(Stored("ann")->Password(), damage.stored);
        if (damage.reported) {
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_EQ(errors[0].place, "frmLogin.ValidateLogin");
            EXPECT_TRUE(UserLogEntries().empty());
        } else {
            EXPECT_TRUE(errors.empty());
            ASSERT_EQ(box->Count(), 1);
            EXPECT_EQ(box->Last().prompt, GetMessageText(445));
            EXPECT_EQ(UserLogEntries(), std::vector<LogEntry>{kRefused});
        }
    }
}

// Only the password field's bytes change on disk, and only once.
TEST_F(ValidationTable, OldFormIsRewrittenAsAHashInItsFieldAlone) {
    AddUser({.login = "bob"});
    AddUser({.startPrograms = true});
    const auto read = [this] {
        std::ifstream in(Path("users.sec"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = read();
    const RecordDescription& table = User::Table();
    const FieldSpec& field = table.fields[User::kPassword];
    const std::size_t start = table.slotLength + field.offset;  // ann is the second record

    auto box = ScriptedMsgBox::Install();
    ASSERT_TRUE(LoginValidator().ValidateLogin({"ann", "secret", "", false, true, ""}));
    const std::string after = read();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (i < start || i >= start + field.width) {
            ASSERT_EQ(after[i], before[i]) << "byte " << i;
        }
    }
    const std::string hash = Stored("ann")->Password();
    EXPECT_TRUE(IsHashOf(hash, "secret"));
    EXPECT_EQ(after.substr(start, field.width), hash + std::string(field.width - hash.size(), ' '));
    EXPECT_EQ(programsStarted, std::vector<std::string>{"ann"});  // the login went on
    EXPECT_EQ(Stored("ann")->FailedLogins(), 0);

    // Hashed now: the next login leaves the field alone; a wrong password is refused.
    ASSERT_TRUE(LoginValidator().ValidateLogin({"ann", "secret", "", false, true, ""}));
    EXPECT_EQ(read(), after);
    EXPECT_FALSE(LoginValidator().ValidateLogin({"ann", "Secret", "", false, true, ""}));
    EXPECT_EQ(Stored("ann")->Password(), hash);
    EXPECT_EQ(Stored("bob")->Password(), Encode("secret"));
    EXPECT_TRUE(errors.empty());
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
    EXPECT_TRUE(IsHashOf(u->Password(), "fresh"));
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

class Booking : public LoginTest {};

// The attempt is booked in place: no journal of users.sec is ever made for it. A disk that
// takes the booking but refuses its flush and every write after refuses the login, and the
// error says the booking may stand.
TEST_F(Booking, TheAttemptIsBookedInPlaceAndAFailedBookingRefuses) {
    using test_support::FaultyRecordIo;
    using test_support::RecordIoScope;
    AddUser({.failed = 1});
    auto box = ScriptedMsgBox::Install();
    const std::string journal = Path("users.sec") + "-journal";
    {
        FaultyRecordIo io;
        RecordIoScope scope(io);
        EXPECT_FALSE(LoginValidator().ValidateLogin({"ann", "wrong", "", false, true, ""}));
        EXPECT_FALSE(io.Opened().contains(journal));
    }
    EXPECT_EQ(Stored("ann")->FailedLogins(), 2);
    EXPECT_TRUE(errors.empty());

    FaultyRecordIo io;
    io.BreakAfterTableWrite(1, ENOSPC);
    LoginValidator v;
    {
        RecordIoScope scope(io);
        EXPECT_FALSE(v.ValidateLogin({"ann", "secret", "", false, true, ""}));
    }
    EXPECT_TRUE(v.AuthenticatedUser.empty());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].place, "frmLogin.WriteLoginStatus");
    EXPECT_NE(errors[0].description.find("the change may stand"), std::string::npos) << errors[0].description;
    EXPECT_FALSE(io.Opened().contains(journal));
    EXPECT_FALSE(std::filesystem::exists(journal));
}

// The writes made to users.sec, in order, numbered among every table write (as the faulty
// disk counts them).
class UsersWrites final : public test_support::PassThroughRecordIo {
public:
    struct Write {
        int n;  // among the table writes
        std::size_t bytes;
    };
    int Open(const char* path, int flags, mode_t mode) override {
        const int fd = Real().Open(path, flags, mode);
        const std::string name(path);
        if (fd >= 0) kinds_[fd] = name.ends_with("-journal") ? 0 : name.ends_with("/users.sec") ? 2 : 1;
        return fd;
    }
    int Close(int fd) override {
        kinds_.erase(fd);
        return Real().Close(fd);
    }
    ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
        if (kinds_[fd] != 0) ++tableWrites_;
        if (kinds_[fd] == 2) writes.push_back({tableWrites_, count});
        return Real().Pwrite(fd, buffer, count, offset);
    }
    std::vector<Write> writes;

private:
    std::map<int, int> kinds_;  // 0 a journal, 1 another table, 2 users.sec
    int tableWrites_ = 0;
};

// The booking that locks an account (a lockout, an expired password) cut after every byte of
// each of its writes (the rest refused, or the old bytes' write-back landing) and torn at
// every byte boundary of each, either side new: the account is left locked or still over its
// limit, and the next right password is refused and leaves it locked.
TEST_F(Booking, ALockingBookingCutOrTornAnywhereLeavesTheAccountLocked) {
    using test_support::FaultyRecordIo;
    using test_support::RecordIoScope;
    struct Case {
        const char* what;
        Account account;
        DateTimeParts now;
        int message;  // of the booking's own attempt
    };
    const DateTimeParts today{2024, 5, 6, 7, 8, 9};
    const Case cases[] = {
        {"a lockout, 4 refusals over 3", {.lockout = true, .failed = 4, .maxFailed = 3}, today, 441},
        {"a lockout, a count of four bytes", {.lockout = true, .failed = 0x01020304, .maxFailed = 3}, today, 441},
        {"an expired password", {.failed = 0x01020304, .expiry = 30}, {2024, 3, 31, 10, 0, 1}, 444},
    };
    const LoginInput right{"ann", "secret", "", false, true, ""};
    auto box = ScriptedMsgBox::Install();
    const auto fresh = [&](const Case& c) {
        std::filesystem::remove(Path("users.sec"));
        std::filesystem::remove(Path("userlog.sec"));
        AddUser(c.account);
        SetNow(c.now);
        errors.clear();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fresh(c);
        UsersWrites recording;
        {
            RecordIoScope scope(recording);
            EXPECT_FALSE(LoginValidator().ValidateLogin(right));
        }
        EXPECT_EQ(box->Last().prompt, GetMessageText(c.message));
        EXPECT_NE(Stored("ann")->Locked(), 0);
        ASSERT_FALSE(recording.writes.empty());

        struct Fault {
            std::string what;
            std::function<void(FaultyRecordIo&)> arm;
        };
        std::vector<Fault> faults;
        for (const UsersWrites::Write& w : recording.writes) {
            const std::string write = "users.sec write " + std::to_string(w.n) + " of " + std::to_string(w.bytes);
            for (std::size_t k = 0; k < w.bytes; ++k)
                for (const bool restLands : {false, true})
                    faults.push_back({write + " cut after " + std::to_string(k) + (restLands ? ", written back" : ""),
                                      [=](FaultyRecordIo& io) { io.CutTableWriteAfter(w.n, k, EIO, restLands); }});
            for (std::size_t b = 1; b < w.bytes; ++b)
                for (const bool newBefore : {true, false})
                    faults.push_back({write + " torn at " + std::to_string(b) + (newBefore ? ", new before" : ", new after"),
                                      [=](FaultyRecordIo& io) { io.TearTableWrite(w.n, b, newBefore, EIO); }});
        }
        for (const Fault& f : faults) {
            SCOPED_TRACE(f.what);
            fresh(c);
            {
                FaultyRecordIo io;
                f.arm(io);
                RecordIoScope scope(io);
                EXPECT_FALSE(LoginValidator().ValidateLogin(right));
            }
            const auto left = Stored("ann");
            EXPECT_TRUE(left->Locked() != 0 || left->FailedLogins() > left->MaxFailedLogins() || c.account.expiry)
                << "unlocked, count " << left->FailedLogins();
            LoginValidator next;
            EXPECT_FALSE(next.ValidateLogin(right));
            EXPECT_TRUE(next.AuthenticatedUser.empty());
            EXPECT_NE(Stored("ann")->Locked(), 0);
            EXPECT_FALSE(LoginValidator().ValidateLogin(right));
            EXPECT_EQ(box->Last().prompt, GetMessageText(442));
        }
    }
}

}  // namespace
}  // namespace corvane::testing
