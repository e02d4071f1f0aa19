#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>
#include <QTimer>

#include "support/accessible_names.h"
#include "login_test_support.h"
#include "messages/message_catalogue.h"
#include "platform/settings/settings_store.h"
#include "session/login/frm_login.h"
#include "session/login/frm_password_dialogs.h"
#include "session/login/security.h"
#include "support/append_in_flight.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/ui_test_support.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

using test::OnNextModal;

template <typename T = QWidget>
T* Find(QWidget* window, const char* name) {
    auto* w = window->findChild<T*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Shows the window and lets its first activation run.
void ShowAndSettle(QWidget& window) {
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    QCoreApplication::processEvents();
}

// Types each character as a key press carrying its text, as a keyboard
// layout with that character would.
void TypeText(QWidget* box, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(box, &press);
    }
}

std::string DisableTaskMgr() {
    return ReadRegistryValue(HKEY_CURRENT_USER, "software\\microsoft\\windows\\currentversion\\policies\\system",
                             "DisableTaskMgr", "missing");
}

class LoginWindow : public LoginTest {};

TEST_F(LoginWindow, HeightFollowsTheGroupsAndTheFirstGroupIsChosen) {
    for (bool groups : {false, true}) {
        SCOPED_TRACE(groups);
        if (groups) {
            AddGroup("Staff");
            AddGroup("Lab");
        }
        frmLogin w;
        ShowAndSettle(w);
        EXPECT_EQ(w.height(), ui::ToPixelsY(groups ? 4000 : 3500));
        EXPECT_EQ(Find(&w, "cboGroup")->isVisibleTo(&w), groups);
        EXPECT_EQ(Find(&w, "lblGroup")->isVisibleTo(&w), groups);
        if (groups) {
            auto* list = Find<QComboBox>(&w, "cboGroup");
            EXPECT_EQ(list->count(), 2);
            EXPECT_EQ(list->currentText(), "Staff");
        }
        auto* ok = Find(&w, "cmdOK");
        auto* cancel = Find(&w, "cmdCancel");
        EXPECT_EQ(cancel->y(), ok->y());
        EXPECT_NEAR(cancel->y() + cancel->height(), w.height() - ui::ToPixelsY(90), 1);
        EXPECT_NEAR(Find(&w, "imgCapsLock")->y(), ok->y() - ui::ToPixelsY(120), 1);
        EXPECT_EQ(Find(&w, "picBanner")->width(), w.width());
    }
}

// A group another workstation is appending is offered whole once the append ends; one cut
// short at the end of the file is not offered, as before.
TEST_F(LoginWindow, AGroupAppendedMeanwhileIsOfferedWholeAndATornOneNotAtAll) {
    AddGroup("Staff");
    const std::string lab = corvane::testing::RecordData<UserGroup>(Path("scratch.sec"), [](UserGroup& g) {
        g.SetName("Laboratory Group");
        g.SetDescription(std::string(200, 'l'));
    });
    const auto seen = corvane::testing::ReadWhileAppending(UserGroup::Table(), Path("groups.sec"), lab, [] {
        frmLogin w;
        ShowAndSettle(w);
        QStringList names;
        auto* list = Find<QComboBox>(&w, "cboGroup");
        for (int i = 0; i < list->count(); ++i) names << list->itemText(i);
        return names;
    });
    EXPECT_FALSE(seen.endedBeforeTheAppend);
    EXPECT_EQ(seen.result, (QStringList{"Staff", "Laboratory Group"}));

    corvane::testing::TearLastRecord(Path("groups.sec"), UserGroup::Table());
    frmLogin w;
    ShowAndSettle(w);
    EXPECT_EQ(Find<QComboBox>(&w, "cboGroup")->count(), 1);
}

