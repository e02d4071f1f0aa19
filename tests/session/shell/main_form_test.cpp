#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

#include "session/launchers/launchers.h"
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

// Tray activation arrives whatever modal window is open: during a login a double click
// (the console) and a right click (the menu) are ignored, so no login runs inside another.
TEST_F(MainFormTest, TrayClicksDuringALoginAreIgnored) {
    AddAccount("ann", false);
    logins = {"ann", "ann"};
    const auto previous = SetLoginWindowOpener([this] {
        for (int m : {513, 514, 515, 514}) form->Tray().notify(m);  // double click
        form->Tray().notify(516);
        form->Tray().notify(517);  // right click
        Settle();
        return NextLogin();
    });
    form->Form_Load();
    SetLoginWindowOpener(previous);
    EXPECT_EQ(Count("Login"), 1u);
    EXPECT_TRUE(form->Authenticated());
    EXPECT_FALSE(ConsoleOpen());
    EXPECT_TRUE(form->PopupMenu() == nullptr || !form->PopupMenu()->isVisible());
    // One session record, and it is the session's.
    UserLog record;
    EXPECT_EQ(record.RecordCount(), 1);
    ASSERT_TRUE(record.Load(form->Session().LogID()));
    EXPECT_NE(record.Active(), 0);
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

}  // namespace
}  // namespace corvane::testing
