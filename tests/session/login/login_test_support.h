#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "logs/current_user.h"
#include "logs/user_log.h"
#include "platform/core/clock.h"
#include "platform/core/error_trap.h"
#include "platform/crypto/encryption.h"
#include "platform/crypto/password_hash.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"
#include "platform/system/fake_workstation_switches.h"
#include "platform/system/workstation_switches.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"
#include "recordstore/user_group.h"
#include "recordstore/user_member.h"
#include "session/login/login_services.h"
#include "session/login/pass_phrase.h"
#include "session/rules/session_queries.h"
#include "support/own_registry.h"
#include "support/password_hash_check.h"

namespace corvane::testing {

using test_support::IsHashOf;

// One account as a test stores it; the password is given in plain text.
struct Account {
    std::string login = "ann";
    std::string password = "secret";
    bool admin = false;
    bool lockout = false;
    std::int32_t failed = 0;
    std::int16_t maxFailed = 0;
    bool locked = false;
    bool disabled = false;
    std::int16_t expiry = 0;
    DateTimeParts stamp{2024, 3, 1, 10, 0, 0};
    bool enforceGroups = false;
    bool changeNext = false;
    bool startPrograms = false;
    bool showMessage = false;
    std::string message;
    std::int16_t minLength = 0;
    std::string storedPassword;  // taken as stored when not empty (a damaged field)
    bool hashed = false;         // the password stored as this build writes it, not in the old form
};

struct LogEntry {
    std::string login;
    std::int16_t failed, active, invalid;
    bool operator==(const LogEntry&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const LogEntry& e) {
    return os << "{" << e.login << " f" << e.failed << " a" << e.active << " i" << e.invalid << "}";
}

struct ReportedError {
    std::string place;
    std::string description;
};

// A data folder, the registry and the program folder of their own, a fixed
// computer name and clock, every login setting off, and fake login services
// that record what the login asks of them.
class LoginTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        registry_.emplace(folder_, test_support::OwnRegistry::kAndProgramFolder);
        UseComputerName("WS-07");
        SetNow({2024, 5, 6, 7, 8, 9});
        SetProductInfo();
        ResetSettings();
        SetErrorHandler([this](const RaisedError& e, const std::string& place, int, int) {
            errors.push_back({place, e.Description()});
            return answer;
        });
        switches = std::make_shared<test_support::FakeWorkstationSwitches>();
        SetWorkstationSwitches(switches);
        LoginServices fakes;
        fakes.startUserPrograms = [this](const User& u) { programsStarted.push_back(u.Login()); };
        fakes.broadcast = [this](const std::string& m) { broadcasts.push_back(m); };
        fakes.isCapsLockOn = [this] { return capsLock; };
        fakes.lockdownOptionOn = [this](int option) {
            return (option == 18 && option18) || (option == 20 && option20);
        };
        fakes.readLastLogin = [this] { return lastLogin; };
        fakes.writeLastLogin = [this](const std::string& l) { lastLogin = l; };
        fakes.changePassword = [this](const std::string& l) {
            changeRequests.push_back(l);
            return changePassword ? changePassword(l) : false;
        };
        previousServices_ = SetLoginServices(fakes);
    }
    void TearDown() override {
        SetLoginServices(previousServices_);
        SetWorkstationSwitches(nullptr);
        SetErrorHandler(nullptr);
        ResetSettings();
        registry_.reset();
        DataFolderTest::TearDown();
    }

    static void ResetSettings() {
        gLanguage = 0;
        gEXEAppName = "Corvane Standard";
        gLoginCaption.clear();
        gDisableUserLogging = false;
        gShowInvalidLoginMessage = gBroadcastInvalidLogin = false;
        gInvalidLoginMessage.clear();
        gBroadcastInvalidLoginMessage.clear();
        gRememberLastLogin = gLoginAlwaysOnTop = gHideDesktopDuringLogin = false;
        gLockTaskManagerDuringLogin = gCannotCancelLogin = gClipMouseToLogin = false;
        gHideTaskBarDuringLogin = gShowCorvaneAtNextLogin = gRequireLogin = false;
        gShowLoginLogo = false;
        gLoginLogoPathName.clear();
        gAuthenticated = false;
        gAuthenticatedUser.clear();
        gAuthenticatedGroup.clear();
    }

    static void SetNow(const DateTimeParts& parts) { UseClock(*FromParts(parts)); }

    static std::string Encode(const std::string& plain) {
        return Encryption().EnCode(plain, kPasswordPassPhrase);
    }
    static std::string Decode(const std::string& stored) {
        return Encryption().DeCode(stored, kPasswordPassPhrase);
    }

    static void AddUser(const Account& a) {
        User u;
        u.SetLogin(a.login);
        u.SetName(a.login + " full name");
        u.SetPassword(!a.storedPassword.empty() ? a.storedPassword
                      : a.hashed                ? MakePasswordHash(a.password)
                                                : Encode(a.password));
        u.SetIsAdministrator(Flag(a.admin));
        u.SetLockout(Flag(a.lockout));
        u.SetFailedLogins(a.failed);
        u.SetMaxFailedLogins(a.maxFailed);
        u.SetLocked(Flag(a.locked));
        u.SetDisabled(Flag(a.disabled));
        u.SetPasswordExpiry(a.expiry);
        u.SetPasswordStamp(*FromParts(a.stamp));
        u.SetEnforceGroups(Flag(a.enforceGroups));
        u.SetPasswordChangeNextLogin(Flag(a.changeNext));
        u.SetStartProgramsAfterLogin(Flag(a.startPrograms));
        u.SetDisplayMessageAfterLogin(Flag(a.showMessage));
        u.SetDisplayMessage(a.message);
        u.SetPasswordLength(a.minLength);
        u.AddNew();
    }
    static std::unique_ptr<User> Stored(const std::string& login) {
        auto u = std::make_unique<User>();
        EXPECT_TRUE(u->Load(login)) << login;
        return u;
    }
    static void AddGroup(const std::string& name) {
        UserGroup g;
        g.SetName(name);
        g.AddNew();
    }
    static void AddMember(const std::string& group, const std::string& login) {
        UserMember m;
        m.SetGroup(group);
        m.SetUserLogin(login);
        m.AddNew();
    }
    static std::vector<LogEntry> UserLogEntries() {
        std::vector<LogEntry> entries;
        UserLog log;
        log.MoveFirst();
        while (!log.IsEOF()) {
            entries.push_back({log.UserLogin(), log.Failed(), log.Active(), log.Invalid()});
            log.MoveNext();
        }
        return entries;
    }

    std::vector<ReportedError> errors;
    int answer = kErrorLeave;
    std::shared_ptr<test_support::FakeWorkstationSwitches> switches;
    std::vector<std::string> programsStarted, broadcasts, changeRequests;
    std::optional<std::string> lastLogin;
    bool capsLock = false, option18 = false, option20 = false;
    std::function<bool(const std::string&)> changePassword;

private:
    LoginServices previousServices_;
    std::optional<test_support::OwnRegistry> registry_;
};

}  // namespace corvane::testing
