// The secure console window: its list, status bar, commands, launches,
// no-cancel mode and metrics.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QItemSelectionModel>
#include <QPointer>
#include <QScreen>
#include <QSpontaneKeyEvent>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <map>
#include <memory>

#include "console_test_support.h"
#include "logs/current_user.h"
#include "session/console/console_list_view.h"
#include "session/console/console_windows.h"
#include "session/console/frm_secure_console.h"
#include "session/launchers/launchers.h"
#include "session/launchers/session_entry_points.h"
#include "session/launchers/window_factories.h"
#include "support/services_scope.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane {
namespace {

using namespace testing;

// A modal window that notes what the tray icon showed while it was up and
// closes itself.
class NotingDialog : public QDialog {
public:
    explicit NotingDialog(std::function<void()> onShow) : onShow_(std::move(onShow)) {}

protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        onShow_();
        QTimer::singleShot(0, this, &QDialog::reject);
    }

private:
    std::function<void()> onShow_;
};

class ConsoleWindowTest : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        gCannotCancelSecureConsole = false;
        services = std::make_unique<test::ServicesScope>(ui::UiServices{
            .getUserSetting =
                [this](const std::string& section, const std::string& key, const std::string& fallback) {
                    reads.push_back(key);
                    const auto it = stored.find(section + "|" + key);
                    return it == stored.end() ? fallback : it->second;
                },
            .saveUserSetting =
                [this](const std::string& section, const std::string& key, const std::string& value) {
                    writes.push_back(key);
                    stored[section + "|" + key] = value;
                },
        });
        SetSessionEntryPoints({
            [this] { return authenticated; },
            [this] {
                calls.push_back("Authenticate");
                if (onAuthenticate) onAuthenticate();
            },
            [this] {
                calls.push_back("LogOFF");
                UnloadSecureConsole();
            },
            [this](bool on) { calls.push_back(on ? "tray on" : "tray off"); },
        });
        RegisterConsoleWindows();
        for (const char* name : {"frmMainOptions", "frmSecurity", "frmChangePassword"})
            RegisterWindowFactory(QString::fromLatin1(name), [this, name] {
                return new NotingDialog([this, name] { calls.push_back(name); });
            });
        RegisterWindowFactory(QStringLiteral("frmWebBrowser"), [this] {
            calls.push_back("frmWebBrowser");
            return new QWidget;
        });
    }
    void TearDown() override {
        UnloadSecureConsole();
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const char* name : {"frmMainOptions", "frmSecurity", "frmChangePassword", "frmWebBrowser"})
            RegisterWindowFactory(QString::fromLatin1(name), nullptr);
        frmSecureConsole::SetIconExtractor(nullptr);
        SetSessionEntryPoints({});
        services.reset();
        gCannotCancelSecureConsole = false;
        ConsoleTest::TearDown();
    }

    // The console as the launcher opens it, built.
    frmSecureConsole* Open() {
        ShowSecureConsole(0);
        auto* console = qobject_cast<frmSecureConsole*>(SharedWindow(QStringLiteral("frmSecureConsole")).data());
        EXPECT_NE(console, nullptr);
        return console;
    }
    static std::vector<std::string> Texts(frmSecureConsole* console) {
        std::vector<std::string> texts;
        for (int row = 0; row < console->lsvItems()->Items()->rowCount(); ++row)
            texts.push_back(console->ItemAt(row).text);
        return texts;
    }
    static int Row(frmSecureConsole* console, const std::string& text) {
        for (int row = 0; row < console->lsvItems()->Items()->rowCount(); ++row)
            if (console->ItemAt(row).text == text) return row;
        ADD_FAILURE() << text << " is not listed";
        return -1;
    }

    std::unique_ptr<test::ServicesScope> services;
    std::map<std::string, std::string> stored;
    std::vector<std::string> reads, writes, calls;
    bool authenticated = false;
    std::function<void()> onAuthenticate;
};

