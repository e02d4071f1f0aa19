// What the waiting login window holds of the screen: the cover, the pointer
// and the keyboard, as its settings ask, through a fake window system.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>

#include "errors/error_log_file.h"
#include "login_test_support.h"
#include "session/login/frm_login.h"
#include "support/fake_screen_hold.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

using Calls = std::vector<std::string>;
using WindowId = ScreenHold::WindowId;

// Tells the fake window system of each window that leaves the screen, once
// the window has gone (as the X server ends the grabs on an unmapped window).
class UnmapNotice : public QObject {
public:
    explicit UnmapNotice(test::FakeScreenHold& hold) : hold_(hold) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(watched);
        if (window && event->type() == QEvent::Hide && window->handle())
            hold_.Unmapped(static_cast<WindowId>(window->winId()));
        return false;
    }

private:
    test::FakeScreenHold& hold_;
};

WindowId IdOf(QWidget& window) { return static_cast<WindowId>(window.windowHandle()->winId()); }

// Shows a modal dialog and, once it has the focus, runs `whileUp` and closes
// it: a message box or the password change over the login.
void RunModalDialog(const std::function<void(QDialog&)>& whileUp) {
    QDialog dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.resize(200, 100);
    QTimer poll;
    int tries = 0;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        const bool active = QGuiApplication::focusWindow() == dialog.windowHandle();
        if (!active && ++tries < 200) return;
        EXPECT_TRUE(active) << "the dialog never got the focus";
        whileUp(dialog);
        poll.stop();
        dialog.accept();
    });
    poll.start(5);
    dialog.exec();
}

class LoginHoldsTheScreen : public LoginTest {
protected:
    void SetUp() override {
        LoginTest::SetUp();
        hold = std::make_shared<test::FakeScreenHold>();
        scope_ = std::make_unique<test::ScreenHoldScope>(hold);
        unmaps_ = std::make_unique<UnmapNotice>(*hold);
        qApp->installEventFilter(unmaps_.get());
    }
    void TearDown() override {
        qApp->removeEventFilter(unmaps_.get());
        unmaps_.reset();
        scope_.reset();
        LoginTest::TearDown();
    }
    // Whether both grabs asked for sit on the window.
    void ExpectHeldOn(WindowId window, bool pointer, bool keyboard) const {
        EXPECT_EQ(hold->pointer, pointer);
        EXPECT_EQ(hold->keyboard, keyboard);
        if (pointer) {
            EXPECT_EQ(hold->pointerWindow, window);
        }
        if (keyboard) {
            EXPECT_EQ(hold->keyboardWindow, window);
        }
    }
    // OK with ann's login and the password.
    static void Attempt(frmLogin& w, const char* password) {
        w.findChild<QLineEdit*>("txtUserLogin")->setText("ann");
        w.findChild<QLineEdit*>("txtPassword")->setText(password);
        w.cmdOK_Click();
    }
    // A modal dialog over the login, which holds the screen while it is up.
    void DialogHolds(bool& shown) const {
        RunModalDialog([&](QDialog& dialog) {
            shown = true;
            ExpectHeldOn(IdOf(dialog), true, true);
            EXPECT_TRUE(hold->covered);
        });
    }
    bool NeverLetGo() const {
        return std::none_of(hold->calls.begin(), hold->calls.end(),
                            [](const std::string& c) { return c == "Ungrab" || c == "Dropped" || c == "Uncover"; });
    }
    static void ShowActive(QWidget& window) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QCoreApplication::processEvents();
    }
    // The error log's lines about the screen.
    static int HoldLines() {
        std::ifstream file(ErrorLogPath());
        const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        int lines = 0;
        for (std::size_t at = text.find("could not be held"); at != std::string::npos;
             at = text.find("could not be held", at + 1))
            ++lines;
        return lines;
    }

    std::shared_ptr<test::FakeScreenHold> hold;

private:
    std::unique_ptr<test::ScreenHoldScope> scope_;
    std::unique_ptr<UnmapNotice> unmaps_;
};

