// Opens every window of the program over a small data folder and fails on any
// control a user can press that nothing answers (tests/ui/dead_controls.h).

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QErrorMessage>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QRegularExpression>
#include <QToolButton>
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
#include "app/program_windows_test.h"
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
#include "ui/helpers/file_dialog.h"
#include "ui/helpers/print_job.h"
#include "ui/msgbox/frm_balloon.h"
#include "ui/msgbox/frm_enh_msg_box.h"
#include "ui/msgbox/frm_message.h"
#include "ui_core/msgbox/scripted_msgbox.h"

using namespace corvane;
using corvane::testing::kLaunchedWindows;

namespace {

// Controls that rightly have no handler of their own, each with the reason.
const std::map<std::string, std::string> kAllowed = {
    {"frmSecureConsole/mnuPopUpItem3", "Cancel only closes the pop-up menu, as choosing any item does"},
    {"frmUserLog/QAction \"Cancel\"", "Cancel only closes the pop-up menu, as choosing any item does"},
    {"frmErrorLog/mnuPopUpItem3", "Cancel only closes the pop-up menu, as choosing any item does"},
    {"frmMessage/cmdSend", "Send has no action: nothing in the program opens this window"},
};

class DeadControls : public corvane::testing::ProgramWindowsTest {
protected:
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
            // Walked once it is the modal window, however long it takes to get there.
            QTimer watch;
            QObject::connect(&watch, &QTimer::timeout, [&] {
                auto* box = qobject_cast<frmEnhMsgBox*>(QApplication::activeModalWidget());
                if (!box) return;
                watch.stop();
                checked_.insert(box->objectName().toStdString());
                for (const std::string& control : test::DeadControls(box, &walked_)) found_.push_back(control);
                box->close();
            });
            watch.start(5);
            MsgBoxRequest request;
            request.prompt = "Which?";
            request.buttons = buttons;
            PresentMsgBox(request);
            EXPECT_FALSE(watch.isActive()) << "the message box never became the modal window";
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

// Records every dialog of Qt's that shows, with the window whose control opened it, and ends
// it from its own loop. The print dialog's "..." is pressed first, so that the chooser it opens
// is seen too; any other modal window a press opened is closed.
class DialogRecorder : public QObject {
public:
    struct Seen {
        std::string opener, kind;
        bool own = true;
    };
    std::string opener;
    std::vector<Seen> seen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* w = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Show || !w || !w->isWindow()) return false;
        const QPointer<QWidget> shown(w);
        if (auto* chooser = qobject_cast<QFileDialog*>(w)) {
            seen.push_back({opener, "file chooser", IsOwnChooser(*chooser)});
        } else if (auto* print = qobject_cast<QPrintDialog*>(w)) {
            seen.push_back({opener, "print dialog"});
            QTimer::singleShot(0, print, [print] {
                auto* browse = print->findChild<QToolButton*>(QStringLiteral("fileBrowser"));
                if (browse && browse->isVisible() && browse->isEnabled()) QTest::mouseClick(browse, Qt::LeftButton);
                print->reject();
            });
            return false;
        } else if (qobject_cast<QPageSetupDialog*>(w)) {
            seen.push_back({opener, "page setup"});
        } else if (qobject_cast<QColorDialog*>(w) || qobject_cast<QFontDialog*>(w) || qobject_cast<QInputDialog*>(w) ||
                   qobject_cast<QMessageBox*>(w) || qobject_cast<QErrorMessage*>(w)) {
            seen.push_back({opener, w->metaObject()->className(), false});
        } else if (!w->isModal() && w->windowModality() == Qt::NonModal) {
            return false;
        }
        QTimer::singleShot(0, w, [shown] {
            if (auto* dialog = qobject_cast<QDialog*>(shown.data())) dialog->reject();
            else if (shown) shown->close();
        });
        return false;
    }

};