TEST_F(ConsoleWindowTest, TheFirstShowBuildsTheListAndTheStatusBar) {
    auto* console = new frmSecureConsole;
    EXPECT_TRUE(console->FormLoad());
    EXPECT_EQ(console->lsvItems()->Items()->rowCount(), 0);
    console->show();
    EXPECT_FALSE(console->FormLoad());
    EXPECT_EQ(console->windowTitle(), "Corvane Standard - Secure Console");
    EXPECT_EQ(Texts(console), (std::vector<std::string>{"Web Browser", "Corvane", "Options"}));
    EXPECT_EQ(console->lsvItems()->Items()->headerData(0, Qt::Horizontal).toString(), "Name");
    EXPECT_EQ(console->lsvItems()->Items()->headerData(1, Qt::Horizontal).toString(), "Description");
    EXPECT_EQ(console->Panel(1)->text(), "3 Items");
    EXPECT_EQ(console->Panel(2)->text(), "User: Anonymous");
    EXPECT_TRUE(console->Panel(3)->text().isEmpty());
    EXPECT_TRUE(console->Panel(4)->text().startsWith("Computer: "));
    EXPECT_FALSE(console->IsDirty());
    EXPECT_FALSE(console->Cancelled());

    // SetLanguage empties the list; LoadData keeps the columns it finds.
    console->SetLanguage();
    console->RefreshStatusBar();
    EXPECT_EQ(console->Panel(1)->text(), "0 Items");
    EXPECT_FALSE(console->ItemSelected());
    console->lsvItems()->Report()->header()->resizeSection(0, 77);
    authenticated = true;
    LogIn("nobody-on-file");
    console->LoadData();
    EXPECT_EQ(Texts(console), (std::vector<std::string>{"Log Off"}));
    EXPECT_EQ(console->Panel(1)->text(), "1 Item");
    EXPECT_EQ(console->Panel(2)->text(), "User: nobody-on-file");
    EXPECT_EQ(console->lsvItems()->ColumnCount(), 2);
    delete console;
}