// Each setting takes its part while the login has the focus; a modal window
// opened over the login takes the grabs over, and they come back when it
// closes, without a moment when neither holds them; the cover stays.
TEST_F(LoginHoldsTheScreen, EachSettingTakesItsPartWhileTheWindowHasTheFocus) {
    struct Row {
        const char* name;
        bool* setting;
        Calls taken;
        Calls moved;  // when a modal window takes over, and again when it hands back
    } const rows[] = {
        {"Hide Desktop During Login", &gHideDesktopDuringLogin, {"Cover"}, {}},
        {"Hide TaskBar During Login", &gHideTaskBarDuringLogin, {"Cover"}, {}},
        {"Clip Mouse To Login", &gClipMouseToLogin, {"GrabPointer"}, {"GrabPointer"}},
        {"Lock Task Manager During Login", &gLockTaskManagerDuringLogin, {"GrabKeyboard"}, {"GrabKeyboard"}},
        {"Cannot Cancel Login", &gCannotCancelLogin, {"GrabKeyboard"}, {"GrabKeyboard"}},
        {"none", nullptr, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ResetSettings();
        if (row.setting) *row.setting = true;
        hold->calls.clear();
        {
            frmLogin w;
            EXPECT_TRUE(hold->calls.empty()) << "nothing is held before the window is on screen";
            ShowActive(w);
            EXPECT_EQ(hold->calls, row.taken);
            // The grab brings the pointer in; held grabs are not taken twice.
            QCursor::setPos(w.frameGeometry().center());
            w.tmrKeyCheck_Timer();
            EXPECT_EQ(hold->calls, row.taken);
            if (row.setting == &gClipMouseToLogin) {
                // A pointer found outside was let go of by someone: taken again,
                // without letting go first.
                QCursor::setPos(w.frameGeometry().bottomRight() + QPoint(50, 50));
                w.tmrKeyCheck_Timer();
                EXPECT_EQ(hold->calls, (Calls{"GrabPointer", "GrabPointer"}));
                QCursor::setPos(w.frameGeometry().center());
            }
            const bool pointer = hold->pointer, keyboard = hold->keyboard;

            hold->calls.clear();
            QDialog box;
            box.setWindowModality(Qt::ApplicationModal);
            ShowActive(box);
            EXPECT_EQ(hold->calls, row.moved) << "the box takes the grabs over";
            ExpectHeldOn(IdOf(box), pointer, keyboard);
            EXPECT_EQ(hold->covered, row.taken == Calls{"Cover"});
            hold->calls.clear();
            box.hide();
            EXPECT_EQ(hold->calls, row.moved) << "the login has them back before the box leaves";
            ExpectHeldOn(IdOf(w), pointer, keyboard);
            ShowActive(w);
            EXPECT_EQ(hold->calls, row.moved) << "nothing dropped, nothing taken twice";
            hold->calls.clear();
        }
        // The unload lets go of what was taken.
        Calls released;
        if (row.taken == Calls{"Cover"}) released = {"Uncover"};
        else if (!row.taken.empty()) released = {"Ungrab"};
        EXPECT_EQ(hold->calls, released);
    }
    EXPECT_EQ(HoldLines(), 0);
}

TEST_F(LoginHoldsTheScreen, ASuccessfulLoginOrACancelLetsGoAtOnce) {
    AddUser({});
    gHideDesktopDuringLogin = gClipMouseToLogin = gLockTaskManagerDuringLogin = true;
    frmLogin w;
    ShowActive(w);
    EXPECT_EQ(hold->calls, (Calls{"Cover", "GrabPointer", "GrabKeyboard"}));
    hold->calls.clear();
    w.findChild<QLineEdit*>("txtUserLogin")->setText("ann");
    w.findChild<QLineEdit*>("txtPassword")->setText("secret");
    w.cmdOK_Click();
    ASSERT_TRUE(w.Authenticated());
    EXPECT_EQ(hold->calls, (Calls{"Ungrab", "Uncover"}));
    EXPECT_FALSE(hold->covered || hold->pointer || hold->keyboard);

    frmLogin cancelled;
    ShowActive(cancelled);
    hold->calls.clear();
    cancelled.reject();
    EXPECT_EQ(hold->calls, (Calls{"Ungrab", "Uncover"}));
}

// A modal window the program opens over the login takes the grabs over; the
// cover stays. A window the login blocks (the console) gets nothing: the
// login takes the focus back.
TEST_F(LoginHoldsTheScreen, AWindowOpenedOverTheLoginHoldsTheScreenUntilItCloses) {
    gHideDesktopDuringLogin = gClipMouseToLogin = gCannotCancelLogin = true;
    QWidget console;
    console.show();
    frmLogin w;
    w.setWindowModality(Qt::ApplicationModal);
    ShowActive(w);
    QCursor::setPos(w.frameGeometry().center());
    hold->calls.clear();

    console.activateWindow();
    QCoreApplication::processEvents();
    EXPECT_TRUE(hold->calls.empty());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));

    QWidget box;
    box.setWindowModality(Qt::ApplicationModal);
    ShowActive(box);
    EXPECT_EQ(hold->calls, (Calls{"GrabPointer", "GrabKeyboard"}));
    ExpectHeldOn(IdOf(box), true, true);
    EXPECT_TRUE(hold->covered);
    box.hide();
    ExpectHeldOn(IdOf(w), true, true);
    ShowActive(w);
    EXPECT_EQ(hold->calls, (Calls{"GrabPointer", "GrabKeyboard", "GrabPointer", "GrabKeyboard"}));
    // Deleted while on screen, the box hands back as well.
    hold->calls.clear();
    auto* gone = new QWidget;
    gone->setWindowModality(Qt::ApplicationModal);
    ShowActive(*gone);
    delete gone;
    ExpectHeldOn(IdOf(w), true, true);
    EXPECT_TRUE(NeverLetGo()) << ::testing::PrintToString(hold->calls);
}