TEST_F(LoginWindow, CaptionsAndBoxes) {
    gLoginCaption = "Front Desk";
    frmLogin w;
    ShowAndSettle(w);
    EXPECT_EQ(w.windowTitle(), "Front Desk");
    EXPECT_EQ(Find<QLabel>(&w, "lblUserLogin")->text(), "User Login:");
    EXPECT_EQ(Find<QLabel>(&w, "lblPassword")->text(), "Password:");
    EXPECT_EQ(Find<QLabel>(&w, "lblCaption")->text(), "Password Required");
    EXPECT_EQ(Find<QPushButton>(&w, "cmdOK")->text(), "OK");
    auto* login = Find<QLineEdit>(&w, "txtUserLogin");
    auto* password = Find<QLineEdit>(&w, "txtPassword");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    for (QLineEdit* box : {login, password}) {
        box->setFocus();
        TypeText(box, QString::fromUtf8("ab€✓cdefghijklmnopqrstuvwxyz"));
        EXPECT_EQ(box->text(), QString::fromUtf8("ab€cdefghijklmnopqrs"));
    }
    test::ExpectEveryBoxNamedByItsLabel(&w);
    test::ExpectMnemonicsReachTheirBoxes(&w);
    gLoginCaption.clear();
    frmLogin plain;
    EXPECT_EQ(plain.windowTitle(), "Application Security");
}

TEST_F(LoginWindow, LogoShownOnlyFromAnExistingFile) {
    QPixmap logo(40, 30);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(QString::fromStdString(Path("logo.png"))));
    const struct {
        bool show;
        std::string path;
        bool shown;
    } rows[] = {{true, Path("logo.png"), true}, {true, Path("missing.png"), false}, {false, Path("logo.png"), false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        gShowLoginLogo = row.show;
        gLoginLogoPathName = row.path;
        frmLogin w;
        ShowAndSettle(w);
        auto* picture = Find<QLabel>(&w, "imgLoginLogo");
        EXPECT_EQ(picture->isVisibleTo(&w), row.shown);
        if (row.shown) {
            EXPECT_TRUE(picture->hasScaledContents());
        }
    }
}

TEST_F(LoginWindow, CancelUnlessCannotCancel) {
    for (bool cannot : {false, true}) {
        SCOPED_TRACE(cannot);
        gCannotCancelLogin = cannot;
        frmLogin w;
        ShowAndSettle(w);
        EXPECT_EQ(Find(&w, "cmdCancel")->isEnabled(), !cannot);
        auto* password = Find<QLineEdit>(&w, "txtPassword");
        password->setFocus();
        QTest::keyClick(password, Qt::Key_Escape);
        EXPECT_EQ(w.isVisible(), cannot);
        EXPECT_FALSE(w.Authenticated());
    }
}

// The close box and Alt+F4 reach the window as a close event from the window system. On a
// login that cannot be cancelled it is refused like Esc: the window, and its lockdown, stay.
TEST_F(LoginWindow, TheWindowSystemsCloseIsACancel) {
    gHideTaskBarDuringLogin = true;
    for (const char* how : {"close box", "Alt+F4"}) {
        for (bool cannot : {false, true}) {
            SCOPED_TRACE(std::string(how) + (cannot ? ", cannot cancel" : ", may cancel"));
            gCannotCancelLogin = cannot;
            frmLogin w;
            ShowAndSettle(w);
            if (cannot) EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
            switches->calls.clear();
            QCloseEvent close;
            QSpontaneKeyEvent::setSpontaneous(&close);
            QCoreApplication::instance()->notify(&w, &close);
            QCoreApplication::processEvents();
            EXPECT_EQ(close.isAccepted(), !cannot);
            EXPECT_EQ(w.isVisible(), cannot);
            EXPECT_FALSE(w.Authenticated());
            EXPECT_TRUE(switches->calls.empty());  // the lockdown is lifted only by the unload
        }
    }
}

TEST_F(LoginWindow, EnterMovesOnOrRunsOK) {
    frmLogin w;
    ShowAndSettle(w);
    auto* login = Find<QLineEdit>(&w, "txtUserLogin");
    auto* password = Find<QLineEdit>(&w, "txtPassword");
    auto box = ScriptedMsgBox::Install();
    login->setFocus();
    QTest::keyClick(login, Qt::Key_Return);
    EXPECT_TRUE(login->hasFocus());
    EXPECT_EQ(box->Count(), 0);

    password->setFocus();
    QTest::keyClick(password, Qt::Key_Return);
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, GetMessageText(439));
    EXPECT_TRUE(login->hasFocus());

    QTest::keyClicks(login, "ann");
    QTest::keyClick(login, Qt::Key_Return);
    EXPECT_TRUE(password->hasFocus());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(LoginWindow, PasswordIsTrimmedOnLeavingItsBox) {
    frmLogin w;
    ShowAndSettle(w);
    auto* password = Find<QLineEdit>(&w, "txtPassword");
    password->setFocus();
    QTest::keyClicks(password, "  pw 1  ");
    Find<QLineEdit>(&w, "txtUserLogin")->setFocus();
    EXPECT_EQ(password->text(), "pw 1");
}

