#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/user_permission.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "logs/current_user.h"
#include "platform/core/error_trap.h"
#include "platform/core/event_loop.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"
#include "recordstore/record_table.h"
#include "recordstore/user.h"
#include "recordstore/user_member.h"
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
    // Every link of a login in every link table: a membership, a permission, a website
    // and a program.
    static void LinkEverywhere(const std::string& login) {
        UserMember m;
        m.SetUserLogin(login);
        m.SetGroup("Staff");
        m.AddNew();
        UserPermission p;
        p.SetUserLogin(login);
        p.SetPermission("Print");
        p.AddNew();
        UserWebsite w;
        w.SetUserLogin(login);
        w.SetURL("http://example.com/" + login);
        w.AddNew();
        UserProgram g;
        g.SetUserLogin(login);
        g.SetProgram("/usr/bin/" + login);
        g.AddNew();
    }
    // How many links of the login each link table holds, in the order above.
    static std::vector<int> Links(const std::string& login) {
        UserMember m;
        UserPermission p;
        UserWebsite w;
        UserProgram g;
        return {m.LoadGroup(login) ? m.UserMembers()->Count() : 0,
                p.LoadPermissions(login) ? p.UserPermissions()->Count() : 0,
                w.LoadWebsites(login) ? w.UserWebsites()->Count() : 0,
                g.LoadPrograms(login) ? g.UserPrograms()->Count() : 0};
    }

    test_support::TempFolder folder_;
    ScriptedMsgBox::Guard box_ = ScriptedMsgBox::Install();
    std::vector<std::string> errors_;
};

}  // namespace corvane::test