TEST_F(ConsoleWindowTest, KeysMouseAndPopUpMenu) {
    AddAccount("ann", {.internet = true});
    authenticated = true;
    LogIn("ann");
    frmSecureConsole* console = Open();
    ASSERT_NE(console, nullptr);
    QTreeView* report = console->lsvItems()->Report();
    QListView* icons = console->lsvItems()->Icons();

    // Nothing selected: Enter does nothing.
    QTest::keyClick(icons, Qt::Key_Return);
    EXPECT_TRUE(calls.empty());

    // Enter and a double click launch the selected item.
    console->lsvItems()->SelectRow(Row(console, "Web Browser"));
    QTest::keyClick(icons, Qt::Key_Return);
    EXPECT_EQ(calls, (std::vector<std::string>{"frmWebBrowser"}));
    console->lsvItems()->SetView(ConsoleListView::kReport);
    const QRect cell = report->visualRect(console->lsvItems()->Items()->index(0, 0));
    QTest::mouseDClick(report->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(calls.size(), 2u);

    // F5 rebuilds on its release: the password right withdrawn since goes.
    const std::vector<std::string> before{"Web Browser", "Change Password", "Log Off"};
    EXPECT_EQ(Texts(console), before);
    {
        User user;
        ASSERT_TRUE(user.Load("ann"));
        user.SetPasswordCannotChange(-1);
        user.SaveChanges();
    }
    QTest::keyPress(report, Qt::Key_F5);
    EXPECT_EQ(Texts(console), before);
    QTest::keyRelease(report, Qt::Key_F5);
    EXPECT_EQ(Texts(console), (std::vector<std::string>{"Web Browser", "Log Off"}));

    // The pop-up: Select is its default and launches; Refresh rebuilds.
    QMenu* menu = console->mnuPopUp();
    EXPECT_EQ(menu->defaultAction(), console->mnuPopUpItem(0));
    EXPECT_EQ(console->mnuPopUpItem(0)->text(), "Select");
    EXPECT_EQ(console->mnuPopUpItem(1)->text(), "Refresh");
    EXPECT_TRUE(console->mnuPopUpItem(2)->isSeparator());
    EXPECT_EQ(console->mnuPopUpItem(3)->text(), "Cancel");
    QTest::mouseRelease(report->viewport(), Qt::RightButton, {}, cell.center());
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    calls.clear();
    console->lsvItems()->SelectRow(Row(console, "Web Browser"));
    console->mnuPopUpItem(3)->trigger();
    EXPECT_TRUE(calls.empty());
    console->mnuPopUpItem(0)->trigger();
    EXPECT_EQ(calls, (std::vector<std::string>{"frmWebBrowser"}));
}

TEST_F(ConsoleWindowTest, ToolBarViewsAndHeaderClicksThatFlipTheOrder) {
    frmSecureConsole* console = Open();
    ASSERT_NE(console, nullptr);
    QToolBar* toolbar = console->Toolbar1();
    ASSERT_EQ(toolbar->actions().size(), 9);
    EXPECT_TRUE(console->ToolButton(6)->isSeparator());
    EXPECT_TRUE(console->ToolButton(8)->isSeparator());
    EXPECT_EQ(console->ToolButton(9)->objectName(), "Exit");
    for (int view : {3, 2, 1, 0}) {
        console->ToolButton(view + 1)->trigger();
        EXPECT_EQ(console->lsvItems()->View(), view);
    }
    EXPECT_EQ(console->lsvItems()->Shown(), console->lsvItems()->Icons());
    console->ToolButton(4)->trigger();
    EXPECT_EQ(console->lsvItems()->Shown(), console->lsvItems()->Report());

    QHeaderView* header = console->lsvItems()->Report()->header();
    const std::vector<std::string> ascending{"Corvane", "Options", "Web Browser"};
    const std::vector<std::string> descending{"Web Browser", "Options", "Corvane"};
    for (const auto& expected : {ascending, descending, ascending}) {
        emit header->sectionClicked(0);
        EXPECT_EQ(Texts(console), expected);
    }
    // The description column: "Corvane Basic Options" < "Secure Internet Browser" < "User Management…".
    // The order flips whichever column is clicked.
    emit header->sectionClicked(1);
    EXPECT_EQ(Texts(console), (std::vector<std::string>{"Corvane", "Web Browser", "Options"}));
    emit header->sectionClicked(1);
    EXPECT_EQ(Texts(console), (std::vector<std::string>{"Options", "Web Browser", "Corvane"}));

    // Exit closes the console.
    QPointer<frmSecureConsole> guard(console);
    console->ToolButton(9)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(ConsoleWindowTest, ModalWindowsRunWithTheTrayIconDisabledAndLogOffClosesTheConsole) {
    AddAccount("root", {.administrator = true});
    authenticated = true;
    LogIn("root");
    frmSecureConsole* console = Open();
    ASSERT_NE(console, nullptr);
    for (const char* item : {"Options", "Security", "Change Password"}) {
        console->lsvItems()->SelectRow(Row(console, item));
        console->LaunchSelected();
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"tray off", "frmMainOptions", "tray on", "tray off", "frmSecurity",
                                               "tray on", "tray off", "frmChangePassword", "tray on"}));

    calls.clear();
    QPointer<frmSecureConsole> guard(console);
    console->lsvItems()->SelectRow(Row(console, "Log Off"));
    console->LaunchSelected();
    EXPECT_EQ(calls, (std::vector<std::string>{"LogOFF"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(ConsoleWindowTest, ALaunchThatNeedsALoginStartsNothingFromEitherConsole) {
    const std::string calc = Executable("calc");
    AddAccount("ann", {.internet = true, .programs = true});
    AddCatalogueProgram(calc, "Calculator");
    Assign("ann", calc);
    gRequireLogin = false;
    frmSecureConsole* first = Open();
    ASSERT_NE(first, nullptr);
    gRequireLogin = true;
    first->lsvItems()->SelectRow(Row(first, "Web Browser"));

    // The login closes every console and opens a fresh one with a selection.
    QPointer<frmSecureConsole> fresh;
    onAuthenticate = [&] {
        authenticated = true;
        LogIn("ann");
        fresh = Open();
        fresh->lsvItems()->SelectRow(Row(fresh, "calc"));
    };
    QPointer<frmSecureConsole> guard(first);
    first->LaunchSelected();
    EXPECT_EQ(calls, (std::vector<std::string>{"Authenticate"}));
    EXPECT_TRUE(starts.empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    ASSERT_FALSE(fresh.isNull());

    // The fresh console launches its own selection.
    fresh->RunSelectedProgram();
    EXPECT_EQ(starts, (std::vector<std::vector<std::string>>{{calc}}));
}

TEST_F(ConsoleWindowTest, ProgramPicturesFallBackPerSizeAndAreTakenOncePerFile) {
    const std::string calc = Executable("calc"), edit = Executable("edit");
    AddAccount("ann", {.passwordCannotChange = true, .programs = true});
    AddCatalogueProgram(calc, "");
    AddCatalogueProgram(edit, "");
    Assign("ann", calc);
    Assign("ann", edit);
    authenticated = true;
    LogIn("ann");
    int asked = 0;
    // calc has only a large icon; edit has both.
    frmSecureConsole::SetIconExtractor([&](const std::string& file, QList<QIcon>* list, QLabel*, int& pixels) {
        ++asked;
        if (file == calc && pixels == 16) return 0;
        list->append(QIcon());
        return static_cast<int>(list->size());
    });
    frmSecureConsole* console = Open();
    ASSERT_NE(console, nullptr);
    const auto pictures = [&](const std::string& text) {
        const QStandardItem* item = console->lsvItems()->Items()->item(Row(console, text), 0);
        return std::pair(item->data(kConsoleSmallPictureRole).toInt(), item->data(kConsoleLargePictureRole).toInt());
    };
    EXPECT_EQ(pictures("calc"), std::pair(35, 38));
    EXPECT_EQ(pictures("edit"), std::pair(38, 39));
    const int logOff = console->SmallIcons().Index("way out");
    EXPECT_GT(logOff, 0);
    EXPECT_EQ(pictures("Log Off"), std::pair(logOff, console->LargeIcons().Index("way out")));
    EXPECT_EQ(console->SmallIcons().keys.at(34), "");
    EXPECT_EQ(asked, 4);
    console->LoadData();
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(pictures("edit"), std::pair(38, 39));
}

TEST_F(ConsoleWindowTest, NoCancelModeLeavesOnlyTheLogOff) {
    gCannotCancelSecureConsole = true;
    stored["Form Metrics\\frmSecureConsole|WindowState"] = "2";
    AddAccount("ann", {});
    authenticated = true;
    LogIn("ann");
    frmSecureConsole* console = Open();
    ASSERT_NE(console, nullptr);
    EXPECT_FALSE(console->ToolButton(9)->isVisible());
    EXPECT_FALSE(console->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(console->windowFlags().testFlag(Qt::WindowCloseButtonHint));

    QCloseEvent fromUser;
    QSpontaneKeyEvent::setSpontaneous(&fromUser);
    QCoreApplication::instance()->notify(console, &fromUser);
    EXPECT_FALSE(fromUser.isAccepted());
    EXPECT_TRUE(console->isVisible());

    QPointer<frmSecureConsole> guard(console);
    console->lsvItems()->SelectRow(Row(console, "Log Off"));
    console->LaunchSelected();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST_F(ConsoleWindowTest, MetricsRoundTripInTheirOrder) {
    frmSecureConsole* console = Open();
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(console->lsvItems()->View(), ConsoleListView::kLargeIcons);
    const std::vector<std::string> order{"List View", "Height", "Width", "Top", "Left", "WindowState"};
    EXPECT_EQ(reads, order);
    console->ToolButton(4)->trigger();
    console->resize(500, 320);
    console->move(40, 30);
    reads.clear();
    UnloadSecureConsole();
    EXPECT_EQ(writes, order);
    EXPECT_EQ(stored["Form Metrics\\frmSecureConsole|List View"], "3");

    frmSecureConsole* again = Open();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(reads, order);
    EXPECT_EQ(again->lsvItems()->View(), ConsoleListView::kReport);
    EXPECT_EQ(again->size(), QSize(500, 320));

    // Values that are not numbers keep the window as designed.
    UnloadSecureConsole();
    stored.clear();
    const frmSecureConsole reference;
    for (const auto& name : order) stored["Form Metrics\\frmSecureConsole|" + name] = "wide";
    const frmSecureConsole designed;
    EXPECT_EQ(designed.lsvItems()->View(), ConsoleListView::kLargeIcons);
    EXPECT_EQ(designed.size(), reference.size());
    EXPECT_EQ(designed.pos(), reference.pos());
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

using namespace testing;

// The console as a person meets it: shown, active, driven by real clicks
// and keys on the view that is on screen.
class ConsoleInputTest : public ConsoleWindowTest {
protected:
    frmSecureConsole* OpenActive() {
        frmSecureConsole* console = Open();
        if (console) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(console));
        }
        return console;
    }
    static QAbstractItemView* Shown(frmSecureConsole* console) {
        return qobject_cast<QAbstractItemView*>(console->lsvItems()->Shown());
    }
    static QPoint CentreOf(frmSecureConsole* console, int row) {
        QAbstractItemView* view = Shown(console);
        view->doItemsLayout();
        return view->visualRect(console->lsvItems()->Items()->index(row, 0)).center();
    }
};

TEST_F(ConsoleInputTest, EnterAndADoubleClickLaunchTheSelectedItemInEveryView) {
    AddAccount("ann", {.internet = true});
    authenticated = true;
    LogIn("ann");
    frmSecureConsole* console = OpenActive();
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(console->lsvItems()->View(), ConsoleListView::kLargeIcons);
    const int browser = Row(console, "Web Browser");
    const int password = Row(console, "Change Password");
    for (int view : {ConsoleListView::kLargeIcons, ConsoleListView::kSmallIcons, ConsoleListView::kList,
                     ConsoleListView::kReport}) {
        SCOPED_TRACE(view);
        // The modal window of the last round gave the activation away.
        console->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(console));
        console->ToolButton(view + 1)->trigger();
        QAbstractItemView* shown = Shown(console);
        ASSERT_TRUE(shown->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), shown);

        calls.clear();
        QTest::mouseClick(shown->viewport(), Qt::LeftButton, {}, CentreOf(console, browser));
        EXPECT_EQ(console->lsvItems()->SelectedRow(), browser);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(calls, (std::vector<std::string>{"frmWebBrowser"}));

        // A double click straight onto another item launches that one.
        calls.clear();
        QTest::mouseDClick(shown->viewport(), Qt::LeftButton, {}, CentreOf(console, password));
        EXPECT_EQ(calls, (std::vector<std::string>{"tray off", "frmChangePassword", "tray on"}));
        EXPECT_EQ(console->lsvItems()->SelectedRow(), password);
    }

    // The item picked in one view is the one selected in every other.
    console->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(console));
    console->ToolButton(1)->trigger();
    QTest::mouseClick(Shown(console)->viewport(), Qt::LeftButton, {}, CentreOf(console, browser));
    console->ToolButton(4)->trigger();
    const QModelIndexList rows = console->lsvItems()->Report()->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.first().row(), browser);
    calls.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_EQ(calls, (std::vector<std::string>{"frmWebBrowser"}));
}

TEST_F(ConsoleInputTest, WhereTheConsoleIsTheWayInExitOnlyPutsItAside) {
    SetConsoleIsTheWayIn(true);
    frmSecureConsole* console = OpenActive();
    ASSERT_NE(console, nullptr);
    QPointer<frmSecureConsole> guard(console);
    console->ToolButton(9)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetConsoleIsTheWayIn(false);
    ASSERT_FALSE(guard.isNull());
    EXPECT_TRUE(console->isVisible());
    EXPECT_TRUE(console->isMinimized());
}

// The console opened for the first time on a small screen, and again with a
// place saved on a screen that is gone.
TEST_F(ConsoleInputTest, AFirstOpeningIsCentredWholeAndWideEnoughForEveryColumn) {
    AddAccount("root", {.administrator = true});
    authenticated = true;
    LogIn("root");
    frmSecureConsole* console = OpenActive();
    ASSERT_NE(console, nullptr);
    const QRect area = console->screen()->availableGeometry();
    const QRect frame = console->frameGeometry();
    EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                      << frame.height();
    // Centred, give or take the frame that is only guessed before it shows.
    EXPECT_LE(std::abs(frame.center().x() - area.center().x()), 16);
    EXPECT_LE(std::abs(frame.center().y() - area.center().y()), 16);

    console->ToolButton(4)->trigger();
    QTreeView* report = console->lsvItems()->Report();
    const QFontMetrics metrics(report->font());
    for (int row = 0; row < console->lsvItems()->Items()->rowCount(); ++row) {
        const QString description = console->lsvItems()->Items()->index(row, 1).data().toString();
        EXPECT_GE(report->columnWidth(1), metrics.horizontalAdvance(description)) << description.toStdString();
    }
    EXPECT_LE(report->columnWidth(0) + report->columnWidth(1), report->viewport()->width());

    UnloadSecureConsole();
    stored["Form Metrics\\frmSecureConsole|Left"] = "-90000";
    stored["Form Metrics\\frmSecureConsole|Top"] = "90000";
    frmSecureConsole* again = OpenActive();
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(area.contains(again->geometry()))
        << again->x() << "," << again->y() << " " << again->width() << "x" << again->height() << " in "
        << area.x() << "," << area.y() << " " << area.width() << "x" << area.height() << " " << again->pos().y() << " state " << again->windowState();
}

}  // namespace
}  // namespace corvane
