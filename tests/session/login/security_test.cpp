#include <gtest/gtest.h>

#include "login_test_support.h"
#include "platform/settings/settings_store.h"
#include "logs/log_writers.h"
#include "recordstore/user.h"
#include "session/login/security.h"

namespace corvane::testing {
namespace {

// Answers the login window with the given results, counting the calls.
class SecurityTest : public LoginTest {
protected:
    void SetUp() override {
        LoginTest::SetUp();
        previousOpener_ = SetLoginWindowOpener([this] {
            ++windowsShown;
            return next;
        });
        previousManagement_ = SetUserManagementOpener([this] { ++managementShown; });
    }
    void TearDown() override {
        SetLoginWindowOpener(previousOpener_);
        SetUserManagementOpener(previousManagement_);
        LoginTest::TearDown();
    }

    // A successful attempt of the login as the window records it.
    LoginWindowResult Success(const std::string& login, const std::string& group = "") {
        User account;
        const UserLogEntry entry = WriteUserLogEntry(login, account.Load(login) ? &account : nullptr, true);
        return {true, login, group, entry.logID, entry};
    }

    LoginWindowResult next;
    int windowsShown = 0;
    int managementShown = 0;

private:
    LoginWindowOpener previousOpener_;
    UserManagementOpener previousManagement_;
};

TEST_F(SecurityTest, LoginPublishesAndCancelEmptiesButKeepsLogID) {
    AddUser({});
    Security s;
    next = Success("Ann", "Lab");
    EXPECT_TRUE(s.Login());
    EXPECT_TRUE(gAuthenticated);
    EXPECT_TRUE(s.GlobalAuthenticated());
    EXPECT_EQ(gAuthenticatedUser, "Ann");
    EXPECT_EQ(s.GlobalAuthenticatedUser(), "Ann");
    EXPECT_EQ(s.GlobalAuthenticatedGroup(), "Lab");
    EXPECT_EQ(s.LogID(), 1);

    next = {};
    EXPECT_FALSE(s.Login());
    EXPECT_EQ(windowsShown, 2);
    EXPECT_FALSE(gAuthenticated);
    EXPECT_EQ(gAuthenticatedUser, "");
    EXPECT_EQ(gAuthenticatedGroup, "");
    EXPECT_EQ(s.GlobalAuthenticatedUser(), "Anonymous");
    EXPECT_EQ(s.LogID(), 1);
}

TEST_F(SecurityTest, UserManagementOpensOnlyForAnAdministratorsLogin) {
    AddUser({});
    AddUser({.login = "root", .admin = true});
    gShowCorvaneAtNextLogin = true;
    Security s;
    next = Success("ann");
    s.Login();
    next = {};
    s.Login();
    EXPECT_EQ(managementShown, 0);
    next = Success("ROOT");
    s.Login();
    EXPECT_EQ(managementShown, 1);
    EXPECT_EQ(s.GlobalAuthenticatedGroup(), "Administrators");
    gShowCorvaneAtNextLogin = false;
    s.Login();
    EXPECT_EQ(managementShown, 1);
}

TEST_F(SecurityTest, LogoutClosesTheSessionRecord) {
    AddUser({});
    SetNow({2024, 5, 6, 7, 0, 0});
    Security s;
    next = Success("ann");
    ASSERT_TRUE(s.Login());
    SetNow({2024, 5, 6, 9, 15, 0});
    s.Logout();
    UserLog log;
    ASSERT_TRUE(log.Load(1));
    EXPECT_EQ(log.Active(), 0);
    EXPECT_EQ(log.LogoutStamp(), *FromParts({2024, 5, 6, 9, 15, 0}));
    EXPECT_FALSE(s.GlobalAuthenticated());
    EXPECT_EQ(GetCurrentUser(), "Anonymous");
    EXPECT_EQ(s.LogID(), 0);
}

TEST_F(SecurityTest, LogoutClearsTheSessionWithoutARecordToClose) {
    AddUser({});
    const struct {
        const char* name;
        std::function<void()> between;  // what happens to the log during the session
    } cases[] = {
        {"logging disabled", [] {}},
        {"log cleared", [this] { std::filesystem::remove(Path("userlog.sec")); }},
        {"number reused by another attempt", [this] {
             std::filesystem::remove(Path("userlog.sec"));
             SetNow({2024, 5, 6, 8, 0, 0});
             WriteUserLog("ann", true);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(Path("userlog.sec"));
        gDisableUserLogging = std::string(c.name) == "logging disabled";
        SetNow({2024, 5, 6, 7, 0, 0});
        Security s;
        next = Success("ann", "Lab");
        ASSERT_TRUE(s.Login());
        c.between();
        const auto before = ReadFile(Path("userlog.sec"));
        s.Logout();
        EXPECT_EQ(ReadFile(Path("userlog.sec")), before);
        EXPECT_FALSE(s.Authenticated());
        EXPECT_EQ(s.AuthenticatedUser(), "");
        EXPECT_EQ(s.AuthenticatedGroup(), "");
        EXPECT_FALSE(gAuthenticated);
        EXPECT_EQ(gAuthenticatedUser, "");
        EXPECT_EQ(gAuthenticatedGroup, "");
        EXPECT_EQ(s.LogID(), 0);
    }
}

TEST_F(SecurityTest, SettingIsInForceAndSaved) {
    Security s;
    s.SetRequireLogin(true);
    s.SetLoginCaption("Front Desk");
    EXPECT_TRUE(gRequireLogin);
    EXPECT_TRUE(s.RequireLogin());
    EXPECT_EQ(GetMachineSetting("Global", "Require Login", ""), "True");
    EXPECT_EQ(GetMachineSetting("Global", "Login Caption", ""), "Front Desk");
    // Every global setting is saved with it.
    EXPECT_EQ(GetMachineSetting("Global", "Cannot Cancel Login", ""), "False");
}

TEST_F(SecurityTest, CountsAccountsAndActiveSessions) {
    AddUser({});
    AddUser({.login = "cy"});
    WriteUserLog("ann", true);
    WriteUserLog("cy", false);
    Security s;
    EXPECT_EQ(s.UserCount(), 2);
    EXPECT_EQ(s.ActiveUserCount(), 1);
    s.Broadcast("Server going down");
    EXPECT_EQ(broadcasts, std::vector<std::string>{"Server going down"});
}

}  // namespace
}  // namespace corvane::testing
