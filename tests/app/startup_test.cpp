#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
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

// A settings store that is there but cannot be read is reported once and held: the run
// requires a login and no save reaches the store. One that is absent is a fresh install.
TEST_F(StartupTest, SettingsThatCannotBeReadAreReportedOnceAndRequireALogin) {
    namespace fs = std::filesystem;
    const std::string hive = registry_store::HivePath(HKEY_LOCAL_MACHINE);
    const std::string ini = folder / "global.ini";
    const std::string programDir = folder / "program";
    fs::create_directories(programDir);
    const std::string previousProgramDir = environment::Variable("CORVANE_PROGRAM_DIR");
    ::setenv("CORVANE_PROGRAM_DIR", programDir.c_str(), 1);
    const auto removeHive = [&] {
        std::error_code ec;
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove_all(hive + suffix, ec);
    };
    const auto useIni = [&] {
        Global("Use Global Settings INI File", "True");
        Global("Global Settings INI Pathname", ini);
    };
    const auto bytesOf = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    struct Row {
        const char* name;
        std::function<bool()> prepare;  // false: cannot be set up here (the superuser reads anything)
        bool reported;
        std::string badFile;  // compared before and after a save
    } const rows[] = {
        {"no machine hive: a fresh install", [&] { removeHive(); return true; }, false, ""},
        {"the hive is a FIFO", [&] { removeHive(); return ::mkfifo(hive.c_str(), 0600) == 0; }, true, ""},
        {"the hive is a folder", [&] { removeHive(); return fs::create_directory(hive); }, true, ""},
        {"the hive is a symlink loop", [&] { removeHive(); return ::symlink(hive.c_str(), hive.c_str()) == 0; }, true, ""},
        {"the hive is damaged",
         [&] {
             removeHive();
             folder.Write("registry/machine.db", std::string(4096, 'x'));
             return true;
         },
         true, hive},
        {"the hive cannot be read",
         [&] { return ::geteuid() != 0 && ::chmod(hive.c_str(), 0) == 0; }, true, ""},
        {"the INI file is a FIFO", [&] { useIni(); return ::mkfifo(ini.c_str(), 0600) == 0; }, true, ""},
        {"the INI file is a folder", [&] { useIni(); return fs::create_directory(ini); }, true, ""},
        {"the INI file is a symlink loop", [&] { useIni(); return ::symlink(ini.c_str(), ini.c_str()) == 0; }, true, ""},
        {"the INI file cannot be read",
         [&] {
             useIni();
             folder.Write("global.ini", "[Global Settings]\r\nRequire Login=True\r\n");
             return ::geteuid() != 0 && ::chmod(ini.c_str(), 0200) == 0;
         },
         true, ""},
        {"the INI file is missing", [&] { useIni(); return true; }, true, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::error_code ec;
        removeHive();
        fs::remove_all(ini, ec);
        fs::remove_all(programDir + "/Corvane_ErrorLog.txt", ec);
        Global("Data Path", folder.Path());
        gSettingsStoreUnreadable = false;
        gUseGlobalSettingsINIFile = false;
        gRequireLogin = false;
        if (!row.prepare()) {
            std::printf("skipped: %s\n", row.name);
            continue;
        }
        const std::string before = row.badFile.empty() ? "" : bytesOf(row.badFile);
        log.clear();
        Main();
        int reports = 0;
        for (const auto& entry : log)
            if (entry.rfind("Message The settings cannot be read: ", 0) == 0) ++reports;
        EXPECT_EQ(reports, row.reported ? 1 : 0);
        EXPECT_EQ(gRequireLogin, row.reported);
        EXPECT_EQ(gSettingsStoreUnreadable, row.reported);
        const std::string errorLog = bytesOf(programDir + "/Corvane_ErrorLog.txt");
        EXPECT_EQ(errorLog.find("The settings cannot be read: ") != std::string::npos, row.reported) << errorLog;
        // A later save (the options window's) writes nothing over the store.
        SaveGlobalSettings();
        SaveLocalSettings();
        if (!row.badFile.empty()) EXPECT_EQ(bytesOf(row.badFile), before);
        ::chmod(hive.c_str(), 0600);
        ::chmod(ini.c_str(), 0600);
    }
    gSettingsStoreUnreadable = false;
    gUseGlobalSettingsINIFile = false;
    gRequireLogin = false;
    if (previousProgramDir.empty()) ::unsetenv("CORVANE_PROGRAM_DIR");
    else ::setenv("CORVANE_PROGRAM_DIR", previousProgramDir.c_str(), 1);
}

}  // namespace
}  // namespace corvane::testing
