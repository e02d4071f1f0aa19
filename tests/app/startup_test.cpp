#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_main.h"
#include "errors/error_handler.h"
#include "platform/core/clock.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"
#include "platform/settings/settings_store.h"
#include "platform/system/fake_workstation_switches.h"
#include "platform/system/workstation_switches.h"
#include "support/temp_folder.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

// Main with every outside step noted in one log, and the settings it loads
// written to a registry of the test's own.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("CORVANE_REGISTRY_DIR", (folder / "registry").c_str(), 1);
        SetProductInfo();
        Global("Data Path", folder.Path());
        previous = SetStartupServices({
            [this] { log.push_back("Claim"); return claim; },
            [this] { log.push_back("End"); },
            [this](bool starting) { log.push_back(starting ? "Hourglass" : "Arrow"); },
            [this] { log.push_back("Splash"); },
            [this] { log.push_back("Icon"); },
        });
        SetWorkstationSwitches(switches);
        box->AnswerWith([this](const ScriptedMsgBox::Question& q) {
            log.push_back("Message " + q.prompt);
            return q.buttons == kMsgRetryCancel + kMsgExclamation ? kMsgCancel : kMsgOk;
        });
        clock::SetSleepFunction([](std::chrono::milliseconds) {});
        InstallErrorHandler();
    }
    void TearDown() override {
        SetErrorHandler(nullptr);
        clock::SetSleepFunction(nullptr);
        SetWorkstationSwitches(nullptr);
        SetStartupServices(previous);
        gDataPath.clear();
        ::setenv("CORVANE_REGISTRY_DIR", registry.c_str(), 1);
    }
    static void Global(const char* name, const std::string& value) {
        WriteRegistryValue(HKEY_LOCAL_MACHINE, SettingsKeyPath("Global"), name, value, REG_SZ);
    }
    static std::string StoredGlobal(const char* name) {
        return ReadRegistryValue(HKEY_LOCAL_MACHINE, SettingsKeyPath("Global"), name, "(none)");
    }

    std::string registry = environment::Variable("CORVANE_REGISTRY_DIR");
    test_support::TempFolder folder;
    std::vector<std::string> log;
    bool claim = true;
    StartupServices previous;
    std::shared_ptr<test_support::FakeWorkstationSwitches> switches =
        std::make_shared<test_support::FakeWorkstationSwitches>();
    ScriptedMsgBox::Guard box = ScriptedMsgBox::Install();
};

TEST_F(StartupTest, TheResetComesBeforeTheIconAndTheTaskBarFollowsTheResetOptions) {
    Global("Reset Lockdown Options At Next Login", "True");
    Global("EXE App Name", "Something Else");
    SaveMachineSetting("Security", "NoTaskbar", "1");
    Main();
    EXPECT_EQ(log, (std::vector<std::string>{"Claim", "Hourglass", "Splash",
                                             "Message All Workstation Lockdown options have been reset.", "Arrow",
                                             "Icon", "Arrow"}));
    EXPECT_EQ(switches->calls, std::vector<std::string>{"ShowTaskbar"});
    EXPECT_EQ(StoredGlobal("Reset Lockdown Options At Next Login"), "False");
    EXPECT_EQ(gEXEAppName, "Corvane Standard");
    EXPECT_EQ(gLoginCaption, "Corvane Standard");

    // The next start resets nothing and hides nothing.
    log.clear();
    switches->calls.clear();
    Main();
    EXPECT_EQ(log, (std::vector<std::string>{"Claim", "Hourglass", "Splash", "Arrow", "Icon", "Arrow"}));
    EXPECT_EQ(switches->calls, std::vector<std::string>{"ShowTaskbar"});
}

TEST_F(StartupTest, TheStartUpLockdownHidesWhatItsOptionsSay) {
    Global("Reset Lockdown Options At Next Login", "False");
    SaveMachineSetting("Security", "NoTaskbar", "1");
    SaveMachineSetting("Security", "NoStartButton", "1");
    Main();
    EXPECT_EQ(switches->calls, (std::vector<std::string>{"HideTaskbar", "RemoveStartButton"}));
}

TEST_F(StartupTest, AMissingDataFolderAsksRetryOrCancelThenTheIconFollows) {
    Global("Data Path", folder / "missing/deeper");
    Main();
    ASSERT_EQ(log.size(), 7u);
    EXPECT_EQ(log[3].rfind("Message ", 0), 0u);
    EXPECT_EQ(log[5], "Icon");
}

TEST_F(StartupTest, ASecondCopyEndsBeforeAnythingElse) {
    claim = false;
    Global("Reset Lockdown Options At Next Login", "True");
    Main();
    EXPECT_EQ(log, (std::vector<std::string>{"Claim", "End"}));
    EXPECT_TRUE(switches->calls.empty());
    EXPECT_EQ(StoredGlobal("Reset Lockdown Options At Next Login"), "True");
}

}  // namespace
}  // namespace corvane::testing
