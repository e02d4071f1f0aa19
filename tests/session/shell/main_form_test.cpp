#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QStandardItemModel>
#include <QTest>

#include "session/console/console_list_view.h"
#include "session/console/console_windows.h"
#include "session/console/frm_secure_console.h"
#include "session/launchers/launchers.h"
#include "session/launchers/window_factories.h"
#include "session/shell/frm_main.h"
#include "session/shell/security_session.h"
#include "session_test_support.h"
#include "shell_test_support.h"
#include "ui/helpers/top_level_form_registry.h"

namespace corvane::testing {
namespace {

bool ConsoleOpen() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmSecureConsole") && w->isVisible()) return true;
    return false;
}

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
}

class MainFormTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        SetFormSource({});
        ui::InstallTopLevelFormRegistry();
        form = std::make_unique<frmMain>(MakeSecuritySession(), std::make_unique<FakeTrayBackend>(&tray));
        form->SetOnUnloaded([this] { unloaded = true; });
    }
    void TearDown() override {
        UnloadSecureConsole();
        form.reset();
        Settle();
        SessionTest::TearDown();
    }
    std::vector<std::string> tray;
    std::unique_ptr<frmMain> form;
    bool unloaded = false;
};

TEST_F(MainFormTest, TheIconComesFirstThenTheLoginAndTheWatchdogRuns) {
    AddAccount("ann", false);
    logins = {"ann"};
    form->Form_Load();
    EXPECT_EQ(tray, (std::vector<std::string>{"Add ", "Modify Corvane Standard"}));
    EXPECT_FALSE(form->Tray().SysMenu());
    EXPECT_TRUE(form->Authenticated());
    EXPECT_TRUE(form->tmrSession().isActive());
    EXPECT_EQ(form->tmrSession().interval(), 2500);
}

TEST_F(MainFormTest, ADoubleClickOpensTheConsoleOnlyAfterALogin) {
    AddAccount("ann", false);
    logins = {""};
    form->Form_Load();
    logins = {""};
    for (int m : {513, 514, 515, 514}) form->Tray().notify(m);
    Settle();
    EXPECT_FALSE(ConsoleOpen());
    logins = {"ann"};
    for (int m : {513, 514, 515, 514}) form->Tray().notify(m);
    Settle();
    EXPECT_TRUE(ConsoleOpen());
    EXPECT_EQ(Count("Login"), 3u);
}

TEST_F(MainFormTest, ARightClickShowsTheMenuAndItsUnloadEndsTheProgram) {
    AddAccount("boss", true);
    logins = {"boss"};
    form->Form_Load();
    const std::int32_t id = form->Session().LogID();
    form->Tray().notify(516);
    form->Tray().notify(517);
    ASSERT_NE(form->PopupMenu(), nullptr);
    EXPECT_TRUE(form->PopupMenu()->isVisible());
    EXPECT_TRUE(form->PopupMenu()->MenuItem(7)->isEnabled());
    emit form->PopupMenu()->Selected(7);
    EXPECT_FALSE(form->PopupMenu()->isVisible());
    Settle();
    EXPECT_TRUE(unloaded);
    EXPECT_EQ(tray.back(), "Delete");
    UserLog record;
    ASSERT_TRUE(record.Load(id));
    EXPECT_EQ(record.Active(), 0);
}