TEST_F(LoginWindow, RemembersTheLastLogin) {
    lastLogin = "  Ann  ";
    for (bool remember : {false, true}) {
        SCOPED_TRACE(remember);
        gRememberLastLogin = remember;
        frmLogin w;
        ShowAndSettle(w);
        auto* login = Find<QLineEdit>(&w, "txtUserLogin");
        EXPECT_EQ(login->text(), remember ? "Ann" : "");
        EXPECT_EQ(Find(&w, "txtPassword")->hasFocus(), remember);
    }
}

TEST_F(LoginWindow, CapsLockWarning) {
    frmLogin w;
    ShowAndSettle(w);
    auto* timer = w.findChild<QTimer*>("tmrKeyCheck");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_TRUE(timer->isActive());
    auto* picture = Find(&w, "imgCapsLock");
    EXPECT_FALSE(picture->isVisibleTo(&w));
    capsLock = true;
    w.tmrKeyCheck_Timer();
    EXPECT_TRUE(picture->isVisibleTo(&w));
    EXPECT_EQ(picture->toolTip(), "Caps Lock is On..");
    capsLock = false;
    w.tmrKeyCheck_Timer();
    EXPECT_FALSE(picture->isVisibleTo(&w));
    EXPECT_EQ(picture->toolTip(), "");
}

TEST_F(LoginWindow, LockdownHeldWhileLoadedAndUndoneInOrder) {
    gHideTaskBarDuringLogin = gHideDesktopDuringLogin = gLockTaskManagerDuringLogin = true;
    gClipMouseToLogin = gLoginAlwaysOnTop = true;
    {
        frmLogin w;
        EXPECT_EQ(switches->calls, (std::vector<std::string>{"HideTaskbar", "HideDesktop"}));
        EXPECT_EQ(DisableTaskMgr(), "1");
        EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
        ShowAndSettle(w);
        EXPECT_TRUE(w.ClipActive());
        w.move(w.pos() + QPoint(30, 20));
        const QRect f = w.frameGeometry();
        EXPECT_EQ(w.ClipRectangle(), (PixelRect{f.x(), f.y(), f.x() + f.width(), f.y() + f.height()}));
        switches->calls.clear();
    }
    EXPECT_EQ(switches->calls, (std::vector<std::string>{"ShowDesktop", "ShowTaskbar"}));
    EXPECT_EQ(DisableTaskMgr(), "0");
}

TEST_F(LoginWindow, LockdownSetBeforeTheLoginIsKept) {
    gHideTaskBarDuringLogin = gLockTaskManagerDuringLogin = true;
    option18 = option20 = true;
    WriteRegistryValue(HKEY_CURRENT_USER, "software\\microsoft\\windows\\currentversion\\policies\\system",
                       "DisableTaskMgr", "1", REG_DWORD);
    { frmLogin w; }
    EXPECT_EQ(switches->calls, std::vector<std::string>{"HideTaskbar"});
    EXPECT_EQ(DisableTaskMgr(), "1");
}

TEST_F(LoginWindow, RefusedPasswordIsEmptiedAndOKIsNotEnteredTwice) {
    AddUser({});
    frmLogin w;
    ShowAndSettle(w);
    auto box = ScriptedMsgBox::Install();
    // A second Enter arriving while the refusal is on screen.
    box->AnswerWith([&](const ScriptedMsgBox::Question&) {
        w.cmdOK_Click();
        return kMsgOk;
    });
    Find<QLineEdit>(&w, "txtUserLogin")->setText("ann");
    auto* password = Find<QLineEdit>(&w, "txtPassword");
    password->setText("wrong");
    QTest::mouseClick(Find<QPushButton>(&w, "cmdOK"), Qt::LeftButton);
    EXPECT_EQ(box->Count(), 1);
    EXPECT_EQ(password->text(), "");
    EXPECT_TRUE(password->hasFocus());
    EXPECT_EQ(w.LogID(), 1);
    EXPECT_FALSE(w.Authenticated());
    EXPECT_EQ(Stored("ann")->FailedLogins(), 1);
}

