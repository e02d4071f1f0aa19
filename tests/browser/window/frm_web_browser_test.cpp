#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QUrl>
#include <QToolBar>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>

#include "browser/window/engine_browser_control.h"
#include "browser/window/engine_sandbox.h"
#include "browser_test_support.h"
#include "fake_control_widget.h"
#include "messages/message_catalogue.h"
#include "platform/system/desktop_opener.h"
#include "platform/system/process_spawn.h"
#include "session/launchers/launchers.h"
#include "session/launchers/window_factories.h"
#include "support/scratch_desktop.h"
#include "ui_core/help.h"
#include "ui_core/msgbox/scripted_msgbox.h"
#include "ui/helpers/screen_metrics.h"
#include "ui/helpers/window_metrics.h"

namespace corvane::testing {
namespace {

class BrowserWindowTest : public BrowserTest {
protected:
    void SetUp() override {
        BrowserTest::SetUp();
        ::setenv("CORVANE_PROGRAM_DIR", folder_.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("CORVANE_PROGRAM_DIR");
        gShowToolTips = true;
        BrowserTest::TearDown();
    }

    // A window as the launchers open it, deleted when the test ends.
    frmWebBrowser& OpenWindow() {
        auto* window = new frmWebBrowser;
        window->setAttribute(Qt::WA_DeleteOnClose);
        windows_.push_back(window);
        window->show();
        return *window;
    }
    ~BrowserWindowTest() override {
        for (auto& w : windows_) delete w.data();
    }

    FakeControlScope fakes_;
    std::vector<QPointer<frmWebBrowser>> windows_;
};

template <typename T>
T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Run once more on a 640 by 512 screen (browser_window_tests_small_screen),
// smaller than the window's design size.
TEST_F(BrowserWindowTest, TheWindowLiesWhollyOnTheScreen) {
    frmWebBrowser& w = OpenWindow();
    QCoreApplication::processEvents();
    const QRect available = w.screen()->availableGeometry();
    const QRect frame = w.frameGeometry();
    EXPECT_TRUE(available.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                           << frame.height() << " on " << available.width() << "x"
                                           << available.height();
}

TEST_F(BrowserWindowTest, ToolTipsFollowTheSettingAndGoKeepsItsOwnWhenOff) {
    const char* keys[] = {"Back", "Forward", "Stop", "Refresh", "Home", "Search", "Print", "Help", "Exit"};
    for (bool on : {true, false}) {
        gShowToolTips = on;
        frmWebBrowser& w = OpenWindow();
        auto* toolBar = Child<QToolBar>(&w, "ToolBar");
        for (const char* key : keys) {
            auto* action = toolBar->findChild<QAction*>(QLatin1String(key));
            ASSERT_NE(action, nullptr) << key;
            QWidget* button = toolBar->widgetForAction(action);
            EXPECT_EQ(button->toolTip().isEmpty(), !on) << key;
            if (on) EXPECT_EQ(button->toolTip(), action->text()) << key;
        }
        auto* tblGo = Child<QToolBar>(&w, "tblGo");
        auto* go = tblGo->findChild<QAction*>(QStringLiteral("Go"));
        ASSERT_NE(go, nullptr);
        EXPECT_EQ(tblGo->widgetForAction(go)->toolTip(), QString::fromStdString(GetMessageText(234))) << on;
        EXPECT_EQ(w.windowTitle(), QString::fromStdString(GetMessageText(168)));
    }
}

TEST_F(BrowserWindowTest, StatusPanelsShowTheTextTheUserAndTheComputer) {
    LogIn("ann");
    frmWebBrowser& w = OpenWindow();
    w.ShowStatus("Busy here");
    EXPECT_EQ(Child<QLabel>(&w, "Panel1")->text().toStdString(), GetMessageText(105) + ": Busy here");
    EXPECT_EQ(Child<QLabel>(&w, "Panel2")->text().toStdString(), GetMessageText(154) + ": ann");
    EXPECT_EQ(Child<QLabel>(&w, "Panel4")->text().toStdString(), GetMessageText(65) + ": WS-7");
    w.Controller().brwWebBrowser_SetSecureLockIcon(1);
    EXPECT_TRUE(Child<QLabel>(&w, "picPadlock")->isVisibleTo(&w));
    w.Controller().brwWebBrowser_SetSecureLockIcon(0);
    EXPECT_FALSE(Child<QLabel>(&w, "picPadlock")->isVisibleTo(&w));
}

TEST_F(BrowserWindowTest, TheAddressBoxTakesTheWidthLeftAndANarrowWindowSkipsOnlyThat) {
    frmWebBrowser& w = OpenWindow();
    w.resize(ui::ToPixelsX(9000), ui::ToPixelsY(6000));
    QApplication::processEvents();
    auto* box = Child<QComboBox>(&w, "cboAddress");
    const int inner = w.centralWidget()->width();
    EXPECT_NEAR(box->width(), ui::ToPixelsX(ui::ToTwipsX(inner) - 1810), 1);
    auto* go = Child<QToolBar>(&w, "tblGo");
    EXPECT_NEAR(go->x(), box->geometry().right() + 1 + ui::ToPixelsX(60), 1);
    const int wide = box->width();

    w.resize(ui::ToPixelsX(1500), ui::ToPixelsY(6000));
    QApplication::processEvents();
    if (ui::ToTwipsX(w.centralWidget()->width()) < 1810) EXPECT_EQ(box->width(), wide);
    auto* control = Child<QWidget>(&w, "brwWebBrowser");
    EXPECT_NEAR(control->width(), std::max(0, ui::ToPixelsX(ui::ToTwipsX(w.centralWidget()->width()) - 120)), 1);
}

TEST_F(BrowserWindowTest, TheLockDropsTypingButEnterRunsTheCommand) {
    AddBrowserUser({.login = "ann", .lock = true});
    LogIn("ann");
    auto box = ScriptedMsgBox::Install();
    frmWebBrowser& w = OpenWindow();
    auto* address = Child<QComboBox>(&w, "cboAddress");
    address->setEditText(QStringLiteral("http://x.com"));
    for (QWidget* target : {static_cast<QWidget*>(address), static_cast<QWidget*>(address->lineEdit())}) {
        QTest::keyClicks(target, QStringLiteral("abc"));
        QTest::keyClick(target, Qt::Key_Backspace);
    }
    EXPECT_EQ(address->currentText(), QStringLiteral("http://x.com"));
    QTest::keyClick(address->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, GetMessageText(425, 0, std::string("http://x.com")));
}

// A key as the keyboard delivers it: through the window to whatever has the focus.
void KeyToFocus(frmWebBrowser& window, QWidget* focus, Qt::Key key) {
    window.activateWindow();
    focus->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(window.windowHandle(), key);
}

// Typed addresses in the list and not in it; the box has the focus, not its line edit.
TEST_F(BrowserWindowTest, EnterAndGoRunTheSameCommandOnARefusedAddress) {
    AddWebsites({"http://a.com", "http://b.com"});
    AddBrowserUser({.login = "ann"});
    Assign("ann", {"http://a.com"});
    LogIn("ann");
    const std::pair<const char*, std::function<void(frmWebBrowser&, QComboBox*)>> ways[] = {
        {"Return", [](frmWebBrowser& w, QComboBox* box) { KeyToFocus(w, box, Qt::Key_Return); }},
        {"Enter", [](frmWebBrowser& w, QComboBox* box) { KeyToFocus(w, box, Qt::Key_Enter); }},
        {"Go", [](frmWebBrowser& w, QComboBox*) { w.findChild<QAction*>(QStringLiteral("Go"))->trigger(); }},
    };
    for (const std::string typed : {"http://c.com/x", "http://b.com"}) {
        for (const auto& [name, press] : ways) {
            SCOPED_TRACE(std::string(name) + " " + typed);
            std::filesystem::remove(Path("websiteslog.sec"));
            auto box = ScriptedMsgBox::Install();
            frmWebBrowser& w = OpenWindow();
            auto* address = Child<QComboBox>(&w, "cboAddress");
            address->setEditText(QString::fromStdString(typed));
            press(w, address);
            ASSERT_EQ(box->Count(), 1);
            EXPECT_EQ(box->Last().prompt, GetMessageText(425, 0, typed));
            EXPECT_EQ(Child<QLabel>(&w, "Panel1")->text().toStdString(), GetMessageText(105) + ": " + GetMessageText(165));
            EXPECT_EQ(LogLines(), (std::vector<LogLine>{{"ann", typed, "URL DENIED"}}));
            w.close();
        }
    }
}

// Typed with real keys: what was typed runs, once, whatever entries it begins; the focus then
// leaving the box (to the page, or to a message box) runs nothing more. A pick from the list
// still runs its entry.
TEST_F(BrowserWindowTest, TheBoxRunsExactlyWhatWasTypedOncePerEnterAndAListPickRunsItsEntry) {
    const std::string school = "http://s.com/school/";
    AddWebsites({school.c_str(), "http://s.com/school/page2.html", "http://s.com/schoolgames/"});
    AddBrowserUser({.login = "ann"});
    Assign("ann", {school.c_str()});
    LogIn("ann");
    const struct {
        std::string typed;
        std::vector<std::string> navigations;
        int messages;
    } rows[] = {
        {school, {school}, 0},
        {"http://s.com/school", {}, 1},
        {"http://s.com/schoolgames/", {}, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        std::filesystem::remove(Path("websiteslog.sec"));
        auto box = ScriptedMsgBox::Install();
        frmWebBrowser& w = OpenWindow();
        auto* address = Child<QComboBox>(&w, "cboAddress");
        FakeControlWidget& control = FakeControlScope::Of(w);
        control.navigations.clear();
        w.activateWindow();
        address->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        QTest::keyClicks(address, QString::fromStdString(row.typed));
        EXPECT_EQ(address->currentText().toStdString(), row.typed);
        QTest::keyClick(w.windowHandle(), Qt::Key_Return);
        // A message box would take the focus; an allowed address gives it to the page.
        control.setFocus();
        QApplication::processEvents();
        EXPECT_EQ(control.navigations, row.navigations);
        EXPECT_EQ(box->Count(), row.messages);
        if (row.messages) EXPECT_EQ(box->Last().prompt, GetMessageText(425, 0, row.typed));
        EXPECT_EQ(LogLines().size(), 1u);
        w.close();
    }

    // A pick from the list runs its entry, once.
    auto box = ScriptedMsgBox::Install();
    frmWebBrowser& w = OpenWindow();
    auto* address = Child<QComboBox>(&w, "cboAddress");
    FakeControlWidget& control = FakeControlScope::Of(w);
    control.navigations.clear();
    address->showPopup();
    address->view()->setCurrentIndex(address->model()->index(address->findText(QString::fromStdString(school)), 0));
    QTest::keyClick(address->view(), Qt::Key_Return);
    control.setFocus();
    QApplication::processEvents();
    EXPECT_EQ(control.navigations, std::vector<std::string>{school});
    EXPECT_EQ(box->Count(), 0);
}

// The engine's request returns at once; the probe runs from the event loop, and not at all
// once the window is gone.
TEST_F(BrowserWindowTest, APagesNewWindowIsProbedOnlyAfterTheRequestReturned) {
    AddBrowserUser({.login = "boss", .administrator = true});
    LogIn("boss");
    for (bool deleteFirst : {false, true}) {
        SCOPED_TRACE(deleteFirst);
        probed.clear();
        probeAnswer = false;
        QPointer<frmWebBrowser> w = &OpenWindow();
        bool cancel = false;
        w->Controller().brwWebBrowser_NewWindow2("http://popup.com/", cancel);
        EXPECT_TRUE(cancel);
        EXPECT_TRUE(probed.empty());
        if (deleteFirst) delete w.data();
        QApplication::processEvents();
        EXPECT_EQ(probed, deleteFirst ? std::vector<std::string>{} : std::vector<std::string>{"http://popup.com/"});
    }
}

TEST_F(BrowserWindowTest, AllBrowserWindowsShareOneSetOfMetricsAndTheLastClosedWins) {
    frmWebBrowser& first = OpenWindow();
    frmWebBrowser& second = OpenWindow();
    first.resize(700, 500);
    second.resize(640, 420);
    QApplication::processEvents();
    second.close();
    first.close();
    frmWebBrowser& third = OpenWindow();
    EXPECT_EQ(third.size(), QSize(700, 500));
}

// Help > Read Me and the help file open with the desktop's program for them,
// started directly once the open check allowed it; a refusal starts nothing.
TEST_F(BrowserWindowTest, ReadMeAndTheHelpFileOpenOnlyWithAProgramTheCheckAllows) {
    test_support::ScratchDesktop desktop;
    const std::string viewer = desktop.Program("viewer");
    desktop.Application("viewer.desktop", viewer + " %U");
    std::vector<std::vector<std::string>> started;
    SetSpawnFunction([&](const std::vector<std::string>& argv, const std::string&) {
        started.push_back(argv);
        return 42;
    });
    bool allowed = true;
    std::vector<std::string> asked;
    test_support::DesktopOpenCheckScope check([&](const std::string& program) {
        asked.push_back(program);
        // A refusal is the check's to tell.
        if (!allowed) ShowMsgBox("refused", kMsgExclamation | kMsgOkOnly, "Corvane");
        return allowed;
    });
    auto box = ScriptedMsgBox::Install();
    frmWebBrowser& w = OpenWindow();
    w.mnuHelpItem_Click(5);
    // Without a help file the help items do nothing.
    for (int item : {0, 1, 2, 3}) w.mnuHelpItem_Click(item);
    EXPECT_TRUE(started.empty());  // no Readme.txt yet
    EXPECT_TRUE(asked.empty());

    const std::string readMe = Path("Readme.txt");
    const std::string help = Path(kHelpFileName);
    WriteFile(readMe, "read me");
    WriteFile(help, "help");
    for (const auto& file : {readMe, help})
        for (const auto& type : DocumentTypes(file)) desktop.Associate(type, "viewer.desktop");
    w.mnuHelpItem_Click(5);
    w.mnuHelpItem_Click(0);
    EXPECT_EQ(started, (std::vector<std::vector<std::string>>{{viewer, readMe}, {viewer, help}}));
    EXPECT_EQ(box->Count(), 0);

    allowed = false;
    w.mnuHelpItem_Click(5);
    w.mnuHelpItem_Click(0);
    EXPECT_EQ(started.size(), 2u);
    ASSERT_EQ(box->Count(), 2);  // the check's refusals, nothing of the window's own
    EXPECT_EQ(box->Last().prompt, "refused");
    EXPECT_EQ(asked, std::vector<std::string>(4, viewer));
    SetSpawnFunction(nullptr);
}

TEST_F(BrowserWindowTest, FileAndEditItemsIssueTheControlsCommands) {
    frmWebBrowser& w = OpenWindow();
    for (int i = 0; i < 7; ++i) w.mnuEditItem_Click(i);
    for (int i = 0; i < 6; ++i) w.mnuFileItem_Click(i);
    using C = std::pair<OleCommandId, OleCommandOption>;
    EXPECT_EQ(FakeControlScope::Of(w).commands,
              (std::vector<C>{{OLECMDID_CUT, OLECMDEXECOPT_DODEFAULT}, {OLECMDID_COPY, OLECMDEXECOPT_DODEFAULT},
                              {OLECMDID_PASTE, OLECMDEXECOPT_DODEFAULT}, {OLECMDID_SELECTALL, OLECMDEXECOPT_DODEFAULT},
                              {OLECMDID_FIND, OLECMDEXECOPT_PROMPTUSER}, {OLECMDID_SAVE, OLECMDEXECOPT_PROMPTUSER},
                              {OLECMDID_SAVEAS, OLECMDEXECOPT_PROMPTUSER}, {OLECMDID_PAGESETUP, OLECMDEXECOPT_PROMPTUSER},
                              {OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER}}));
    QPointer<frmWebBrowser> guard(&w);
    w.mnuFileItem_Click(6);
    EXPECT_FALSE(guard && guard->isVisible());
}

TEST_F(BrowserWindowTest, SupportAndTheMakersPagesOpenNewWindowsAtTheirAddresses) {
    RegisterWindowFactory(QStringLiteral("frmWebBrowser"), [] { return new frmWebBrowser; },
                          [](QWidget* window, const char* name, const QVariant& value) {
                              if (qstrcmp(name, "StartingAddress") == 0)
                                  static_cast<frmWebBrowser*>(window)->Controller().StartingAddress =
                                      value.toString().toStdString();
                          });
    // Somebody whose websites are not enforced: with "Require Login" on and no user's record,
    // every page would be refused.
    AddBrowserUser({.login = "free", .enforceWebsites = false});
    LogIn("free");
    frmWebBrowser& w = OpenWindow();
    w.mnuHelpItem_Click(6);
    w.mnuHelpItem_Click(7);
    std::vector<std::string> opened;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<frmWebBrowser*>(top); b && b != &w && b->isVisible()) {
            opened.push_back(FakeControlScope::Of(*b).navigations.back());
            windows_.push_back(b);
        }
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(opened, (std::vector<std::string>{kMakerHomeAddress, kMakerSupportAddress}));
}

// The engine's addresses as the window hears them: a host the URL class rejects keeps the
// text the engine gave, never "" (which would read as no address at all).
TEST(EngineAddressText, AnAddressTheUrlClassRejectsKeepsTheEnginesText) {
    const std::string longLabel = "http://" + std::string(64, 'a') + ".localhost:8080/secret/";
    for (const std::string& text : {std::string("http://x-.localhost:8080/secret/?a=%22b#f"),
                                    std::string("http://-x.localhost:8080/secret/"),
                                    std::string("http://a..localhost:8080/secret/"), longLabel}) {
        const QUrl url = QUrl::fromEncoded(QByteArray::fromStdString(text));
        ASSERT_FALSE(url.isValid()) << text;
        EXPECT_EQ(EngineAddressText(url), text);
    }
    EXPECT_EQ(EngineAddressText(QUrl(QStringLiteral("http://a_b.localhost:8080/x"))), "http://a_b.localhost:8080/x");
    EXPECT_EQ(EngineAddressText(QUrl(QStringLiteral("about:blank"))), "about:blank");
    EXPECT_EQ(EngineAddressText(QUrl()), "");
}

// Whatever the environment asks, the engine's sandbox is off for root alone.
TEST(EngineSandbox, StaysOnUnlessTheProgramRunsAsRoot) {
    auto variable = [](const char* name) -> std::string {
        const char* v = std::getenv(name);
        return v ? v : "<unset>";
    };
    const std::string disable = variable("QTWEBENGINE_DISABLE_SANDBOX");
    const std::string flags = variable("QTWEBENGINE_CHROMIUM_FLAGS");
    for (bool root : {false, true}) {
        SCOPED_TRACE(root);
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
        ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu --no-sandbox", 1);
        SetEngineSandbox(root);
        EXPECT_EQ(variable("QTWEBENGINE_DISABLE_SANDBOX"), root ? "1" : "<unset>");
        EXPECT_EQ(variable("QTWEBENGINE_CHROMIUM_FLAGS"), root ? "--no-sandbox --disable-gpu --no-sandbox" : "--disable-gpu");
    }
    ::unsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    SetEngineSandbox(false);
    EXPECT_EQ(variable("QTWEBENGINE_CHROMIUM_FLAGS"), "<unset>");
    auto restore = [](const char* name, const std::string& value) {
        if (value == "<unset>") ::unsetenv(name);
        else ::setenv(name, value.c_str(), 1);
    };
    restore("QTWEBENGINE_DISABLE_SANDBOX", disable);
    restore("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

// A page's file pickers are switched off whatever flags are set, one switch naming every feature.
TEST(EngineSandbox, ThePagesFilePickersAreSwitchedOffBesideAnyOtherFlags) {
    const char* kept = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const std::string saved = kept ? kept : "";
    const std::string pickers = "FileSystemAccessLocal,FileSystemAccessAPIExperimental,FileSystemAccess";
    const struct {
        const char* before;  // nullptr: unset
        std::string after;
    } rows[] = {
        {nullptr, "--disable-blink-features=" + pickers},
        {"--disable-gpu --single-process", "--disable-gpu --single-process --disable-blink-features=" + pickers},
        {"--disable-blink-features=Foo --disable-gpu", "--disable-gpu --disable-blink-features=" + pickers + ",Foo"},
    };
    for (const auto& row : rows) {
        if (row.before) ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", row.before, 1);
        else ::unsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        SwitchOffPageFilePickers();
        EXPECT_STREQ(std::getenv("QTWEBENGINE_CHROMIUM_FLAGS"), row.after.c_str()) << (row.before ? row.before : "unset");
    }
    if (kept) ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", saved.c_str(), 1);
    else ::unsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
}

}  // namespace
}  // namespace corvane::testing
