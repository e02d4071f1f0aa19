// Opens every window of the program over a small data folder and fails on any
// control a user can press that nothing answers (tests/ui/dead_controls.h).

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "admin/catalogue/websites_programs/frm_program_details.h"
#include "admin/catalogue/websites_programs/frm_website_details.h"
#include "admin/logs/viewers/frm_user_log_popup.h"
#include "admin/options/frm_directory.h"
#include "admin/options/frm_network_browse.h"
#include "admin/security/frm_lockdown_warning.h"
#include "admin/users/members/frm_members.h"
#include "app/frm_splash.h"
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
#include "session/launchers/placeholder_window.h"
#include "session/launchers/window_factories.h"
#include "session/login/frm_login.h"
#include "session/shell/frm_logout.h"
#include "session/shell/frm_main.h"
#include "session/shell/frm_popup_menu.h"
#include "session/shell/security_session.h"
#include "session/shell/shell_test_support.h"
#include "ui/dead_controls.h"
#include "ui/errors/frm_error_debug.h"
#include "ui/errors/frm_error_log.h"
#include "ui/errors/frm_error_log_details.h"
#include "ui/errors/frm_xp_error_dialog.h"
#include "ui/msgbox/frm_balloon.h"
#include "ui/msgbox/frm_enh_msg_box.h"
#include "ui/msgbox/frm_message.h"
#include "ui_core/msgbox/scripted_msgbox.h"

using namespace corvane;

namespace {

// Controls that rightly have no handler of their own, each with the reason.
const std::map<std::string, std::string> kAllowed = {
    {"frmSecureConsole/mnuPopUpItem3", "Cancel only closes the pop-up menu, as choosing any item does"},
    {"frmUserLog/QAction \"Cancel\"", "Cancel only closes the pop-up menu, as choosing any item does"},
    {"frmErrorLog/mnuPopUpItem3", "Cancel only closes the pop-up menu, as choosing any item does"},
    {"frmMessage/cmdSend", "Send has no action: nothing in the program opens this window"},
};

// Every window the launchers open by name.
const char* const kLaunchedWindows[] = {
    "frmChangePassword", "frmSetPassword", "frmWizard", "frmUserDetails", "frmCorvane", "frmAdvancedSecurity",
    "frmSecurity", "frmMainOptions", "frmPrograms", "frmWebsites", "frmWebBrowser", "frmSecureConsole", "frmTip",
    "frmUserLog", "frmWebsiteLog", "frmUserLogDetails", "frmWebsiteLogDetails", "frmAbout",
};

class DeadControls : public corvane::testing::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        UseComputerName("WS01");
        RegisterProgramWindows();
        Seed();
        gAuthenticated = true;
        gAuthenticatedUser = "admin";
        gRequireLogin = true;
        // Whatever a window asks while it loads is answered OK.
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

    // Shows the window as the program would, lets its first activation run,
    // then walks it. Modal windows are shown modeless: nothing waits on them.
    void Check(QWidget* window, const std::function<void(QWidget*)>& before = {}) {
        ASSERT_NE(window, nullptr);
        if (before) before(window);
        window->show();
        QTest::qWait(30);
        const std::string name = window->objectName().toStdString();
        checked_.insert(name);
        for (const std::string& control : test::DeadControls(window, &walked_)) found_.push_back(control);
        window->hide();
    }
    template <typename Window>
    void Check(const std::function<void(Window&)>& before = {}) {
        Window window;
        Check(&window, [&](QWidget*) {
            if (before) before(window);
        });
    }

    ScriptedMsgBox::Guard box_ = ScriptedMsgBox::Install();
    // The browser over a stand-in for the web engine's control: the engine does not start
    // headless, and the window's own menus, tool bar and buttons are what is walked.
    corvane::testing::FakeControlScope browserControl_;
    std::vector<std::string> found_;
    std::set<std::string> checked_;
    int walked_ = 0;
};

