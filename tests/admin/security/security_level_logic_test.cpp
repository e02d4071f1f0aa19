#include <gtest/gtest.h>

#include "admin/security/security_level_logic.h"
#include "admin/security/security_windows_test_support.h"
#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "session/shell/start_up_with_windows.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

constexpr const char* kNoTaskbar = "Security\\NoTaskbar=";

class SecurityLevelLogicTest : public SecurityWindowTest {
protected:
    // A window loaded from the stored level.
    SecurityLevelLogic Loaded(std::int32_t storedLevel) {
        gSecurityLevel = storedLevel;
        SecurityLevelLogic logic(Services());
        logic.LoadSettings();
        store->writes.clear();
        return logic;
    }
};

TEST_F(SecurityLevelLogicTest, TheTopOfTheSliderIsConfirmedOrRefusedToVeryHigh) {
    struct Row {
        int answer;
        int position;
        bool consoleCopies;
    };
    for (const Row row : {Row{kMsgNo, 1, false}, Row{kMsgYes, 0, true}, Row{kMsgNone, 1, false}}) {
        auto box = ScriptedMsgBox::Install();
        box->Answer(row.answer);
        SecurityLevelLogic logic = Loaded(0);
        logic.SliderMoved(0);
        SCOPED_TRACE(row.answer);
        ASSERT_EQ(box->Count(), 1);
        EXPECT_NE(box->Last().prompt.find("select the Maximum Security Lockdown option?"), std::string::npos);
        EXPECT_EQ(box->Last().buttons, 276);
        EXPECT_EQ(box->Last().title, GetMessageText(290));
        EXPECT_EQ(logic.Position(), row.position);
        EXPECT_EQ(logic.Level(), 5 - row.position);
        EXPECT_EQ(logic.LevelName(), GetMessageText(row.position == 0 ? 407 : 406));
        EXPECT_TRUE(logic.IsDirty);
        EXPECT_EQ(logic.CannotCancelSecureConsole(), row.consoleCopies);
        EXPECT_EQ(logic.AlwaysShowSecureConsole(), row.consoleCopies);
    }
}

TEST_F(SecurityLevelLogicTest, MaximumConfirmedThenCancelledSavesNothing) {
    auto box = ScriptedMsgBox::Install();
    box->Answer(kMsgYes);
    SecurityLevelLogic logic = Loaded(0);
    logic.SliderMoved(0);
    logic.Cancel();
    EXPECT_TRUE(logic.Cancelled);
    EXPECT_TRUE(store->writes.empty());
    EXPECT_FALSE(gCannotCancelSecureConsole);
    EXPECT_FALSE(gAlwaysShowSecureConsole);
    EXPECT_EQ(gSecurityLevel, 0);
}

TEST_F(SecurityLevelLogicTest, ApplyingALevelStoresItsFlagStartUpAndOptions) {
    struct Row {
        int position;
        bool warned;
        bool startUpAfter;
        const char* noTaskbar;
    };
    // The stored level is 3 so that every position is a move; start-up was on.
    for (const Row row : {Row{5, false, true, "0"}, Row{4, true, true, "0"}, Row{2, true, true, "0"},
                          Row{1, true, true, "1"}}) {
        SCOPED_TRACE(row.position);
        gStartUpWithWindows = false;
        warningsShown = 0;
        SecurityLevelLogic logic = Loaded(3);
        gStartUpWithWindows = row.position == 5;  // level 0 must leave it as it was
        logic.AfterAdvanced();
        logic.SliderMoved(row.position);
        logic.Apply();
        EXPECT_EQ(warningsShown, row.warned ? 1 : 0);
        EXPECT_EQ(gSecurityLevel, 5 - row.position);
        EXPECT_EQ(gAnyLockdownOptionsSet, row.position != 5);
        EXPECT_EQ(gStartUpWithWindows, row.startUpAfter);
        EXPECT_TRUE(Wrote(std::string("SaveLocalSettings Any=") + (row.position != 5 ? "True" : "False")));
        EXPECT_TRUE(Wrote(std::string(kNoTaskbar) + row.noTaskbar));
        // Settings first, the level's options only after them.
        EXPECT_LT(IndexOf("StartUp=1"), IndexOf("SaveGlobalSettings"));
        EXPECT_LT(IndexOf("SaveGlobalSettings"), IndexOf("RestrictRun="));
        EXPECT_FALSE(logic.IsDirty);
    }
}

TEST_F(SecurityLevelLogicTest, LevelFourForcesTheActionAfterLogout) {
    gLogoutAction = 0;
    gActionAfterLogout = false;
    SecurityLevelLogic logic = Loaded(0);
    logic.SliderMoved(1);
    EXPECT_TRUE(logic.Ok());
    EXPECT_EQ(gLogoutAction, 1);
    EXPECT_TRUE(gActionAfterLogout);
    EXPECT_FALSE(gCannotCancelSecureConsole);
}

TEST_F(SecurityLevelLogicTest, LevelFiveTurnsTheConsoleAndStartUpOn) {
    auto box = ScriptedMsgBox::Install();
    box->Answer(kMsgYes);
    SecurityLevelLogic logic = Loaded(0);
    logic.SliderMoved(0);
    EXPECT_TRUE(logic.Ok());
    EXPECT_EQ(gSecurityLevel, 5);
    EXPECT_TRUE(gCannotCancelSecureConsole);
    EXPECT_TRUE(gAlwaysShowSecureConsole);
    EXPECT_TRUE(gStartUpWithWindows);
    EXPECT_TRUE(Wrote("Security\\NoStartButton=1"));
    EXPECT_TRUE(Wrote("HKCU:Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoDrives=3FFFFFF"));
}

