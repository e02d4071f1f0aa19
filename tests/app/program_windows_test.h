#pragma once

// Every window of the program over a small data folder: an administrator
// logged in, a pupil with a website, a program, a group, a user-log and a
// website-log row. Whatever a window asks while it loads is answered OK.

#include <gtest/gtest.h>

#include <utility>

#include "app/program_windows.h"
#include "browser/window/fake_control_widget.h"
#include "catalogue/program.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "catalogue/website.h"
#include "logs/current_user.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"
#include "recordstore/user_group.h"
#include "recordstore/user_member.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {

// Every window the launchers open by name.
inline const char* const kLaunchedWindows[] = {
    "frmChangePassword", "frmSetPassword", "frmWizard", "frmUserDetails", "frmCorvane", "frmAdvancedSecurity",
    "frmSecurity", "frmMainOptions", "frmPrograms", "frmWebsites", "frmWebBrowser", "frmSecureConsole", "frmTip",
    "frmUserLog", "frmWebsiteLog", "frmUserLogDetails", "frmWebsiteLogDetails", "frmAbout",
};

class ProgramWindowsTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        UseComputerName("WS01");
        RegisterProgramWindows();
        Seed();
        gAuthenticated = true;
        gAuthenticatedUser = "admin";
        gRequireLogin = true;
        box_->SetDefaultAnswer(kMsgOk);
    }
    void TearDown() override {
        gAuthenticated = false;
        gAuthenticatedUser.clear();
        gRequireLogin = false;
        DataFolderTest::TearDown();
    }

    static void Seed() {
        for (const auto& [login, level] : {std::pair{"admin", 0}, {"alice", 1}}) {
            User u;
            u.SetLogin(login);
            u.SetName(login);
            u.SetAccessLevel(level);
            u.SetIsAdministrator(level == 0 ? kFlagTrue : kFlagFalse);
            u.SetEnableInternetAccess(kFlagTrue);
            u.AddNew();
        }
        Website w;
        w.SetURL("http://intranet.example/");
        w.AddNew();
        Program p;
        p.SetProgramPathName("/bin/sh");
        p.AddNew();
        UserWebsite allowed;
        allowed.SetUserLogin("alice");
        allowed.SetURL("http://intranet.example/");
        allowed.AddNew();
        UserGroup group;
        group.SetName("Staff");
        group.AddNew();
        UserMember member;
        member.SetUserLogin("alice");
        member.SetGroup("Staff");
        member.AddNew();
        UserLog log;
        log.SetUserLogin("alice");
        log.SetComputer("WS01");
        log.AddNew();
        WebsiteLog visit;
        visit.SetUserLogin("alice");
        visit.SetURL("http://intranet.example/");
        visit.AddNew();
    }

    ScriptedMsgBox::Guard box_ = ScriptedMsgBox::Install();
    // The browser over a stand-in for the web engine's control: the engine does not start
    // headless, and the window's own menus, tool bar and buttons are what is checked.
    FakeControlScope browserControl_;
};

}  // namespace corvane::testing