class LoginThroughSecurity : public LoginTest {
protected:
    void SetUp() override {
        LoginTest::SetUp();
        previous_ = SetLoginWindowOpener(RunLoginWindow);
    }
    void TearDown() override {
        SetLoginWindowOpener(previous_);
        LoginTest::TearDown();
    }
    static void TypeAndPressOK(frmLogin* w, const char* login, const char* password) {
        w->findChild<QLineEdit*>("txtUserLogin")->setText(login);
        w->findChild<QLineEdit*>("txtPassword")->setText(password);
        QTest::mouseClick(w->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    }

private:
    LoginWindowOpener previous_;
};

TEST_F(LoginThroughSecurity, SuccessPublishesTheTypedLoginAndGroup) {
    AddUser({.enforceGroups = true});
    AddGroup("Staff");
    AddGroup("Lab");
    AddMember("Lab", "ann");
    OnNextModal<frmLogin>([](frmLogin* w) {
        w->findChild<QComboBox*>("cboGroup")->setCurrentIndex(1);
        TypeAndPressOK(w, " Ann ", "secret");
    });
    Security s;
    EXPECT_TRUE(s.Login());
    EXPECT_EQ(s.AuthenticatedUser(), "Ann");
    EXPECT_EQ(s.AuthenticatedGroup(), "Lab");
    EXPECT_EQ(s.LogID(), 1);
    EXPECT_TRUE(gAuthenticated);
}

TEST_F(LoginThroughSecurity, ALoginThatCannotBeCancelledOutlastsTheWindowSystemsClose) {
    AddUser({});
    gCannotCancelLogin = true;
    gHideTaskBarDuringLogin = true;
    OnNextModal<frmLogin>([this](frmLogin* w) {
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        QCoreApplication::instance()->notify(w, &close);
        QCoreApplication::processEvents();
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(switches->calls, std::vector<std::string>{"HideTaskbar"});
        TypeAndPressOK(w, "ann", "secret");
    });
    Security s;
    EXPECT_TRUE(s.Login());
    EXPECT_EQ(s.AuthenticatedUser(), "ann");
    EXPECT_EQ(switches->calls, (std::vector<std::string>{"HideTaskbar", "ShowTaskbar"}));
}

TEST_F(LoginThroughSecurity, ForcedChangeHidesTheLoginAndStoresThePassword) {
    AddUser({.changeNext = true, .minLength = 4});
    LoginServices services = CurrentLoginServices();
    services.changePassword = RunChangePasswordDialog;
    LoginServicesScope scope(services);
    bool loginHidden = false;
    OnNextModal<frmLogin>([&](frmLogin* w) {
        OnNextModal<frmChangePassword>([&, w](frmChangePassword* d) {
            loginHidden = !w->isVisible();
            // Let the first activation load the account.
            QCoreApplication::processEvents();
            d->findChild<QLineEdit*>("txtOldPassword")->setText("secret");
            d->findChild<QLineEdit*>("txtNewPassword")->setText(" fresh ");
            d->findChild<QLineEdit*>("txtConfirmPassword")->setText("fresh");
            QTest::mouseClick(d->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        });
        TypeAndPressOK(w, "ann", "secret");
    });
    Security s;
    EXPECT_TRUE(s.Login());
    EXPECT_TRUE(loginHidden);
    const auto u = Stored("ann");
    EXPECT_TRUE(IsHashOf(u->Password(), "fresh"));
    EXPECT_EQ(u->PasswordChangeNextLogin(), 0);
}

class PasswordWindows : public LoginTest {};

TEST_F(PasswordWindows, ChangeShowsTheStoredLoginAndRefusesAWrongOldPassword) {
    AddUser({});
    frmChangePassword d;
    d.UserLogin = "ANN";
    EXPECT_FALSE(Find(&d, "cmdOK")->isEnabled());
    ShowAndSettle(d);
    EXPECT_EQ(d.windowTitle(), "Change Password");
    EXPECT_EQ(Find<QLabel>(&d, "lblOldPassword")->text(), "Old Password:");
    test::ExpectEveryBoxNamedByItsLabel(&d);
    test::ExpectMnemonicsReachTheirBoxes(&d);
    EXPECT_EQ(Find<QLineEdit>(&d, "txtUser")->text(), "ann");
    EXPECT_TRUE(Find<QLineEdit>(&d, "txtUser")->isReadOnly());
    EXPECT_TRUE(Find(&d, "cmdOK")->isEnabled());
    EXPECT_TRUE(Find(&d, "txtOldPassword")->hasFocus());

    auto box = ScriptedMsgBox::Install();
    Find<QLineEdit>(&d, "txtOldPassword")->setText("Secret");
    Find<QLineEdit>(&d, "txtNewPassword")->setText("abc");
    Find<QLineEdit>(&d, "txtConfirmPassword")->setText("abc");
    Find(&d, "txtNewPassword")->setFocus();
    QTest::mouseClick(Find<QPushButton>(&d, "cmdOK"), Qt::LeftButton);
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, "Invalid Old Password.");
    EXPECT_TRUE(Find(&d, "txtOldPassword")->hasFocus());
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(d.IsDirty);

    Find<QLineEdit>(&d, "txtOldPassword")->setText(" secret ");
    QTest::keyClick(Find(&d, "txtConfirmPassword"), Qt::Key_Return);
    EXPECT_TRUE(d.IsDirty);
    EXPECT_FALSE(d.Cancelled);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(IsHashOf(Stored("ann")->Password(), "abc"));
}

TEST_F(PasswordWindows, CancelEscAndCloseStoreNothing) {
    AddUser({});
    const std::function<void(PasswordDialog&)> ways[] = {
        [](PasswordDialog& d) { QTest::mouseClick(d.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton); },
        [](PasswordDialog& d) { QTest::keyClick(d.findChild<QLineEdit*>("txtNewPassword"), Qt::Key_Escape); },
        [](PasswordDialog& d) { d.close(); },
    };
    for (const auto& leave : ways) {
        frmSetPassword d;
        d.UserLogin = "ann";
        ShowAndSettle(d);
        EXPECT_TRUE(Find(&d, "txtNewPassword")->hasFocus());
        Find<QLineEdit>(&d, "txtNewPassword")->setText("other");
        Find<QLineEdit>(&d, "txtConfirmPassword")->setText("other");
        leave(d);
        EXPECT_TRUE(d.Cancelled);
        EXPECT_FALSE(d.IsDirty);
        EXPECT_FALSE(d.isVisible());
    }
    EXPECT_EQ(Decode(Stored("ann")->Password()), "secret");
}

TEST_F(PasswordWindows, SetAcceptsAnEmptyPasswordWithoutAMinimum) {
    AddUser({});
    frmSetPassword d;
    d.UserLogin = "ann";
    ShowAndSettle(d);
    EXPECT_EQ(d.windowTitle(), "Set Password");
    EXPECT_EQ(d.findChild<QLineEdit*>("txtOldPassword"), nullptr);
    QTest::mouseClick(Find<QPushButton>(&d, "cmdOK"), Qt::LeftButton);
    EXPECT_TRUE(d.IsDirty);
    EXPECT_TRUE(IsHashOf(Stored("ann")->Password(), ""));
}

TEST_F(PasswordWindows, MissingAccountKeepsOKDisabled) {
    AddUser({});
    frmSetPassword d;
    d.UserLogin = "ghost";
    ShowAndSettle(d);
    EXPECT_FALSE(Find(&d, "cmdOK")->isEnabled());
    EXPECT_EQ(Find<QLineEdit>(&d, "txtUser")->text(), "");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].place, "frmSetPassword.LoadData");
    d.cmdOK_Click();
    EXPECT_FALSE(d.IsDirty);
    EXPECT_TRUE(d.isVisible());
}

}  // namespace
}  // namespace corvane::testing