// Presses every control of a window whose name or text speaks of a file: browse, save,
// export, print, set-up, open, add.
void PressFileControls(QWidget* window) {
    static const QRegularExpression kFileWords(
        QStringLiteral("browse|\\.\\.\\.|save|export|print|setup|set up|open|add|pathname"),
        QRegularExpression::CaseInsensitiveOption);
    const auto speaks = [](const QObject* o, const QString& text) {
        return kFileWords.match(o->objectName()).hasMatch() || kFileWords.match(text).hasMatch();
    };
    std::vector<QPointer<QObject>> presses;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (speaks(button, button->text())) presses.emplace_back(button);
    for (QAction* action : window->findChildren<QAction*>())
        if (!action->menu() && !action->isSeparator() && speaks(action, action->text())) presses.emplace_back(action);
    for (const QPointer<QObject>& press : presses) {
        // A control off until some choice is made (Add under Restrict Run) is reached too.
        if (auto* button = qobject_cast<QAbstractButton*>(press.data())) {
            button->setEnabled(true);
            if (button->isEnabled()) button->click();
        }
        else if (auto* action = qobject_cast<QAction*>(press.data()); action && action->isEnabled())
            action->trigger();
        QTest::qWait(5);
    }
}

}  // namespace

// Every file dialog a person can reach is Corvane's read-only widget chooser: each window is
// opened, what speaks of a file is pressed with the real chooser and the real print dialog, and
// every dialog of Qt's that shows is recorded.
TEST_F(DeadControls, EveryFileDialogAPersonCanReachIsCorvanesReadOnlyChooser) {
    const auto keptPrint = SetPrintDialog(nullptr);
    const auto keptChooser = SetFileDialog(nullptr);
    DialogRecorder recorder;
    qApp->installEventFilter(&recorder);
    const auto Audit = [&](QWidget* window) {
        recorder.opener = window->objectName().toStdString();
        window->show();
        QTest::qWait(20);
        PressFileControls(window);
    };
    for (const char* name : kLaunchedWindows) {
        QPointer<QWidget> window = CreateWindow(QString::fromLatin1(name));
        SetInputs(window, {{"UserLogin", QStringLiteral("alice")}, {"LogID", 1}});
        Audit(window);
        delete window.data();
    }
    {
        frmProgramDetails details;
        details.SetKey("/bin/sh");
        Audit(&details);
    }
    {
        DataFolderTest::WriteFile(Path("errors.log"), "[5],Bad,Corvane,frmMain.Form_Load,12/9/2026 1:02:00 AM\r\n");
        frmErrorLog viewer;
        viewer.AppErrorLog = Path("errors.log");
        Audit(&viewer);
    }
    {
        frmErrorDebug debug;
        debug.SetErrorDetails("Error 5 [Bad]");
        Audit(&debug);
    }
    qApp->removeEventFilter(&recorder);
    SetPrintDialog(keptPrint);
    SetFileDialog(keptChooser);

    std::vector<std::string> foreign;
    std::set<std::string> openers;
    int choosers = 0;
    for (const DialogRecorder::Seen& s : recorder.seen) {
        if (!s.own) foreign.push_back(s.opener + ": " + s.kind);
        if (s.kind == "file chooser") ++choosers;
        openers.insert(s.opener + ": " + s.kind);
    }
    EXPECT_TRUE(foreign.empty()) << "dialogs that are not Corvane's read-only chooser:\n  "
                                 << ::testing::PrintToString(foreign);
    // What is known to open one was reached: the audit did press.
    for (const char* expected : {"frmUserLog: file chooser", "frmUserLog: print dialog", "frmWebsiteLog: file chooser",
                                 "frmProgramDetails: file chooser", "frmAdvancedSecurity: file chooser",
                                 "frmErrorLog: print dialog"})
        EXPECT_TRUE(openers.count(expected)) << expected << " not seen in " << ::testing::PrintToString(openers);
    EXPECT_GE(choosers, 6);
}
