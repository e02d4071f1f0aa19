#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "admin/security/advanced_security_logic.h"
#include "admin/security/security_windows_test_support.h"
#include "messages/message_catalogue.h"
#include "platform/core/environment.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

const int kRowNoFind = LockdownRowIndex(kNoFind);
const int kRowNoDesktop = LockdownRowIndex(kNoDesktop);
const int kRowNoTaskbar = LockdownRowIndex(kNoTaskbar);
const int kRowNoStartButton = LockdownRowIndex(kNoStartButton);

class AdvancedSecurityLogicTest : public SecurityWindowTest {
protected:
    void Store(const char* valueName, const std::string& text) {
        store->values[{std::string("HKCU:") + kExplorerPolicyKey, valueName}] = text;
    }
    std::string Stored(const char* valueName) {
        return store->values[{std::string("HKCU:") + kExplorerPolicyKey, valueName}];
    }
    void StoreMachine(const char* valueName, const std::string& text) {
        store->values[{kLockdownMachineSection, valueName}] = text;
    }
    AdvancedSecurityLogic Loaded() {
        AdvancedSecurityLogic logic(Services());
        logic.LoadSettings();
        store->writes.clear();
        return logic;
    }
    // Each recorded write by its value name ("NoFind"), or as recorded when
    // it is not a store write.
    std::vector<std::string> WrittenNames() const {
        std::vector<std::string> names;
        for (const auto& w : store->writes) {
            const auto slash = w.rfind('\\');
            names.push_back(slash == std::string::npos ? w : w.substr(slash + 1, w.find('=', slash) - slash - 1));
        }
        return names;
    }
    bool ConsoleBoxesForced(const AdvancedSecurityLogic& logic) const {
        return logic.SettingsBoxTicked(kAlwaysShowSecureConsole) && logic.SettingsBoxTicked(kCannotCancelSecureConsole) &&
               !logic.SettingsBoxEnabled(kAlwaysShowSecureConsole) &&
               !logic.SettingsBoxEnabled(kCannotCancelSecureConsole);
    }
};

TEST_F(AdvancedSecurityLogicTest, OpensCleanWithNothingSet) {
    AdvancedSecurityLogic logic = Loaded();
    for (std::size_t row = 0; row < kLockdownListRowCount; ++row) EXPECT_FALSE(logic.LockdownRowTicked(row));
    for (int letter = 0; letter < kDriveLetterCount; ++letter) EXPECT_FALSE(logic.DriveTicked(letter));
    for (int box = 0; box < kSettingsBoxCount; ++box) {
        EXPECT_FALSE(logic.SettingsBoxTicked(box));
        EXPECT_TRUE(logic.SettingsBoxEnabled(box));
    }
    EXPECT_FALSE(logic.RestrictRunTicked());
    EXPECT_FALSE(logic.IsDirty);
    EXPECT_EQ(logic.ListCount(), 0);
    EXPECT_EQ(ownProgramsAdded, 1);
    EXPECT_EQ(logic.Caption(), "Advanced Security - " + GetLocalComputerName());
}

TEST_F(AdvancedSecurityLogicTest, OkOnACleanWindowSavesEverythingInOrder) {
    AdvancedSecurityLogic logic = Loaded();
    EXPECT_TRUE(logic.Ok());
    EXPECT_EQ(warningsShown, 0);
    std::vector<std::string> expected = {"SaveLocalSettings Any=False", "StartUp=0", "SaveGlobalSettings", "NoDrives",
                                         "RestrictRun"};
    for (const std::int32_t option : kLockdownListLoadOrder) expected.push_back(FindLockdownOption(option)->valueName);
    EXPECT_EQ(WrittenNames(), expected);
    EXPECT_EQ(expected.back(), "NoStartButton");
}

TEST_F(AdvancedSecurityLogicTest, TheHourglassFramesEverySaveAndComesBackWhenAStepFails) {
    for (const bool fail : {false, true}) {
        SCOPED_TRACE(fail ? "a failing save" : "a good save");
        SecurityWindowServices services = Services();
        services.busyPointer = [this](bool busy) { store->writes.push_back(busy ? "Busy" : "Idle"); };
        if (fail) services.saveGlobalSettings = [] { throw std::runtime_error("no store"); };
        AdvancedSecurityLogic logic(services);
        logic.LoadSettings();
        store->writes.clear();
        EXPECT_TRUE(logic.Ok());
        ASSERT_GE(store->writes.size(), 3u);
        EXPECT_EQ(store->writes[1], "Busy") << "after the lockdown warning's save, before the first save";
        EXPECT_EQ(store->writes.back(), "Idle");
        EXPECT_EQ(std::count(store->writes.begin(), store->writes.end(), "Busy"), 1);
        EXPECT_EQ(std::count(store->writes.begin(), store->writes.end(), "Idle"), 1);
        // Apply on a clean window saves nothing and shows no hourglass.
        store->writes.clear();
        logic.IsDirty = false;
        logic.Apply();
        EXPECT_TRUE(store->writes.empty());
    }
}

