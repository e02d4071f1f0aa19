#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "support/accessible_names.h"
#include "admin/users/editor/frm_user_details.h"
#include "editor_fixture.h"
#include "messages/message_catalogue.h"
#include "ui_core/msgbox/scripted_msgbox.h"

using namespace corvane;

namespace {

class EditorWindow : public test::EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        WriteFixtureUser();
        AddUser("bob");
        AddWebsite("http://b.example/");
        AddWebsite("http://a.example/");
        AddProgram("/usr/bin/calc");
    }

    // Shows the window and waits for its first activation.
    static void Open(frmUserDetails& window, const std::string& login) {
        window.SetUserLogin(login);
        window.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.FormLoad(); }, 10000));
    }
    template <typename T>
    static T* Find(QWidget& window, const char* name) {
        T* w = window.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
};

TEST_F(EditorWindow, ShowsTheUserWithItsCaptions) {
    frmUserDetails window;
    Open(window, "alice");
    EXPECT_EQ(window.windowTitle().toStdString(), GetMessageText(46) + " - alice");
    EXPECT_EQ(Find<QLineEdit>(window, "txtUserLogin")->text(), "alice");
    EXPECT_EQ(Find<QPlainTextEdit>(window, "txtDisplayMessage")->toPlainText(), "Welcome back");
    EXPECT_EQ(Find<QPushButton>(window, "cmdOK")->text(), "OK");
    EXPECT_EQ(Find<QCheckBox>(window, "chkDisplayMessageAfterLogin")->text(), "Display Message after login");
    EXPECT_TRUE(Find<QCheckBox>(window, "chkLockAddressBar")->isChecked());
    auto* tabs = Find<QTabWidget>(window, "tabDetails");
    EXPECT_EQ(tabs->tabText(2).toStdString(), GetMessageText(151));
    EXPECT_TRUE(tabs->isVisible());
    auto* allowed = Find<QTreeWidget>(window, "lsvSelectedWebsites");
    EXPECT_FALSE(allowed->isHeaderHidden());
    EXPECT_EQ(allowed->headerItem()->text(0).toStdString(), GetMessageText(379));
    auto* defined = Find<QTreeWidget>(window, "lsvDefinedWebsites");
    EXPECT_EQ(window.ListCount(defined), 2);
    EXPECT_EQ(window.ListCount(nullptr), 0);
    EXPECT_EQ(defined->topLevelItem(1)->text(0), "http://a.example/");
    EXPECT_TRUE(window.IsDirty()) << "the fixture has dirty-marking options on";
    EXPECT_EQ(window.focusWidget(), Find<QLineEdit>(window, "txtUserLogin"));
    // The display message sits under its check box, the home page in its frame.
    test::ExpectEveryBoxNamedByItsLabel(&window, {"txtDisplayMessage", "txtHomePage"});
    test::ExpectMnemonicsReachTheirBoxes(&window);
}

TEST_F(EditorWindow, EnterDoesNotPressOkAndEscCancels) {
    AddUser("carol");
    frmUserDetails window;
    Open(window, "carol");
    auto* login = Find<QLineEdit>(window, "txtUserLogin");
    QTest::keyClick(login, Qt::Key_Return);
    QTest::keyClick(Find<QPushButton>(window, "cmdCancel"), Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.IsDirty());
    QTest::keyClick(login, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.Cancelled());
}