// A desktop without a notification area: the console is the way in. Whatever
// a person does, the program keeps a window on screen; after each login a
// fresh console is there with the focus.
class NoTrayTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        SetFormSource({});
        ui::InstallTopLevelFormRegistry();
        RegisterConsoleWindows();
        gShowTipsOfTheDay = false;
        form = std::make_unique<frmMain>(MakeSecuritySession(), std::make_unique<FakeTrayBackend>(&tray, false));
        form->SetOnUnloaded([] {});
    }
    void TearDown() override {
        UnloadSecureConsole();
        form.reset();
        Settle();
        SessionTest::TearDown();
    }

    static frmSecureConsole* Console() {
        return qobject_cast<frmSecureConsole*>(SharedWindow(QStringLiteral("frmSecureConsole")).data());
    }
    // A window of the program that a person can reach (there is no icon).
    static bool SomethingOnScreen() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName().startsWith(QLatin1String("frm"))) return true;
        return false;
    }
    // The invariant, both at once and once deferred deletions have run.
    void ExpectSomethingOnScreen(const std::string& step) {
        EXPECT_TRUE(SomethingOnScreen()) << "straight after " << step;
        Settle();
        EXPECT_TRUE(SomethingOnScreen()) << "after " << step;
    }
    void ExpectFreshActiveConsole(QPointer<frmSecureConsole> before, const std::string& step) {
        frmSecureConsole* console = Console();
        ASSERT_NE(console, nullptr) << step;
        EXPECT_NE(console, before.data()) << step;
        EXPECT_TRUE(console->isVisible()) << step;
        EXPECT_TRUE(QTest::qWaitForWindowActive(console)) << step;
        EXPECT_EQ(QApplication::focusWidget(), console->lsvItems()->Shown()) << step;
    }
    // Picks an item of the console as a person does: a click, then Enter or
    // a double click.
    static void Launch(const QString& text, bool doubleClick) {
        frmSecureConsole* console = Console();
        ASSERT_NE(console, nullptr);
        auto* view = qobject_cast<QAbstractItemView*>(console->lsvItems()->Shown());
        const QStandardItemModel* items = console->lsvItems()->Items();
        const QList<QStandardItem*> found = items->findItems(text);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        view->doItemsLayout();
        const QPoint at = view->visualRect(found.first()->index()).center();
        if (doubleClick) {
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        } else {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            QTest::keyClick(view, Qt::Key_Return);
        }
    }

    std::vector<std::string> tray;
    std::unique_ptr<frmMain> form;
};

TEST_F(NoTrayTest, LoginsAndLogOffsAlwaysLeaveAConsole) {
    AddAccount("ann", false);
    AddAccount("boss", true);
    logins = {""};
    form->Form_Load();
    ExpectSomethingOnScreen("a cancelled first login");
    ASSERT_NE(Console(), nullptr);

    // An item picked while nobody is logged in runs the login first.
    QPointer<frmSecureConsole> before = Console();
    logins = {"ann"};
    Launch("Corvane", false);
    ExpectSomethingOnScreen("a login from the console's Enter");
    EXPECT_TRUE(form->Authenticated());
    ExpectFreshActiveConsole(before, "ann's login");

    before = Console();
    Launch("Log Off", false);
    ExpectSomethingOnScreen("Log Off");
    EXPECT_FALSE(form->Authenticated());
    ExpectFreshActiveConsole(before, "the log-off");

    before = Console();
    logins = {""};
    Launch("Web Browser", true);
    ExpectSomethingOnScreen("a login cancelled from a double click");
    EXPECT_FALSE(form->Authenticated());

    before = Console();
    logins = {"boss"};
    Launch("Options", true);
    ExpectSomethingOnScreen("a login from a double click");
    EXPECT_TRUE(form->Authenticated());
    ExpectFreshActiveConsole(before, "boss's login");

    // The tool bar's Exit only puts the console aside.
    Console()->ToolButton(9)->trigger();
    ExpectSomethingOnScreen("Exit");
    ASSERT_NE(Console(), nullptr);

    // A log-off followed by a new login that is cancelled.
    gActionAfterLogout = true;
    gLogoutAction = 1;
    before = Console();
    logins = {""};
    form->LogOFF();
    ExpectSomethingOnScreen("a log-off whose new login was cancelled");
    EXPECT_EQ(Count("Login"), 5u);

    // The same with a login that succeeds.
    gLogoutAction = 1;
    logins = {"ann"};
    Launch("Corvane", false);
    before = Console();
    logins = {"boss"};
    form->LogOFF();
    ExpectSomethingOnScreen("a log-off and a new login");
    ExpectFreshActiveConsole(before, "the login after the log-off");
}

}  // namespace
}  // namespace corvane::testing