TEST_F(AdvancedSecurityLogicTest, ApplyDoesNothingWhileClean) {
    AdvancedSecurityLogic logic = Loaded();
    logic.Apply();
    EXPECT_TRUE(store->writes.empty());
    logic.LockdownRowChanged(kRowNoFind, true);
    logic.Apply();
    EXPECT_EQ(warningsShown, 1);
    EXPECT_TRUE(Wrote("HKCU:Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoFind=1"));
    EXPECT_FALSE(logic.IsDirty);
}

TEST_F(AdvancedSecurityLogicTest, OnlyTheListsAndTheSwitchCountAsLockdown) {
    struct Row {
        const char* what;
        std::function<void(AdvancedSecurityLogic&)> change;
        bool lockdown;
    };
    const Row rows[] = {
        {"row", [](AdvancedSecurityLogic& l) { l.LockdownRowChanged(kRowNoFind, true); }, true},
        {"drive", [](AdvancedSecurityLogic& l) { l.DriveChanged(25, true); }, true},
        {"switch", [](AdvancedSecurityLogic& l) { l.RestrictRunClicked(true); }, true},
        {"boxes",
         [](AdvancedSecurityLogic& l) {
             for (int box = 0; box < kSettingsBoxCount; ++box) l.SettingsBoxClicked(box, true);
         },
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        warningsShown = 0;
        store->values.clear();
        gStartUpWithWindows = false;
        gAnyLockdownOptionsSet = !row.lockdown;
        AdvancedSecurityLogic logic = Loaded();
        row.change(logic);
        EXPECT_TRUE(logic.IsDirty);
        EXPECT_TRUE(logic.Ok());
        EXPECT_EQ(warningsShown, row.lockdown ? 1 : 0);
        EXPECT_EQ(gAnyLockdownOptionsSet, row.lockdown);
        EXPECT_EQ(gStartUpWithWindows, row.lockdown);
    }
}

TEST_F(AdvancedSecurityLogicTest, ACancelledWarningUnticksTheRowsAndSavesNothing) {
    gAnyLockdownOptionsSet = false;
    AdvancedSecurityLogic logic = Loaded();
    logic.LockdownRowChanged(kRowNoFind, true);
    logic.DriveChanged(2, true);
    warningCancels = {true};
    EXPECT_FALSE(logic.Ok());
    for (std::size_t row = 0; row < kLockdownListRowCount; ++row) EXPECT_FALSE(logic.LockdownRowTicked(row));
    EXPECT_TRUE(logic.DriveTicked(2));
    EXPECT_TRUE(logic.IsDirty);
    EXPECT_TRUE(store->writes.empty());
    EXPECT_FALSE(gAnyLockdownOptionsSet);
}

TEST_F(AdvancedSecurityLogicTest, ASuppressedWarningStillStoresTheFlag) {
    gDoNotShowLockdownWarningAgain = true;
    AdvancedSecurityLogic logic = Loaded();
    logic.DriveChanged(0, true);
    EXPECT_TRUE(logic.Ok());
    EXPECT_EQ(warningsShown, 0);
    EXPECT_TRUE(Wrote("SaveLocalSettings Any=True"));
    EXPECT_TRUE(Wrote("HKCU:Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoDrives=1"));
}

TEST_F(AdvancedSecurityLogicTest, ResetIsKeptByCancelAndDropsUnsavedChanges) {
    auto box = ScriptedMsgBox::Install();
    box->SetDefaultAnswer(kMsgOk);
    Store("NoFind", "1");
    Store("NoDrives", "5");
    gAnyLockdownOptionsSet = true;
    AdvancedSecurityLogic logic = Loaded();
    ASSERT_TRUE(logic.LockdownRowTicked(kRowNoFind));
    logic.SettingsBoxClicked(kShowCorvaneAtNextLogin, true);
    logic.Reset();
    logic.Cancel();
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, GetMessageText(513));
    EXPECT_EQ(Stored("NoFind"), "0");
    EXPECT_EQ(Stored("NoDrives"), "0");
    EXPECT_FALSE(logic.LockdownRowTicked(kRowNoFind));
    EXPECT_FALSE(logic.DriveTicked(0));
    EXPECT_FALSE(logic.SettingsBoxTicked(kShowCorvaneAtNextLogin));
    EXPECT_FALSE(gAnyLockdownOptionsSet);
    EXPECT_TRUE(Wrote("SaveLocalSettings Any=False"));
    EXPECT_FALSE(logic.IsDirty);
}

