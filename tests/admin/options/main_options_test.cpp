#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "admin/options/frm_directory.h"
#include "admin/options/frm_main_options.h"
#include "support/x11_window_states.h"
#include "admin/options/options_test_support.h"
#include "admin/options/options_windows.h"
#include "lockdown/lockdown_options.h"
#include "lockdown/lockdown_store.h"
#include "platform/core/error_trap.h"
#include "platform/core/program_globals.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "session/launchers/window_factories.h"
#include "session/shell/start_up_with_windows.h"
#include "support/temp_folder.h"
#include "ui/ui_test_support.h"

using namespace corvane;

namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class QuietAutostart : public AutostartEntry {
public:
    void Write(bool, const std::string&) override {}
};

// Every lockdown option reads as the same text.
class TextLockdownStore : public LockdownStore {
public:
    explicit TextLockdownStore(std::string text) : text_(std::move(text)) {}
    bool WritePolicyValue(std::string_view, std::string_view, std::uint32_t) override { return true; }
    std::string ReadPolicyValue(std::string_view, std::string_view, std::string_view) override { return text_; }
    bool SaveMachineValue(std::string_view, std::string_view, std::string_view) override { return true; }
    std::string GetMachineValue(std::string_view, std::string_view, std::string_view) override { return text_; }

private:
    std::string text_;
};

struct Options {
    bool console, remember, cannotCancel, onTop, startUp, requireLogin, hideDesktop, actionAfterLogout;
    std::int32_t logoutAction;
    std::string dataPath;
};

void SetGlobals(const Options& o) {
    gAlwaysShowSecureConsole = o.console;
    gRememberLastLogin = o.remember;
    gCannotCancelLogin = o.cannotCancel;
    gLoginAlwaysOnTop = o.onTop;
    gStartUpWithWindows = o.startUp;
    gRequireLogin = o.requireLogin;
    gHideDesktopDuringLogin = o.hideDesktop;
    gActionAfterLogout = o.actionAfterLogout;
    gLogoutAction = o.logoutAction;
    gDataPath = o.dataPath;
}

Options Globals() {
    return {gAlwaysShowSecureConsole, gRememberLastLogin, gCannotCancelLogin, gLoginAlwaysOnTop, gStartUpWithWindows,
            gRequireLogin, gHideDesktopDuringLogin, gActionAfterLogout, gLogoutAction, gDataPath};
}

bool operator==(const Options& a, const Options& b) {
    return a.console == b.console && a.remember == b.remember && a.cannotCancel == b.cannotCancel &&
           a.onTop == b.onTop && a.startUp == b.startUp && a.requireLogin == b.requireLogin &&
           a.hideDesktop == b.hideDesktop && a.actionAfterLogout == b.actionAfterLogout &&
           a.logoutAction == b.logoutAction && a.dataPath == b.dataPath;
}

std::string RunValue() { return ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Corvane", "(none)"); }

class MainOptions : public ::testing::Test {
protected:
    void SetUp() override {
        SetAutostartEntry(std::make_shared<QuietAutostart>());
        SetErrorHandler([this](const RaisedError& e, const std::string& place, int, int) {
            errors.push_back(place + " " + std::to_string(e.Number()));
            return kErrorResume;
        });
        gAnyLockdownOptionsSet = false;
        SetGlobals({false, false, false, false, false, true, false, false, 0, ""});
        WriteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Corvane", "stale", 1);
    }
    void TearDown() override {
        SetErrorHandler({});
        SetAutostartEntry(nullptr);
        SetLockdownStore(nullptr);
        gAnyLockdownOptionsSet = false;
    }

    static void Open(frmMainOptions& window) {
        window.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.FormLoad(); }, 10000));
    }
    template <typename T = QCheckBox>
    static T* Control(frmMainOptions& window, const char* name) {
        auto* control = window.findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    static void Press(frmMainOptions& window, const char* name) { Control<QPushButton>(window, name)->click(); }

    std::vector<std::string> errors;
};

TEST_F(MainOptions, StaysOffTheTaskBarAndThePager) {
    frmMainOptions window;
    test::ExpectOffTheTaskbar(&window);
}

