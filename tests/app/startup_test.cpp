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
#include "platform/settings/set_up_record.h"
#include "platform/settings/settings_store.h"
#include "platform/system/fake_workstation_switches.h"
#include "platform/system/workstation_switches.h"
#include "recordstore/user.h"
#include "session/login/account_table_check.h"
#include "session/shell/security_session.h"
#include "session/shell/session_test_support.h"
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

// A store or account table that vanished or was damaged after set-up, through the real
// start-up and the real session: never the first-administrator wizard (at start-up nor from a
// console click after a log-off), "Require Login" True, one report, and no setting written
// over what is left of the store. Only the fresh install shows the wizard.
TEST_F(StartupTest, AStoreOrAccountTableGoneAfterSetUpIsNoFirstRun) {
    namespace fs = std::filesystem;
    const std::string programDir = folder / "program";
    const std::string registryDir = folder / "registry";
    const std::string hive = registry_store::HivePath(HKEY_LOCAL_MACHINE);
    const std::string users = programDir + "/users.sec";
    const std::string ini = folder / "global.ini";
    const std::string errorLogPath = programDir + "/Corvane_ErrorLog.txt";
    const std::string previousProgramDir = environment::Variable("CORVANE_PROGRAM_DIR");
    ::setenv("CORVANE_PROGRAM_DIR", programDir.c_str(), 1);
    const auto bytesOf = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const auto count = [](const std::string& text, const std::string& what) {
        int n = 0;
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    };
    // The data folder is the program folder, as when "Data Path" is blank (also with no hive).
    const auto fresh = [&] {
        std::error_code ec;
        fs::remove_all(registryDir, ec);
        fs::remove_all(registryDir + ".old", ec);
        fs::remove_all(programDir, ec);
        fs::remove_all(programDir + ".old", ec);
        fs::remove_all(SetUpRecordFolder(), ec);
        fs::remove_all(ini, ec);
        fs::create_directories(programDir);
        gSettingsStoreUnreadable = false;
        gUseGlobalSettingsINIFile = false;
        gRequireLogin = false;
        gDataPath.clear();
    };
    // What the first administrator's wizard leaves: an account, the folder named as set up,
    // "Require Login" on; with useIni the global settings in an INI file the hive names.
    const auto setUp = [&](bool useIni) {
        Global("Data Path", "");
        if (useIni) {
            Global("Use Global Settings INI File", "True");
            Global("Global Settings INI Pathname", ini);
        }
        LoadSettingsSource();
        gRequireLogin = true;
        SaveGlobalSettings();
        AddPasswordAccount("boss", true);
        AddPasswordAccount("ann", false);
        RecordDataFolderSetUp();
        ASSERT_TRUE(DataFolderSetUp());
    };
    const auto deleteAll = [&] {
        User user;
        for (std::int32_t n : {1, 2}) user.DeleteValid(n);
        user.CloseTable();
    };
    const auto removeHive = [&] {
        std::error_code ec;
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove_all(hive + suffix, ec);
    };
    const auto sized = [&](off_t size) {
        setUp(true);
        fs::remove(ini);
        ASSERT_EQ(::truncate(folder.Write("global.ini", "").c_str(), size), 0);
    };
    // The data folder renamed with its hive's folder (they stand one in the other as
    // scripts/run.sh lays them out), and made again empty as that script makes it.
    const auto renameAway = [&] {
        fs::rename(programDir, programDir + ".old");
        fs::rename(registryDir, registryDir + ".old");
        fs::create_directories(programDir);
    };
    struct Row {
        const char* name;
        std::function<void()> prepare;
        const char* report;  // nullptr: none
        bool wizard;
        std::function<void()> whileRunning = [] {};
    } const rows[] = {
        // As scripts/run.sh leaves a new folder: "Require Login" on, no account, nothing set up.
        {"a fresh install (no users.sec, the hive names no folder)", [&] { Global("Require Login", "True"); },
         nullptr, true},
        {"a healthy set-up folder", [&] { setUp(false); }, nullptr, false},
        {"users.sec shorter than one record",
         [&] { setUp(false); fs::resize_file(users, 100); }, "The account table is missing or damaged", false},
        {"users.sec empty", [&] { setUp(false); fs::resize_file(users, 0); },
         "The account table is missing or damaged", false},
        {"every account deleted", [&] { setUp(false); deleteAll(); }, "The account table is missing or damaged", false},
        {"users.sec absent", [&] { setUp(false); fs::remove(users); }, "The account table is missing or damaged",
         false},
        {"the machine hive absent", [&] { setUp(false); removeHive(); }, "The settings cannot be read", false},
        {"the hive's folder renamed", [&] { setUp(false); fs::rename(registryDir, registryDir + ".old"); },
         "The settings cannot be read", false},
        {"the data folder renamed with its hive", [&] { setUp(false); renameAway(); },
         "The account table is missing or damaged", false},
        {"the data folder renamed with its hive, the settings seeded again",
         [&] {
             setUp(false);
             renameAway();
             Global("Require Login", "True");
         },
         "The account table is missing or damaged", false},
        {"the data folder renamed with its hive while running", [&] { setUp(false); },
         "The account table is missing or damaged", false, renameAway},
        {"users.sec deleted while running", [&] { setUp(false); }, "The account table is missing or damaged", false,
         [&] { fs::remove(users); }},
        {"the INI file empty", [&] { setUp(true); fs::resize_file(ini, 0); }, "The settings cannot be read", false},
        {"the INI file cut before its \"Require Login\"",
         [&] {
             setUp(true);
             const std::string text = bytesOf(ini);
             fs::resize_file(ini, text.find("Require Login="));
         },
         "The settings cannot be read", false},
        {"the INI file missing", [&] { setUp(true); fs::remove(ini); }, "The settings cannot be read", false},
        {"the INI file of 64 MiB", [&] { sized(off_t{64} << 20); }, "The settings cannot be read", false},
        {"the INI file of 2 GiB (sparse)", [&] { sized(off_t{2} << 30); }, "The settings cannot be read", false},
    };
    bool consoleLoaded = false;
    const LoginWindowOpener previousOpener = SetLoginWindowOpener([this] {
        log.push_back("Login");
        return LoginWindowResult{};
    });
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fresh();
        row.prepare();
        struct stat iniBefore {};
        const bool iniThere = ::stat(ini.c_str(), &iniBefore) == 0;
        const std::string iniBytes = iniThere && iniBefore.st_size < (1 << 20) ? bytesOf(ini) : "";
        const bool hiveThere = fs::exists(hive);
        // The real session over the hidden main form's logic.
        SecuritySession security;
        FakeHost host{&log, &consoleLoaded};
        SessionController session{security, host};
        StartupServices services = SetStartupServices({});
        StartupServices withSession = services;
        withSession.loadMainForm = [&] { session.Form_Load(); };
        SetStartupServices(withSession);
        gRequireLogin = false;
        log.clear();
        Main();
        row.whileRunning();
        // Log off, then a click on a console item: the login again, never the wizard.
        session.LogOFF();
        session.Selected(2);
        SetStartupServices(services);

        int reports = 0;
        for (const auto& entry : log)
            if (entry.rfind("Message The settings cannot be read", 0) == 0 ||
                entry.rfind("Message The account table is missing or damaged", 0) == 0)
                ++reports;
        const std::string errorLog = bytesOf(errorLogPath);
        const int logged = count(errorLog, "The settings cannot be read") +
                           count(errorLog, "The account table is missing or damaged");
        const auto wizards = std::count_if(log.begin(), log.end(),
                                           [](const std::string& e) { return e.rfind("Wizard", 0) == 0; });
        if (row.wizard) {
            EXPECT_EQ(wizards, 1);
            EXPECT_EQ(reports, 0);
            EXPECT_EQ(logged, 0) << errorLog;
            // The wizard's account (the fake's) is the folder's first: the click after the log-off
            // asked for a login.
            EXPECT_EQ(CheckAccountTable().state, AccountTableState::kHoldsAccounts);
            continue;
        }
        EXPECT_EQ(wizards, 0);
        EXPECT_FALSE(OffersFirstAdministrator());
        EXPECT_TRUE(gRequireLogin);
        EXPECT_GE(std::count(log.begin(), log.end(), "Login"), 2);
        if (!row.report) {
            EXPECT_EQ(reports, 0);
            EXPECT_EQ(logged, 0) << errorLog;
            continue;
        }
        EXPECT_EQ(reports, 1);
        EXPECT_EQ(logged, 1) << errorLog;
        EXPECT_NE(errorLog.find(row.report), std::string::npos) << errorLog;
        // A later save (the options window's) writes no machine or global setting.
        SaveGlobalSettings();
        SaveLocalSettings();
        EXPECT_EQ(fs::exists(hive), hiveThere);
        struct stat iniAfter {};
        EXPECT_EQ(::stat(ini.c_str(), &iniAfter) == 0, iniThere);
        if (iniThere) {
            EXPECT_EQ(iniAfter.st_size, iniBefore.st_size);
            if (iniBefore.st_size < (1 << 20)) EXPECT_EQ(bytesOf(ini), iniBytes);
        }
    }
    SetLoginWindowOpener(previousOpener);
    std::error_code ec;
    fs::remove_all(registryDir + ".old", ec);
    fs::remove_all(ini, ec);
    gSettingsStoreUnreadable = false;
    gUseGlobalSettingsINIFile = false;
    gRequireLogin = false;
    if (previousProgramDir.empty()) ::unsetenv("CORVANE_PROGRAM_DIR");
    else ::setenv("CORVANE_PROGRAM_DIR", previousProgramDir.c_str(), 1);
}

}  // namespace
}  // namespace corvane::testing
