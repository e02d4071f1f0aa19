#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <functional>

#include "launchers_test_support.h"
#include "platform/settings/global_settings.h"
#include "recordstore/test_support.h"
#include "session/launchers/launchers.h"
#include "recordstore/user.h"
#include "session/launchers/u_interface.h"
#include "ui/helpers/top_level_form_registry.h"

namespace corvane::testing {
namespace {

int LoadedCount(const QString& name) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) ++n;
    return n;
}

class LauncherTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ui::InstallTopLevelFormRegistry();
        InstallLaunchers();
        gShowTipsOfTheDay = true;
    }
    void TearDown() override {
        gShowTipsOfTheDay = false;
        Settle();
        DataFolderTest::TearDown();
    }
};

struct LaunchRow {
    const char* window;
    std::function<void()> launch;
    bool modal;
    std::vector<std::string> inputs;
    bool leftOpen;
};

TEST_F(LauncherTest, EachLauncherLoadsSetsShowsAndUnloadsItsWindow) {
    const std::vector<LaunchRow> rows = {
        {"frmChangePassword", [] { ShowChangePassword("ann"); }, true, {"UserLogin=ann"}, false},
        {"frmWizard", [] { ShowNewUserWizard(true, false); }, true, {"PrimaryUser=false", "NoCancel=true"}, false},
        {"frmSetPassword", [] { ShowSetPassword("bob"); }, true, {"UserLogin=bob"}, false},
        {"frmAdvancedSecurity", [] { ShowAdvancedSecurity(); }, true, {}, false},
        {"frmPrograms", [] { ShowPrograms(); }, true, {}, false},
        {"frmSecurity", [] { ShowSecurity(); }, true, {}, false},
        {"frmMainOptions", [] { ShowMainOptions(); }, true, {}, false},
        {"frmWebsites", [] { ShowWebsites(); }, true, {}, false},
        {"frmSecureConsole", [] { ShowSecureConsole(1); }, true, {}, false},
        {"frmSecureConsole", [] { ShowSecureConsole(0); }, false, {}, true},
        {"frmWebBrowser", [] { ShowWebBrowserAt("http://example.org/"); }, false,
         {"StartingAddress=http://example.org/"}, true},
        {"frmUserLogDetails", [] { ShowUserLogDetails(7, "/tmp/old.sec"); }, false,
         {"OpenTablePathname=/tmp/old.sec", "LogID=7"}, true},
        {"frmWebsiteLogDetails", [] { ShowWebsiteLogDetails(9, ""); }, false, {"OpenTablePathname=", "LogID=9"}, true},
        {"frmUserLog", [] { ShowUserLog(); }, false, {}, true},
        {"frmWebsiteLog", [] { ShowWebsiteLog(); }, false, {}, true},
        {"frmCorvane", [] { ShowUserManagement(); }, false, {}, true},
        // The tip is shown modally and left loaded.
        {"frmTip", [] { ShowTipOfTheDay(); }, true, {}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.window);
        RecordingFactory factory(QString::fromLatin1(row.window));
        row.launch();
        Settle();
        ASSERT_EQ(factory.made.size(), 1u);
        const WindowRecord& record = *factory.records[0];
        EXPECT_TRUE(record.shown);
        EXPECT_EQ(record.shownModal, row.modal);
        EXPECT_EQ(record.inputs, row.inputs);
        EXPECT_EQ(!factory.made[0].isNull(), row.leftOpen);
    }
}

TEST_F(LauncherTest, ASecondConsoleReplacesTheFirstAndDetailsReopenForTheNewRecord) {
    RecordingFactory consoles(QStringLiteral("frmSecureConsole"));
    ShowSecureConsole(0);
    ShowSecureConsole(0);
    Settle();
    ASSERT_EQ(consoles.made.size(), 2u);
    EXPECT_TRUE(consoles.made[0].isNull());
    EXPECT_EQ(LoadedCount(QStringLiteral("frmSecureConsole")), 1);

    RecordingFactory details(QStringLiteral("frmUserLogDetails"));
    ShowUserLogDetails(3, "");
    ShowUserLogDetails(4, "");
    Settle();
    ASSERT_EQ(details.made.size(), 2u);
    EXPECT_TRUE(details.made[0].isNull());
    EXPECT_EQ(details.made[1]->property("LogID").toInt(), 4);
}

TEST_F(LauncherTest, BrowsersAreIndependentWhileSharedWindowsComeForward) {
    RecordingFactory browsers(QStringLiteral("frmWebBrowser"));
    ShowWebBrowser();
    ShowWebBrowser();
    Settle();
    ASSERT_EQ(browsers.made.size(), 2u);
    browsers.made[0]->close();
    Settle();
    EXPECT_TRUE(browsers.made[0].isNull());
    ASSERT_FALSE(browsers.made[1].isNull());
    EXPECT_TRUE(browsers.made[1]->isVisible());

    RecordingFactory logs(QStringLiteral("frmUserLog"));
    ShowUserLog();
    ShowUserLog();
    Settle();
    EXPECT_EQ(logs.made.size(), 1u);
}

TEST_F(LauncherTest, TheUserEditorOpensOnlyForAnExistingLogin) {
    User ann;
    ann.SetLogin("ann");
    ann.AddNew();
    RecordingFactory editors(QStringLiteral("frmUserDetails"));
    EXPECT_EQ(ShowEditUser("nobody"), "");
    EXPECT_TRUE(editors.made.empty());
    EXPECT_EQ(ShowEditUser(" ANN "), "");
    Settle();
    ASSERT_EQ(editors.made.size(), 1u);
    EXPECT_EQ(editors.records[0]->inputs, std::vector<std::string>{"UserLogin= ANN "});
    EXPECT_TRUE(editors.records[0]->shownModal);
}

TEST_F(LauncherTest, NoTipWhileTipsAreOffAndUInterfaceForwards) {
    gShowTipsOfTheDay = false;
    {
        RecordingFactory tips(QStringLiteral("frmTip"));
        ShowTipOfTheDay();
        EXPECT_TRUE(tips.made.empty());
    }
    const struct {
        const char* window;
        std::function<void(UInterface&)> call;
        std::vector<std::string> inputs;
    } rows[] = {
        {"frmCorvane", [](UInterface& u) { u.ShowCorvane(); }, {}},
        {"frmUserLog", [](UInterface& u) { u.ShowUserLog(); }, {}},
        {"frmSetPassword", [](UInterface& u) { u.SetPassword("cy"); }, {"UserLogin=cy"}},
        {"frmChangePassword", [](UInterface& u) { u.ChangePassword("di"); }, {"UserLogin=di"}},
        {"frmWizard", [](UInterface& u) { u.NewUser(false, true); }, {"PrimaryUser=true", "NoCancel=false"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.window);
        RecordingFactory factory(QString::fromLatin1(row.window));
        UInterface ui;
        row.call(ui);
        Settle();
        ASSERT_EQ(factory.made.size(), 1u);
        EXPECT_EQ(factory.records[0]->inputs, row.inputs);
    }
}

TEST_F(LauncherTest, APlaceholderShowsItsNameAndInputs) {
    ShowWebBrowserAt("http://example.org/");
    Settle();
    QWidget* browser = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmWebBrowser") && w->isVisible()) browser = w;
    ASSERT_NE(browser, nullptr);
    auto* label = browser->findChild<QLabel*>(QStringLiteral("lblPlaceholder"));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().contains(QStringLiteral("frmWebBrowser")));
    EXPECT_TRUE(label->text().contains(QStringLiteral("StartingAddress: http://example.org/")));
    browser->close();
}

}  // namespace
}  // namespace corvane::testing