TEST_F(EditorWindow, TheCloseBoxCancels) {
    frmUserDetails window;
    Open(window, "alice");
    window.close();
    EXPECT_TRUE(window.Cancelled());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(EditorWindow, CancelEscapeAndTheCloseBoxLeaveTheRecordAndKeepTheLinks) {
    const std::pair<const char*, std::function<void(frmUserDetails&)>> ways[] = {
        {"Cancel", [](frmUserDetails& w) { QTest::mouseClick(Find<QPushButton>(w, "cmdCancel"), Qt::LeftButton); }},
        {"Escape", [](frmUserDetails& w) { QTest::keyClick(Find<QLineEdit>(w, "txtUserLogin"), Qt::Key_Escape); }},
        {"close box", [](frmUserDetails& w) { w.close(); }},
    };
    AddWebsite("http://c.example/");  // one to add on each way
    for (const auto& [way, cancel] : ways) {
        const std::string before = ReadFile(UsersPath());
        const auto linksBefore = Links<UserWebsite>().size();
        frmUserDetails window;
        Open(window, "alice");
        Find<QLineEdit>(window, "txtUserLogin")->setText("alicia");
        auto* defined = Find<QTreeWidget>(window, "lsvDefinedWebsites");
        defined->setCurrentItem(defined->topLevelItem(0));
        QTest::mouseClick(Find<QPushButton>(window, "cmdAddWebsite"), Qt::LeftButton);
        ASSERT_EQ(Links<UserWebsite>().size(), linksBefore + 1) << way;

        cancel(window);
        EXPECT_FALSE(window.isVisible()) << way;
        EXPECT_TRUE(window.Cancelled()) << way;
        EXPECT_EQ(window.result(), QDialog::Rejected) << way;
        EXPECT_EQ(window.UserLogin(), "alice") << way;
        EXPECT_EQ(ReadFile(UsersPath()), before) << way << ": the record is not written";
        EXPECT_EQ(Links<UserWebsite>().size(), linksBefore + 1) << way << ": the added link stays";
    }
}

TEST_F(EditorWindow, OkFollowsTheLoginBoxAndTheBoxesHoldOnlyWhatTheRecordCan) {
    frmUserDetails window;
    Open(window, "alice");
    auto* ok = Find<QPushButton>(window, "cmdOK");
    auto* login = Find<QLineEdit>(window, "txtUserLogin");
    login->clear();
    EXPECT_FALSE(ok->isEnabled());
    QTest::keyClicks(login, " ");
    EXPECT_TRUE(ok->isEnabled());
    const std::pair<const char*, int> widths[] = {{"txtUserLogin", 20}, {"txtUserName", 50}, {"txtHomePage", 255}};
    for (const auto& [name, width] : widths) EXPECT_EQ(Find<QLineEdit>(window, name)->maxLength(), width) << name;

    auto* home = Find<QLineEdit>(window, "txtHomePage");
    home->clear();
    QTest::keyClicks(home, "caf");
    home->insert(QString::fromUtf8("\u00e9\u20ac"));
    home->insert(QString::fromUtf8("\u4e2d"));
    EXPECT_EQ(home->text(), QString::fromUtf8("caf\u00e9\u20ac")) << "a character Windows-1252 lacks is refused";

    auto* description = Find<QPlainTextEdit>(window, "txtDescription");
    description->setPlainText(QString(300, 'x') + QString::fromUtf8("\u4e2d"));
    EXPECT_EQ(description->toPlainText(), QString(255, 'x'));
    EXPECT_EQ(window.Model().description, std::string(255, 'x'));
    auto* message = Find<QPlainTextEdit>(window, "txtDisplayMessage");
    message->setPlainText(QString(1200, 'y'));
    EXPECT_EQ(message->toPlainText().size(), 1000);
}

TEST_F(EditorWindow, TheInternetBoxSwitchesTheWebsiteControls) {
    frmUserDetails window;
    Open(window, "alice");
    auto* internet = Find<QCheckBox>(window, "chkEnableInternetAccess");
    const char* switched[] = {"chkEnforceWebsites", "chkAllowNewWindows", "chkLockAddressBar", "lsvDefinedWebsites",
                              "lsvSelectedWebsites", "cmdAddWebsite", "cmdRemoveWebsite", "txtHomePage",
                              "cmdBlankHomePage", "fraHomePage"};
    internet->click();
    for (const char* name : switched) EXPECT_FALSE(Find<QWidget>(window, name)->isEnabled()) << name;
    EXPECT_TRUE(Find<QWidget>(window, "lsvDefinedPrograms")->isEnabled());
    internet->click();
    for (const char* name : switched) EXPECT_TRUE(Find<QWidget>(window, name)->isEnabled()) << name;
}

TEST_F(EditorWindow, OnlyTheFourBoxesMarkTheEditorDirty) {
    AddUser("carol");
    const std::pair<const char*, bool> rows[] = {
        {"chkAllowNewWindows", false}, {"chkDisabled", false}, {"chkCannotChgPwd", false},
        {"chkDisplayMessageAfterLogin", false}, {"chkLockAddressBar", true}, {"chkEnforceWebsites", true},
        {"chkStartProgramAfterLogin", true}, {"chkEnableInternetAccess", true},
    };
    for (const auto& [name, dirty] : rows) {
        frmUserDetails window;
        Open(window, "carol");
        ASSERT_FALSE(window.IsDirty());
        auto* box = Find<QCheckBox>(window, name);
        box->setEnabled(true);
        box->click();
        EXPECT_EQ(window.IsDirty(), dirty) << name;
    }
}

TEST_F(EditorWindow, DoubleClicksAddAndRemoveAndHeaderClicksSort) {
    frmUserDetails window;
    Open(window, "alice");
    auto* defined = Find<QTreeWidget>(window, "lsvDefinedWebsites");
    auto* allowed = Find<QTreeWidget>(window, "lsvSelectedWebsites");
    defined->setCurrentItem(defined->topLevelItem(1));
    emit defined->itemDoubleClicked(defined->topLevelItem(1), 0);
    ASSERT_EQ(allowed->topLevelItemCount(), 1);
    EXPECT_EQ(allowed->topLevelItem(0)->text(0), "http://a.example/");
    EXPECT_EQ(Links<UserWebsite>().size(), 1u);
    EXPECT_EQ(window.SelectedIndex(allowed), 0);

    emit allowed->header()->sectionClicked(0);
    allowed->setCurrentItem(allowed->topLevelItem(0));
    EXPECT_EQ(window.SelectedIndex(allowed), 1);
    emit allowed->itemDoubleClicked(allowed->topLevelItem(0), 0);
    EXPECT_EQ(allowed->topLevelItemCount(), 0);
    EXPECT_TRUE(Links<UserWebsite>().empty());

    emit defined->header()->sectionClicked(0);
    EXPECT_EQ(defined->topLevelItem(0)->text(0), "http://b.example/");
    emit defined->header()->sectionClicked(0);
    EXPECT_EQ(defined->topLevelItem(0)->text(0), "http://a.example/");
}

TEST_F(EditorWindow, TheGeneralTabSelectsTheLogin) {
    frmUserDetails window;
    Open(window, "alice");
    auto* tabs = Find<QTabWidget>(window, "tabDetails");
    auto* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    Find<QPlainTextEdit>(window, "txtDescription")->setFocus();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    EXPECT_NE(window.focusWidget(), Find<QLineEdit>(window, "txtUserLogin"));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    auto* login = Find<QLineEdit>(window, "txtUserLogin");
    EXPECT_EQ(window.focusWidget(), login);
    EXPECT_EQ(login->selectedText(), "alice");
}

TEST_F(EditorWindow, EachTextBoxSelectsItsTextOnFocus) {
    frmUserDetails window;
    Open(window, "alice");
    QApplication::setActiveWindow(&window);
    const std::pair<const char*, QString> rows[] = {
        {"txtUserName", "Alice Example"},
        {"txtDescription", "Accounts, second floor"},
        {"txtDisplayMessage", "Welcome back"},
        {"txtUserLogin", "alice"},
    };
    for (const auto& [name, text] : rows) {
        auto* box = Find<QWidget>(window, name);
        Find<QPushButton>(window, "cmdCancel")->setFocus();
        box->setFocus(Qt::MouseFocusReason);
        const auto selected = [box] {
            return qobject_cast<QLineEdit*>(box) ? qobject_cast<QLineEdit*>(box)->selectedText()
                                                 : qobject_cast<QPlainTextEdit*>(box)->textCursor().selectedText();
        };
        // The text is selected once the focus change has settled.
        QTest::qWaitFor([&] { return selected() == text; }, 5000);
        EXPECT_EQ(selected(), text) << name;
    }
}

TEST_F(EditorWindow, ModalRunsAsTheCallerDrivesIt) {
    {
        // A rename confirmed with OK: the caller reads the saved login, also by property name.
        frmUserDetails window;
        window.setProperty("UserLogin", QString("alice"));
        QTimer::singleShot(50, &window, [&] {
            Find<QLineEdit>(window, "txtUserLogin")->setText("alicia");
            Find<QPushButton>(window, "cmdOK")->click();
        });
        window.exec();
        EXPECT_FALSE(window.Cancelled());
        EXPECT_TRUE(window.IsDirty());
        EXPECT_EQ(window.UserLogin(), "alicia");
        EXPECT_EQ(window.property("UserLogin").toString(), "alicia");
        EXPECT_FALSE(window.property("Cancelled").toBool());
        EXPECT_TRUE(window.property("IsDirty").toBool());
        User saved;
        EXPECT_TRUE(saved.Load("alicia"));
    }
    {
        // A record locked elsewhere, refused: the modal show returns at once, cancelled.
        LockUser(2, "WS09");
        auto box = ScriptedMsgBox::Install();
        box->Answer(kMsgCancel);
        frmUserDetails window;
        window.SetUserLogin("bob");
        EXPECT_EQ(window.exec(), QDialog::Rejected);
        EXPECT_EQ(box->Count(), 1);
        EXPECT_TRUE(window.Cancelled());
        EXPECT_TRUE(Find<QLineEdit>(window, "txtUserLogin")->text().isEmpty());
    }
}

}  // namespace