TEST_F(SecurityLevelLogicTest, TheRunValueHoldsTheProgramPathOnceALevelIsApplied) {
    class NoAutostart : public AutostartEntry {
    public:
        void Write(bool, const std::string&) override {}
    };
    SetAutostartEntry(std::make_shared<NoAutostart>());
    SecurityWindowServices services = Services();
    services.setStartUpWithWindows = SetStartUpWithWindows;
    gSecurityLevel = 0;
    SecurityLevelLogic logic(services);
    logic.LoadSettings();
    logic.SliderMoved(3);
    logic.Apply();
    SetAutostartEntry(nullptr);
    EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Corvane",
                                "missing"),
              ProgramPathName());
    EXPECT_FALSE(ProgramPathName().empty());
}

TEST_F(SecurityLevelLogicTest, ACancelledWarningFallsToNoSecurityAndSavesNothing) {
    gAnyLockdownOptionsSet = true;
    SecurityLevelLogic logic = Loaded(0);
    logic.SliderMoved(2);
    warningCancels = {true};
    EXPECT_FALSE(logic.Ok());
    EXPECT_EQ(warningsShown, 1);
    EXPECT_EQ(logic.Position(), 5);
    EXPECT_EQ(logic.LevelName(), GetMessageText(402));
    EXPECT_TRUE(logic.IsDirty);
    EXPECT_TRUE(store->writes.empty());
    EXPECT_TRUE(gAnyLockdownOptionsSet);
    EXPECT_EQ(gSecurityLevel, 0);
}

TEST_F(SecurityLevelLogicTest, DoNotShowAgainThenCancelSuppressesEveryLaterWarning) {
    // The box is ticked while the warning is open; its Cancel still cancels.
    auto services = Services();
    services.showLockdownWarning = [&] {
        ++warningsShown;
        LockdownWarningCheckClicked(true, services);
        return true;
    };
    SecurityLevelLogic withBox(services);
    withBox.LoadSettings();
    withBox.SliderMoved(3);
    withBox.Apply();
    EXPECT_EQ(warningsShown, 1);
    EXPECT_TRUE(gDoNotShowLockdownWarningAgain);
    EXPECT_EQ(store->writes, std::vector<std::string>{"SaveLocalSettings Any=False"});
    EXPECT_EQ(gSecurityLevel, 0);

    withBox.SliderMoved(3);
    withBox.Apply();
    EXPECT_EQ(warningsShown, 1);
    EXPECT_EQ(gSecurityLevel, 2);
    EXPECT_TRUE(gAnyLockdownOptionsSet);
}

TEST_F(SecurityLevelLogicTest, ResetTellsTheResultBeforeLevelZeroIsSaved) {
    auto box = ScriptedMsgBox::Install();
    box->AnswerWith([this](const ScriptedMsgBox::Question& q) {
        store->writes.push_back("MsgBox " + q.prompt);
        return kMsgOk;
    });
    gAnyLockdownOptionsSet = true;
    SecurityLevelLogic logic = Loaded(3);
    logic.Reset();
    const int told = IndexOf("MsgBox " + GetMessageText(513));
    ASSERT_GE(told, 0);
    EXPECT_LT(IndexOf("NoTaskbar=0"), told);
    EXPECT_LT(told, IndexOf("SaveLocalSettings Any=False"));
    EXPECT_LT(IndexOf("SaveLocalSettings Any=False"), IndexOf("SaveGlobalSettings"));
    EXPECT_EQ(logic.Position(), 5);
    EXPECT_EQ(gSecurityLevel, 0);
    EXPECT_FALSE(gAnyLockdownOptionsSet);
    EXPECT_FALSE(logic.IsDirty);
    // Clean after the reset: Apply does nothing.
    store->writes.clear();
    logic.Apply();
    EXPECT_TRUE(store->writes.empty());
}

TEST_F(SecurityLevelLogicTest, OpeningPutsTheSliderAtTheStoredLevelWithoutAQuestion) {
    struct Row {
        std::int32_t stored;
        int position;
    };
    for (const Row row : {Row{5, 0}, Row{0, 5}, Row{2, 3}, Row{9, 5}, Row{-1, 5}}) {
        SCOPED_TRACE(row.stored);
        auto box = ScriptedMsgBox::Install();
        ownProgramsAdded = 0;
        SecurityLevelLogic logic = Loaded(row.stored);
        EXPECT_EQ(logic.Position(), row.position);
        EXPECT_EQ(box->Count(), 0);
        EXPECT_FALSE(logic.IsDirty);
        EXPECT_EQ(ownProgramsAdded, 1);
    }
}

TEST_F(SecurityLevelLogicTest, ACleanWindowClosesWithoutSaving) {
    SecurityLevelLogic logic = Loaded(2);
    logic.Apply();
    EXPECT_TRUE(logic.Ok());
    EXPECT_EQ(warningsShown, 0);
    EXPECT_TRUE(store->writes.empty());
}

TEST_F(SecurityLevelLogicTest, AfterTheAdvancedWindowOnlyTheCopiesAreReadAgain) {
    SecurityLevelLogic logic = Loaded(2);
    logic.SliderMoved(4);
    gSecurityLevel = 5;
    gAlwaysShowSecureConsole = true;
    gStartUpWithWindows = true;
    logic.AfterAdvanced();
    EXPECT_EQ(logic.Position(), 4);
    EXPECT_TRUE(logic.AlwaysShowSecureConsole());
    EXPECT_TRUE(logic.StartUpWithWindows());
    EXPECT_FALSE(logic.CannotCancelSecureConsole());
}

}  // namespace
}  // namespace corvane::testing
