// What the waiting login window holds of the screen: the cover, the pointer
// and the keyboard, as its settings ask, through a fake window system.
#include <gtest/gtest.h>

#include <QCursor>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <iterator>

#include "errors/error_log_file.h"
#include "login_test_support.h"
#include "session/login/frm_login.h"
#include "support/fake_screen_hold.h"

namespace corvane::testing {
namespace {

using Calls = std::vector<std::string>;

class LoginHoldsTheScreen : public LoginTest {
protected:
    void SetUp() override {
        LoginTest::SetUp();
        hold = std::make_shared<test::FakeScreenHold>();
        scope_ = std::make_unique<test::ScreenHoldScope>(hold);
    }
    void TearDown() override {
        scope_.reset();
        LoginTest::TearDown();
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
};

TEST_F(LoginHoldsTheScreen, EachSettingTakesItsPartWhileTheWindowHasTheFocus) {
    struct Row {
        const char* name;
        bool* setting;
        Calls taken;
    } const rows[] = {
        {"Hide Desktop During Login", &gHideDesktopDuringLogin, {"Cover"}},
        {"Hide TaskBar During Login", &gHideTaskBarDuringLogin, {"Cover"}},
        {"Clip Mouse To Login", &gClipMouseToLogin, {"GrabPointer"}},
        {"Lock Task Manager During Login", &gLockTaskManagerDuringLogin, {"GrabKeyboard"}},
        {"Cannot Cancel Login", &gCannotCancelLogin, {"GrabKeyboard"}},
        {"none", nullptr, {}},
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
                // A pointer found outside was let go of by someone: taken again.
                QCursor::setPos(w.frameGeometry().bottomRight() + QPoint(50, 50));
                w.tmrKeyCheck_Timer();
                EXPECT_EQ(hold->calls, (Calls{"GrabPointer", "Ungrab", "GrabPointer"}));
            }
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

// A modal window the program opens over the login (a message box, the forced
// password change) gets the pointer and the keyboard; the cover stays, and the
// grabs come back with the focus. A window the login blocks (the console)
// gets nothing: the login takes the focus back.
TEST_F(LoginHoldsTheScreen, AWindowOpenedOverTheLoginGetsTheInputUntilTheLoginHasTheFocusAgain) {
    gHideDesktopDuringLogin = gClipMouseToLogin = gCannotCancelLogin = true;
    QWidget console;
    console.show();
    frmLogin w;
    w.setWindowModality(Qt::ApplicationModal);
    ShowActive(w);
    hold->calls.clear();

    console.activateWindow();
    QCoreApplication::processEvents();
    EXPECT_TRUE(hold->calls.empty());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));

    QWidget box;
    box.setWindowModality(Qt::ApplicationModal);
    ShowActive(box);
    EXPECT_EQ(hold->calls, Calls{"Ungrab"});
    EXPECT_TRUE(hold->covered);
    box.hide();
    ShowActive(w);
    EXPECT_EQ(hold->calls, (Calls{"Ungrab", "GrabPointer", "GrabKeyboard"}));
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
