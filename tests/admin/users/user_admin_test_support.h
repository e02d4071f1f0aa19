#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <string>
#include <vector>

#include "logs/current_user.h"
#include "platform/core/error_trap.h"
#include "platform/core/event_loop.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"
#include "recordstore/record_table.h"
#include "recordstore/user.h"
#include "support/temp_folder.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::test {

// A fresh data folder, a scripted message box, nobody logged in and the
// errors the central handler was asked about (it answers "leave").
class UserAdminTest : public ::testing::Test {
protected:
    void SetUp() override {
        gDataPath = folder_.Path();
        gUserFile.clear();
        gAuthenticatedUser.clear();
        gLanguage = 0;
        SetErrorHandler([this](const RaisedError& e, const std::string& place, int, int) {
            errors_.push_back(place + " " + std::to_string(e.Number() - vbObjectError));
            return kErrorLeave;
        });
    }
    void TearDown() override {
        SetErrorHandler(nullptr);
        SetYieldHook(nullptr);
        gAuthenticatedUser.clear();
        gDataPath.clear();
    }

    struct Account {
        std::string login;
        std::int32_t accessLevel = 1;
        bool administrator = false;
        bool disabled = false;
        bool locked = false;
        std::int32_t failedLogins = 0;
        std::string otherAccess;
    };
    static std::int32_t AddUser(const Account& a) {
        User u;
        u.SetLogin(a.login);
        u.SetAccessLevel(a.accessLevel);
        u.SetIsAdministrator(Flag(a.administrator));
        u.SetDisabled(Flag(a.disabled));
        u.SetLocked(Flag(a.locked));
        u.SetFailedLogins(a.failedLogins);
        u.SetOtherAccess(a.otherAccess);
        u.AddNew();
        return u.UserID();
    }
    static std::int32_t AddUser(const char* login) { return AddUser(Account{login}); }
    static std::int32_t UserCount() { return User().RecordCount(); }

    test_support::TempFolder folder_;
    ScriptedMsgBox::Guard box_ = ScriptedMsgBox::Install();
    std::vector<std::string> errors_;
};

}  // namespace corvane::test
