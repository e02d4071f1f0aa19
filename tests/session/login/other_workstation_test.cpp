// A login held by its message box while another workstation changes the account or the log:
// what the other workstation did stays, and what the login books adds to it.
#include <gtest/gtest.h>

#include <functional>

#include "login_test_support.h"
#include "logs/log_writers.h"
#include "messages/message_catalogue.h"
#include "session/login/login_validator.h"
#include "session/login/security.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

const LoginInput kWrong{"ann", "guess", "", false, true, ""};
const LoginInput kRight{"ann", "secret", "", false, true, ""};

class OtherWorkstation : public LoginTest {
protected:
    // The first message box waits until meanwhile has run, as a person reading it would.
    void WhileTheBoxIsShown(std::function<void()> meanwhile) {
        box_->AnswerWith([this, meanwhile = std::move(meanwhile), done = false](const ScriptedMsgBox::Question&) mutable {
            if (!done) {
                done = true;
                meanwhile();
            }
            return kMsgOk;
        });
    }
    static void Edit(const std::function<void(User&)>& change) {
        auto account = Stored("ann");
        change(*account);
        account->SaveChanges();
    }

    ScriptedMsgBox::Guard box_ = ScriptedMsgBox::Install();
};

TEST_F(OtherWorkstation, AnAccountDeletedWhileTheRefusalIsShownStaysDeleted) {
    struct Case {
        const char* name;
        Account account;
        LoginInput attempt;
    };
    const Case cases[] = {
        {"wrong password", {}, kWrong},
        {"locked", {.locked = true}, kRight},
        {"expired, which locks", {.expiry = 1}, kRight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(Path("users.sec"));
        std::filesystem::remove(Path("userlog.sec"));
        AddUser(c.account);
        WhileTheBoxIsShown([] { User().Delete(1); });
        EXPECT_FALSE(LoginValidator().ValidateLogin(c.attempt));
        User user;
        EXPECT_FALSE(user.Load("ann"));
        EXPECT_EQ(user.RecordCount(), 0);
        // The attempt is one of an unknown login.
        EXPECT_EQ(UserLogEntries(), (std::vector<LogEntry>{{"ann", 0, 0, -1}}));
        EXPECT_TRUE(errors.empty());
    }
}

TEST_F(OtherWorkstation, AnAccountDeletedDuringTheForcedChangeIsNoLogin) {
    AddUser({.changeNext = true});
    changePassword = [](const std::string&) {
        User().Delete(1);
        return true;
    };
    LoginValidator v;
    EXPECT_FALSE(v.ValidateLogin(kRight));
    EXPECT_EQ(v.AuthenticatedUser, "");
    EXPECT_FALSE(User().Load("ann"));
    EXPECT_EQ(UserLogEntries(), (std::vector<LogEntry>{{"ann", 0, 0, -1}}));
    EXPECT_EQ(box_->Last().prompt, GetMessageText(446));
}

TEST_F(OtherWorkstation, AnAdministratorsEditMeanwhileIsKept) {
    AddUser({.failed = 1});
    WhileTheBoxIsShown([] {
        Edit([](User& u) {
            u.SetDisabled(kFlagTrue);
            u.SetIsAdministrator(kFlagTrue);
            u.SetDescription("edited elsewhere");
            u.SetPassword(Encode("changed"));
        });
    });
    EXPECT_FALSE(LoginValidator().ValidateLogin(kWrong));
    const auto ann = Stored("ann");
    EXPECT_EQ(ann->Disabled(), kFlagTrue);
    EXPECT_EQ(ann->IsAdministrator(), kFlagTrue);
    EXPECT_EQ(ann->Description(), "edited elsewhere");
    EXPECT_EQ(Decode(ann->Password()), "changed");
    EXPECT_EQ(ann->FailedLogins(), 2);
}

TEST_F(OtherWorkstation, FailedLoginsFromTwoWorkstationsAddUp) {
    AddUser({.failed = 5});
    WhileTheBoxIsShown([] {
        UseComputerName("WS-08");
        EXPECT_FALSE(LoginValidator().ValidateLogin(kWrong));
        UseComputerName("WS-07");
    });
    EXPECT_FALSE(LoginValidator().ValidateLogin(kWrong));
    EXPECT_EQ(Stored("ann")->FailedLogins(), 7);
}

TEST_F(OtherWorkstation, ALockoutSetMeanwhileIsNotCleared) {
    // Another workstation's right password past the allowed count locks the account out.
    AddUser({.lockout = true, .failed = 3, .maxFailed = 3});
    WhileTheBoxIsShown([] {
        Edit([](User& u) { u.SetFailedLogins(4); });
        UseComputerName("WS-08");
        EXPECT_FALSE(LoginValidator().ValidateLogin(kRight));
        UseComputerName("WS-07");
    });
    EXPECT_FALSE(LoginValidator().ValidateLogin(kWrong));
    const auto ann = Stored("ann");
    EXPECT_EQ(ann->Locked(), kFlagTrue);
    EXPECT_EQ(ann->FailedLogins(), 1);  // the lockout's fresh start, and this refusal
}

// The window hands over the session record it wrote; whatever stands at that LogID by the time
// the session takes it over or logs out is closed only when it is that record.
TEST_F(OtherWorkstation, LogoutClosesOnlyTheRecordTheLoginWrote) {
    AddUser({});
    AddUser({.login = "cy"});
    struct Case {
        const char* name;
        std::function<void()> beforeTakeOver;  // between the login's write and Security::Login
        std::function<void()> beforeLogout;
        bool closed;
    };
    const auto clearAndLogIn = [this](const char* computer, const char* login) {
        return [this, computer, login] {
            std::filesystem::resize_file(Path("userlog.sec"), 0);
            UseComputerName(computer);
            WriteUserLog(login, true);
            UseComputerName("WS-07");
        };
    };
    const Case cases[] = {
        {"untouched", [] {}, [] {}, true},
        {"cleared and taken by another login", clearAndLogIn("WS-08", "cy"), [] {}, false},
        {"cleared and taken by the same login elsewhere", clearAndLogIn("WS-08", "ann"), [] {}, false},
        {"cleared and taken before the logout", [] {}, clearAndLogIn("WS-08", "ann"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(Path("userlog.sec"));
        const auto previous = SetLoginWindowOpener([&] {
            LoginValidator v;
            EXPECT_TRUE(v.ValidateLogin(kRight));
            c.beforeTakeOver();
            return LoginWindowResult{true, v.AuthenticatedUser, "", v.LogID, v.SessionRecord};
        });
        Security s;
        ASSERT_TRUE(s.Login());
        EXPECT_EQ(s.LogID(), 1);
        c.beforeLogout();
        const std::string before = ReadFile(Path("userlog.sec"));
        SetNow({2024, 5, 6, 9, 0, 0});
        s.Logout();
        SetNow({2024, 5, 6, 7, 8, 9});
        UserLog log;
        ASSERT_TRUE(log.Load(1));
        EXPECT_EQ(log.Active(), c.closed ? 0 : -1);
        if (!c.closed) {
            EXPECT_EQ(ReadFile(Path("userlog.sec")), before);
        }
        SetLoginWindowOpener(previous);
    }
}

}  // namespace
}  // namespace corvane::testing