TEST_F(AdvancedSecurityLogicTest, AStoredNoDesktopLoadsTickedWithoutAQuestion) {
    auto box = ScriptedMsgBox::Install();
    Store("NoDesktop", "1");
    AdvancedSecurityLogic logic = Loaded();
    EXPECT_TRUE(logic.LockdownRowTicked(kRowNoDesktop));
    EXPECT_EQ(box->Count(), 0);
    EXPECT_TRUE(ConsoleBoxesForced(logic));
    EXPECT_FALSE(logic.IsDirty);
}

TEST_F(AdvancedSecurityLogicTest, TickingNoDesktopAsksAndNoUnticksIt) {
    for (const int answer : {kMsgNo, kMsgYes}) {
        SCOPED_TRACE(answer);
        auto box = ScriptedMsgBox::Install();
        box->Answer(answer);
        AdvancedSecurityLogic logic = Loaded();
        logic.LockdownRowChanged(kRowNoDesktop, true);
        ASSERT_EQ(box->Count(), 1);
        EXPECT_EQ(box->Last().prompt, GetMessageText(480, 0, std::string("No Desktop")));
        EXPECT_EQ(box->Last().buttons, 276);
        EXPECT_EQ(box->Last().title, GetMessageText(290));
        EXPECT_EQ(logic.LockdownRowTicked(kRowNoDesktop), answer == kMsgYes);
        EXPECT_EQ(ConsoleBoxesForced(logic), answer == kMsgYes);
        EXPECT_TRUE(logic.IsDirty);
    }
}

TEST_F(AdvancedSecurityLogicTest, TheConsoleBoxesStayLockedWhileAnyNotRecommendedRowIsTicked) {
    StoreMachine("NoTaskbar", "1");
    StoreMachine("NoStartButton", "1");
    auto box = ScriptedMsgBox::Install();
    AdvancedSecurityLogic logic = Loaded();
    logic.LockdownRowChanged(kRowNoTaskbar, false);
    EXPECT_TRUE(ConsoleBoxesForced(logic));
    logic.LockdownRowChanged(kRowNoStartButton, false);
    EXPECT_TRUE(logic.SettingsBoxEnabled(kAlwaysShowSecureConsole));
    EXPECT_TRUE(logic.SettingsBoxEnabled(kCannotCancelSecureConsole));
    EXPECT_TRUE(logic.SettingsBoxTicked(kAlwaysShowSecureConsole));
    EXPECT_TRUE(logic.SettingsBoxTicked(kCannotCancelSecureConsole));
    EXPECT_EQ(box->Count(), 0);
}

TEST_F(AdvancedSecurityLogicTest, SavingNoStartButtonForcesTheLogoutActionAndTheConsole) {
    StoreMachine("NoStartButton", "1");
    gLogoutAction = 0;
    gActionAfterLogout = false;
    AdvancedSecurityLogic logic = Loaded();
    EXPECT_TRUE(logic.Ok());
    EXPECT_EQ(gLogoutAction, 1);
    EXPECT_TRUE(gActionAfterLogout);
    EXPECT_TRUE(gAlwaysShowSecureConsole);
    EXPECT_TRUE(gCannotCancelSecureConsole);
    EXPECT_EQ(store->writes.back(), "Security\\NoStartButton=1");
}