TEST_F(DeadControls, NoWindowHasAControlThatNothingAnswers) {
    for (const char* name : kLaunchedWindows) {
        QPointer<QWidget> window = CreateWindow(QString::fromLatin1(name));
        EXPECT_EQ(qobject_cast<frmPlaceholder*>(window.data()), nullptr) << name << " is still a placeholder";
        SetInputs(window, {{"UserLogin", QStringLiteral("alice")}, {"LogID", 1}});
        Check(window);
        delete window.data();
    }
    // A name no window is built for gets the placeholder.
    {
        std::unique_ptr<QWidget> placeholder(CreateWindow(QStringLiteral("frmNotBuilt")));
        Check(placeholder.get());
    }
    Check<frmLogin>();
    Check<frmMembers>([](frmMembers& w) { w.SetGroupName("Staff"); });
    Check<frmWebsiteDetails>([](frmWebsiteDetails& w) { w.SetKey("http://intranet.example/"); });
    Check<frmProgramDetails>([](frmProgramDetails& w) { w.SetKey("/bin/sh"); });
    Check<frmUserLogPopup>();
    Check<frmDirectory>([this](frmDirectory& w) { w.SetPath(QString::fromStdString(folder_)); });
    Check<frmNetworkBrowse>();
    Check<frmLockdownWarning>();
    Check<frmSplash>([](frmSplash& w) { w.tmrUnload()->stop(); });
    Check<frmPopupMenu>([](frmPopupMenu& w) {
        w.Load();
        w.SetAdministrator(true);
        w.SetAuthenticated(true);
        w.LoadUserOptions();
    });
    Check<frmLogout>();
    {
        std::vector<std::string> calls;
        frmMain main(MakeSecuritySession(), std::make_unique<corvane::testing::FakeTrayBackend>(&calls));
        Check(&main);
    }
    Check<frmMessage>();
    Check<frmBalloon>();
    Check<frmErrorDebug>([](frmErrorDebug& w) {
        w.EnableSendErrorReport = true;
        w.ErrorReportEmail = "help@corvane.example";
        w.SetErrorDetails("Error 5 [Bad]");
    });
    Check<frmXPErrorDialog>([](frmXPErrorDialog& w) {
        ErrorDialogRequest r;
        r.errorReportEmail = "help@corvane.example";
        r.errorMessage = "Bad";
        w.Apply(r);
    });
    {
        DataFolderTest::WriteFile(Path("errors.log"), "[5],Bad,Corvane,frmMain.Form_Load,12/9/2026 1:02:00 AM\r\n");
        frmErrorLog viewer;
        viewer.AppErrorLog = Path("errors.log");
        Check(&viewer);
        viewer.show();
        viewer.SetSelectedIndex(1);
        frmErrorLogDetails details(&viewer);
        Check(&details);
    }
    {
        // The message box with every button it can show.
        SetMsgBoxPresenter(std::make_shared<EnhMsgBoxPresenter>());
        for (const int buttons : {kMsgYesNoCancel + kMsgHelpButton, int{kMsgAbortRetryIgnore}}) {
            QTimer::singleShot(50, [this] {
                QWidget* box = QApplication::activeModalWidget();
                ASSERT_NE(qobject_cast<frmEnhMsgBox*>(box), nullptr);
                checked_.insert(box->objectName().toStdString());
                for (const std::string& control : test::DeadControls(box, &walked_)) found_.push_back(control);
                box->close();
            });
            MsgBoxRequest request;
            request.prompt = "Which?";
            request.buttons = buttons;
            PresentMsgBox(request);
        }
    }

    std::vector<std::string> dead;
    std::set<std::string> allowedSeen;
    for (const std::string& control : found_) {
        if (kAllowed.count(control)) allowedSeen.insert(control);
        else dead.push_back(control);
    }
    EXPECT_TRUE(dead.empty()) << "controls nothing answers:\n  " << ::testing::PrintToString(dead);
    for (const auto& [control, reason] : kAllowed)
        EXPECT_TRUE(allowedSeen.count(control)) << control << " is allowed but no window has it any more";
    // Every window above was opened under its own name, and its controls were seen.
    EXPECT_EQ(checked_.size(), 38u) << ::testing::PrintToString(checked_);
    EXPECT_GE(walked_, 300) << "controls walked";
}

}  // namespace