// The refusal of a wrong password is a message box over the login: the
// grabs are on the box while it is up, on the login again once it closed,
// and never let go between.
TEST_F(LoginHoldsTheScreen, AWrongPasswordsBoxHoldsTheScreenUntilItCloses) {
    AddUser({});
    gHideDesktopDuringLogin = gClipMouseToLogin = gLockTaskManagerDuringLogin = gCannotCancelLogin = true;
    frmLogin w;
    ShowActive(w);
    hold->calls.clear();
    auto box = ScriptedMsgBox::Install();
    bool shown = false;
    box->AnswerWith([&](const ScriptedMsgBox::Question&) {
        DialogHolds(shown);
        return kMsgOk;
    });
    Attempt(w, "wrong");
    EXPECT_TRUE(shown);
    EXPECT_FALSE(w.Authenticated());
    ExpectHeldOn(IdOf(w), true, true);
    EXPECT_TRUE(hold->covered);
    EXPECT_TRUE(NeverLetGo()) << ::testing::PrintToString(hold->calls);
}

// The forced password change hides the login: the grabs hold the whole
// screen until the dialog has the focus, then the dialog, then the whole
// screen again until the login ends and lets go of everything.
TEST_F(LoginHoldsTheScreen, TheForcedPasswordChangeHoldsTheScreenWhileTheLoginIsHidden) {
    Account account;
    account.changeNext = true;
    AddUser(account);
    gHideDesktopDuringLogin = gClipMouseToLogin = gLockTaskManagerDuringLogin = true;
    frmLogin w;
    ShowActive(w);
    hold->calls.clear();
    bool shown = false;
    changePassword = [&](const std::string&) {
        EXPECT_FALSE(w.isVisible());
        ExpectHeldOn(ScreenHold::kWholeScreen, true, true);
        DialogHolds(shown);
        ExpectHeldOn(ScreenHold::kWholeScreen, true, true);
        EXPECT_TRUE(NeverLetGo()) << ::testing::PrintToString(hold->calls);
        return false;
    };
    Attempt(w, "secret");
    EXPECT_TRUE(shown);
    EXPECT_TRUE(w.Authenticated());
    EXPECT_EQ(hold->calls.back(), "Uncover");
    EXPECT_FALSE(hold->covered || hold->pointer || hold->keyboard);
    EXPECT_EQ(std::count(hold->calls.begin(), hold->calls.end(), "Dropped"), 0);
}

// The group list's popup takes the grabs itself and lets go as it closes:
// the login takes them back at once, not at its next check.
TEST_F(LoginHoldsTheScreen, TheGroupListTakesTheGrabsBackAsItsPopupCloses) {
    AddGroup("pupils");
    gClipMouseToLogin = gCannotCancelLogin = true;
    frmLogin w;
    ShowActive(w);
    auto* groups = w.findChild<QComboBox*>("cboGroup");
    ASSERT_TRUE(groups->isVisible());
    hold->calls.clear();
    groups->showPopup();
    QCoreApplication::processEvents();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    groups->hidePopup();
    EXPECT_EQ(hold->calls, (Calls{"GrabPointer", "GrabKeyboard"}));
    ExpectHeldOn(IdOf(w), true, true);
}

// A refused take leaves the login working, is tried again, and the error log
// says it once per login; without a window system that can hold the screen
// (Wayland) likewise.
TEST_F(LoginHoldsTheScreen, ARefusalIsLoggedOncePerLoginAndTheLoginStillWorks) {
    AddUser({});
    gHideDesktopDuringLogin = gClipMouseToLogin = gCannotCancelLogin = true;
    hold->refused = {"GrabKeyboard", "Cover"};
    {
        frmLogin w;
        ShowActive(w);
        w.tmrKeyCheck_Timer();
        w.tmrKeyCheck_Timer();
        EXPECT_TRUE(hold->pointer);
        EXPECT_EQ(HoldLines(), 1);
        w.findChild<QLineEdit*>("txtUserLogin")->setText("ann");
        w.findChild<QLineEdit*>("txtPassword")->setText("secret");
        w.cmdOK_Click();
        EXPECT_TRUE(w.Authenticated());
    }
    { frmLogin next; ShowActive(next); }
    EXPECT_EQ(HoldLines(), 2);

    test::ScreenHoldScope wayland(nullptr);
    {
        frmLogin w;
        ShowActive(w);
        w.tmrKeyCheck_Timer();
        w.findChild<QLineEdit*>("txtUserLogin")->setText("ann");
        w.findChild<QLineEdit*>("txtPassword")->setText("secret");
        w.cmdOK_Click();
        EXPECT_TRUE(w.Authenticated());
    }
    EXPECT_EQ(HoldLines(), 3);
}

}  // namespace
}  // namespace corvane::testing