TEST_F(AdvancedSecurityLogicTest, DrivesLoadFromTheMaskAndSaveItBack) {
    struct Row {
        const char* stored;  // nullptr: never written
        std::function<void(AdvancedSecurityLogic&)> change;
        std::uint32_t ticked;
        const char* saved;
    };
    const auto none = [](AdvancedSecurityLogic&) {};
    const Row rows[] = {
        {"5", [](AdvancedSecurityLogic& l) { l.DriveChanged(1, true); }, 5, "7"},
        {"3FFFFFF", [](AdvancedSecurityLogic& l) { l.ClearAllDrives(); }, 0x3FFFFFF, "0"},
        {"7FFFFFF", none, 0x3FFFFFF, "3FFFFFF"},
        {nullptr, none, 0, "0"},
        {"zz", [](AdvancedSecurityLogic& l) { l.SelectAllDrives(); }, 0, "3FFFFFF"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored ? row.stored : "absent");
        store->values.clear();
        if (row.stored) Store("NoDrives", row.stored);
        AdvancedSecurityLogic logic = Loaded();
        for (int letter = 0; letter < kDriveLetterCount; ++letter)
            EXPECT_EQ(logic.DriveTicked(letter), ((row.ticked >> letter) & 1U) != 0) << letter;
        row.change(logic);
        gDoNotShowLockdownWarningAgain = true;
        logic.Ok();
        EXPECT_TRUE(Wrote(std::string("HKCU:") + kExplorerPolicyKey + "\\NoDrives=" + row.saved));
    }
}

TEST_F(AdvancedSecurityLogicTest, SelectAllAndClearAllMarkDirtyWithoutAQuestion) {
    auto box = ScriptedMsgBox::Install();
    AdvancedSecurityLogic logic = Loaded();
    logic.SelectAllLockdownOptions();
    EXPECT_TRUE(logic.IsDirty);
    EXPECT_TRUE(logic.LockdownRowTicked(kRowNoDesktop));
    EXPECT_TRUE(ConsoleBoxesForced(logic));
    logic.ClearAllLockdownOptions();
    EXPECT_FALSE(logic.LockdownRowTicked(kRowNoFind));
    EXPECT_TRUE(logic.SettingsBoxEnabled(kAlwaysShowSecureConsole));
    EXPECT_EQ(box->Count(), 0);
}

// Rows whose option does nothing on the desktop at hand keep what is stored.
TEST_F(AdvancedSecurityLogicTest, RowsWithoutEffectOnThisDesktopKeepTheirStoredValue) {
    struct Case {
        const char* name;
        FakeDesktopMachine machine;
        std::set<std::int32_t> inEffect;
        bool drives;
    };
    const std::set<std::int32_t> gnome = {kNoRecentDocsMenu, kNoSetFolders,     kNoRun, kNoLogoff,
                                          kNoDriveTypeAutoRun, kDisableLockWorkstation, kDisableChangePassword};
    const std::set<std::int32_t> kde = {kNoFolderOptions, kNoRecentDocsMenu, kNoSetTaskbar, kNoRun,
                                        kNoViewContextMenu, kNoLogoff, kDisableLockWorkstation};
    // As the session declares its desktop, whatever is installed.
    for (Case c : {Case{"gnome", GnomeOnlyMachine(), gnome, true}, Case{"kde", KdeOnlyMachine(), kde, false},
                   Case{"gnome running, kde installed too", GnomeAndKdeMachine("GNOME"), gnome, true},
                   Case{"kde running, gnome installed too", GnomeAndKdeMachine("KDE"), kde, false},
                   Case{"openbox, both installed", GnomeAndKdeMachine("openbox"), {}, false},
                   Case{"bare", BareMachine(), {}, false}}) {
        SCOPED_TRACE(c.name);
        SetDesktopPolicy(c.machine.Policy());
        store->values.clear();
        Store("NoFind", "1");
        Store("NoRun", "1");
        Store("NoDrives", "5");
        AdvancedSecurityLogic logic = Loaded();
        for (std::size_t row = 0; row < kLockdownListRowCount; ++row)
            EXPECT_EQ(logic.LockdownRowInEffect(row), c.inEffect.contains(kLockdownListRows[row].option)) << row;
        EXPECT_EQ(logic.DrivesInEffect(), c.drives);

        logic.ClearAllLockdownOptions();
        logic.LockdownRowChanged(kRowNoFind, false);
        logic.ClearAllDrives();
        logic.DriveChanged(0, false);
        // NoFind has no desktop switch anywhere: still ticked as stored.
        EXPECT_TRUE(logic.LockdownRowTicked(kRowNoFind));
        EXPECT_EQ(logic.LockdownRowTicked(LockdownRowIndex(kNoRun)), !c.inEffect.contains(kNoRun));
        EXPECT_EQ(logic.DriveTicked(0), !c.drives);
        gDoNotShowLockdownWarningAgain = true;
        logic.Ok();
        EXPECT_EQ(Stored("NoFind"), "1");
        EXPECT_EQ(Stored("NoDrives"), c.drives ? "0" : "5");
    }
}

}  // namespace
}  // namespace corvane::testing