TEST_F(MainOptions, TheTenSettingsComeInAndGoOutAndAFreshLoadReadsThemBack) {
    const Options rows[] = {
        {true, true, true, true, true, true, true, true, 2, "  /srv/data  "},
        {false, false, false, false, false, false, false, false, -1, ""},
        {true, false, true, false, false, true, false, true, 1, "\\\\srv\\share\\x"},
    };
    for (const auto& row : rows) {
        SetGlobals(row);
        frmMainOptions window;
        Open(window);
        EXPECT_EQ(Control(window, "chkRememberLastLogin")->isChecked(), row.remember);
        EXPECT_EQ(Control<QComboBox>(window, "cboLogoutAction")->currentIndex(), row.logoutAction);
        EXPECT_EQ(Control<QLineEdit>(window, "txtDataPath")->text().toStdString(), row.dataPath);
        EXPECT_FALSE(window.IsDirty());
        EXPECT_FALSE(Control<QPushButton>(window, "cmdApply")->isEnabled());
        SetGlobals({});
        Press(window, "cmdOK");
        Options expected = row;
        expected.dataPath = row.dataPath == "  /srv/data  " ? "/srv/data" : row.dataPath;
        EXPECT_TRUE(Globals() == expected);
        EXPECT_EQ(RunValue(), row.startUp ? ProgramPathName() : "");
        SetGlobals({});
        LoadGlobalSettings();
        EXPECT_TRUE(Globals() == expected) << "a fresh load reads back what OK saved";
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(MainOptions, ClicksChangeTheSettingsAndApplySavesOnlyWhenDirty) {
    frmMainOptions window;
    Open(window);
    Press(window, "cmdApply");
    EXPECT_EQ(RunValue(), "stale") << "a clean Apply saves nothing";
    Control(window, "chkStartWithWindows")->click();
    Control(window, "chkActionAfterLogout")->click();
    Control<QComboBox>(window, "cboLogoutAction")->setCurrentIndex(2);
    EXPECT_TRUE(Control<QPushButton>(window, "cmdApply")->isEnabled());
    Press(window, "cmdApply");
    EXPECT_FALSE(window.IsDirty());
    EXPECT_TRUE(gStartUpWithWindows);
    EXPECT_TRUE(gActionAfterLogout);
    EXPECT_EQ(gLogoutAction, 2);
    EXPECT_EQ(RunValue(), ProgramPathName());
    Control(window, "chkStartWithWindows")->click();
    Press(window, "cmdOK");
    EXPECT_FALSE(gStartUpWithWindows);
    EXPECT_EQ(RunValue(), "") << "cleared, the value stays with empty data";
}

TEST_F(MainOptions, CancelSavesNothingButTheStartupLockdownWritesTheRunValueAtOnce) {
    for (const bool lockdown : {false, true}) {
        WriteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Corvane", "stale", 1);
        gAnyLockdownOptionsSet = lockdown;
        const Options before = Globals();
        frmMainOptions window;
        Open(window);
        Control(window, "chkRememberLastLogin")->click();
        QTest::keyClick(&window, Qt::Key_Escape);
        EXPECT_TRUE(window.Cancelled());
        EXPECT_TRUE(window.isHidden());
        EXPECT_TRUE(Globals() == before);
        EXPECT_EQ(RunValue(), lockdown ? ProgramPathName() : "stale") << lockdown;
    }
}

TEST_F(MainOptions, UnderTheStartupLockdownTheBoxIsTickedAndGreyedAndDirtiesOnlyWhenChanged) {
    gAnyLockdownOptionsSet = true;
    for (const bool startUp : {false, true}) {
        gStartUpWithWindows = startUp;
        frmMainOptions window;
        Open(window);
        auto* box = Control(window, "chkStartWithWindows");
        EXPECT_TRUE(box->isChecked());
        EXPECT_FALSE(box->isEnabled());
        EXPECT_EQ(window.IsDirty(), !startUp);
        EXPECT_EQ(Control<QPushButton>(window, "cmdApply")->isEnabled(), !startUp);
    }
}

TEST_F(MainOptions, ATakenDesktopTaskBarOrStartButtonForcesTheConsoleOn) {
    for (const std::int32_t option : {5, 20, 21}) {
        ASSERT_TRUE(SetLockdownOption(option, true));
        gAlwaysShowSecureConsole = false;
        frmMainOptions window;
        Open(window);
        auto* box = Control(window, "chkAlwaysShowSecureConsole");
        EXPECT_TRUE(box->isChecked()) << option;
        EXPECT_FALSE(box->isEnabled()) << option;
        Press(window, "cmdOK");
        EXPECT_TRUE(gAlwaysShowSecureConsole) << option;
        SetLockdownOption(option, false);
    }
    frmMainOptions window;
    Open(window);
    EXPECT_TRUE(Control(window, "chkAlwaysShowSecureConsole")->isEnabled());
    EXPECT_TRUE(errors.empty());
}

TEST_F(MainOptions, BadStoredValuesAreReportedThroughTheLoadTrap) {
    const struct {
        std::int32_t logoutAction;
        const char* lockdownText;
        int shown;
        const char* error;
    } rows[] = {
        {-1, "0", -1, nullptr},
        {5, "0", -1, "frmMainOptions.LoadSettings 380"},
        {-2, "False", -1, "frmMainOptions.LoadSettings 380"},
        {1, "maybe", 1, "frmMainOptions.LoadSettings 13"},
        {2, "True", 2, nullptr},
    };
    for (const auto& row : rows) {
        errors.clear();
        gLogoutAction = row.logoutAction;
        SetLockdownStore(std::make_shared<TextLockdownStore>(row.lockdownText));
        frmMainOptions window;
        Open(window);
        EXPECT_EQ(Control<QComboBox>(window, "cboLogoutAction")->currentIndex(), row.shown) << row.logoutAction;
        EXPECT_EQ(errors, row.error ? std::vector<std::string>{row.error} : std::vector<std::string>{})
            << row.logoutAction << " " << row.lockdownText;
        EXPECT_FALSE(window.IsDirty());
        if (row.logoutAction == -1) {
            Press(window, "cmdOK");
            EXPECT_EQ(gLogoutAction, -1);
        }
    }
}

TEST_F(MainOptions, SelectAllClearAllAndRequireLogin) {
    gActionAfterLogout = false;
    gLogoutAction = 1;
    gRememberLastLogin = true;
    frmMainOptions window;
    Open(window);
    const char* loginBoxes[] = {"chkRememberLastLogin", "chkLoginAlwaysOnTop", "chkCannotCancelLogin",
                                "chkHideDesktopDuringLogin", "chkActionAfterLogout"};
    auto* list = Control<QComboBox>(window, "cboLogoutAction");
    EXPECT_TRUE(list->isEnabled()) << "login required: the list is enabled whatever the box shows";
    for (const bool all : {true, false}) {
        Press(window, all ? "cmdSelectAllLoginOptions" : "cmdUnSelectAllLoginOptions");
        for (const char* name : loginBoxes) EXPECT_EQ(Control(window, name)->isChecked(), all) << name;
        EXPECT_EQ(list->isEnabled(), all);
        EXPECT_EQ(list->currentIndex(), 1);
        EXPECT_TRUE(window.IsDirty());
    }
    Press(window, "cmdSelectAllLoginOptions");
    Control(window, "chkRequireLogin")->click();
    for (const char* name : loginBoxes) {
        EXPECT_FALSE(Control(window, name)->isEnabled()) << name;
        EXPECT_TRUE(Control(window, name)->isChecked()) << name;
    }
    EXPECT_FALSE(list->isEnabled());
    Press(window, "cmdOK");
    EXPECT_FALSE(gRequireLogin);
    EXPECT_TRUE(gRememberLastLogin && gLoginAlwaysOnTop && gCannotCancelLogin && gHideDesktopDuringLogin &&
                gActionAfterLogout);
}

TEST_F(MainOptions, ThePickerOpensAtTheBoxTextAndOnlyItsAnswerChangesTheBox) {
    test_support::TempFolder folder;
    gDataPath = folder.Path();
    frmMainOptions window;
    Open(window);
    test::OnNextModal<frmDirectory>([&](frmDirectory* picker) {
        EXPECT_EQ(picker->OpenFolder().toStdString(), folder.Path());
        EXPECT_EQ(picker->NewCaption(), "Location to Security Files");
        picker->findChild<QPushButton*>("cmdCancel")->click();
    });
    Press(window, "cmdPathName");
    EXPECT_TRUE(Control<QPushButton>(window, "cmdApply")->isEnabled()) << "dirty before the picker opened";
    EXPECT_EQ(Control<QLineEdit>(window, "txtDataPath")->text().toStdString(), folder.Path());
    const std::string sub = folder / "records";
    QDir().mkpath(QString::fromStdString(sub));
    test::OnNextModal<frmDirectory>([&](frmDirectory* picker) {
        picker->SetPath(QString::fromStdString(sub));
        picker->findChild<QPushButton*>("cmdOK")->click();
    });
    Press(window, "cmdPathName");
    EXPECT_EQ(Control<QLineEdit>(window, "txtDataPath")->text().toStdString(), sub);
    EXPECT_TRUE(Control<QLineEdit>(window, "txtDataPath")->isReadOnly());
}

TEST_F(MainOptions, CtrlTabTurnsThePagePastTheSwitchedOffLanguageTab) {
    frmMainOptions window;
    Open(window);
    auto* tabs = Control<QTabWidget>(window, "tabOptions");
    EXPECT_FALSE(tabs->isTabEnabled(2));
    Control(window, "chkRequireLogin")->setFocus();
    for (const int expected : {1, 0, 1}) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key_Tab,
                        Qt::ControlModifier);
        EXPECT_EQ(tabs->currentIndex(), expected);
    }
}

TEST_F(MainOptions, TheLanguageChoiceIsNeverSavedAndAFlagSelectsItsButton) {
    frmMainOptions window;
    Open(window);
    QTest::mouseClick(window.findChild<QWidget*>("picFlag3"), Qt::LeftButton);
    EXPECT_TRUE(window.findChild<QAbstractButton*>("optLanguage3")->isChecked());
    EXPECT_TRUE(window.IsDirty());
    EXPECT_EQ(window.windowTitle(), "Options");
    EXPECT_EQ(Control(window, "chkRequireLogin")->text(), "All Users and Groups are required to Login");
}

}  // namespace

namespace {

TEST(OptionsLauncher, TheLauncherOpensTheRealWindow) {
    RegisterOptionsWindows();
    std::unique_ptr<QWidget> window(CreateWindow(QStringLiteral("frmMainOptions")));
    EXPECT_NE(qobject_cast<frmMainOptions*>(window.get()), nullptr);
}

}  // namespace
