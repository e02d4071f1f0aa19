// The desktops' own switches for the lockdown options: gsettings on GNOME,
// kwriteconfig into kdeglobals on KDE Plasma.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "lockdown/desktop_policy.h"
#include "lockdown/lockdown_options.h"
#include "lockdown/security_levels.h"
#include "lockdown_test_support.h"
#include "platform/system/process_spawn.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

using namespace testing;
using Argv = std::vector<std::string>;

using Machine = FakeDesktopMachine;

Argv GnomeSet(const char* schema, const char* key, const char* value) { return {"gsettings", "set", schema, key, value}; }
Argv GnomeReset(const char* schema, const char* key) { return {"gsettings", "reset", schema, key}; }
Argv KdeWrite(const char* key, const char* value) {
    return {"kwriteconfig6", "--file", "kdeglobals", "--group", "KDE Action Restrictions", "--key", key, value};
}

constexpr const char* kLock = "org.gnome.desktop.lockdown";
constexpr const char* kMedia = "org.gnome.desktop.media-handling";
constexpr const char* kPrivacy = "org.gnome.desktop.privacy";

TEST(DesktopPolicy, EachOptionOnAndOffOnBothDesktops) {
    struct Row {
        std::int32_t option;
        std::vector<Argv> on;
        std::vector<Argv> off;
    };
    const std::vector<Row> table = {
        {kNoFolderOptions,
         {KdeWrite("action/options_configure", "false")},
         {KdeWrite("action/options_configure", "--delete")}},
        {kNoRecentDocsMenu,
         {GnomeSet(kPrivacy, "remember-recent-files", "false"), KdeWrite("action/file_open_recent", "false")},
         {GnomeReset(kPrivacy, "remember-recent-files"), KdeWrite("action/file_open_recent", "--delete")}},
        {kNoSetFolders, {GnomeSet(kLock, "disable-print-setup", "true")}, {GnomeReset(kLock, "disable-print-setup")}},
        {kNoSetTaskbar,
         {KdeWrite("plasma/plasmashell/unlockedDesktop", "false")},
         {KdeWrite("plasma/plasmashell/unlockedDesktop", "--delete")}},
        {kNoRun,
         {GnomeSet(kLock, "disable-command-line", "true"), KdeWrite("run_command", "false"),
          KdeWrite("shell_access", "false")},
         {GnomeReset(kLock, "disable-command-line"), KdeWrite("run_command", "--delete"),
          KdeWrite("shell_access", "--delete")}},
        {kNoDrives,
         {GnomeSet(kMedia, "automount", "false"),
          GnomeSet(kLock, "mount-removable-storage-devices-as-read-only", "true")},
         {GnomeReset(kMedia, "automount"), GnomeReset(kLock, "mount-removable-storage-devices-as-read-only")}},
        {kNoViewContextMenu,
         {KdeWrite("action/properties", "false")},
         {KdeWrite("action/properties", "--delete")}},
        {kNoLogoff,
         {GnomeSet(kLock, "disable-log-out", "true"), GnomeSet(kLock, "disable-user-switching", "true"),
          KdeWrite("logout", "false"), KdeWrite("switch_user", "false")},
         {GnomeReset(kLock, "disable-log-out"), GnomeReset(kLock, "disable-user-switching"),
          KdeWrite("logout", "--delete"), KdeWrite("switch_user", "--delete")}},
        {kNoDriveTypeAutoRun,
         {GnomeSet(kMedia, "autorun-never", "true"), GnomeSet(kMedia, "automount-open", "false")},
         {GnomeReset(kMedia, "autorun-never"), GnomeReset(kMedia, "automount-open")}},
        {kDisableLockWorkstation,
         {GnomeSet(kLock, "disable-lock-screen", "true"), KdeWrite("lock_screen", "false")},
         {GnomeReset(kLock, "disable-lock-screen"), KdeWrite("lock_screen", "--delete")}},
        {kDisableChangePassword,
         {GnomeSet(kLock, "user-administration-disabled", "true")},
         {GnomeReset(kLock, "user-administration-disabled")}},
    };
    Machine machine = GnomeAndKdeMachine();
    auto policy = machine.Policy();
    std::set<std::int32_t> mapped;
    for (const Row& row : table) {
        SCOPED_TRACE(row.option);
        mapped.insert(row.option);
        machine.commands.clear();
        policy->OptionWritten(row.option, true);
        EXPECT_EQ(machine.commands, row.on);
        machine.commands.clear();
        policy->OptionWritten(row.option, false);
        EXPECT_EQ(machine.commands, row.off);
        EXPECT_TRUE(policy->HasEffect(row.option));
    }
    // Every other number reaches neither desktop.
    for (std::int32_t option = -1; option <= kLockdownOptionCount; ++option) {
        if (mapped.contains(option)) continue;
        SCOPED_TRACE(option);
        machine.commands.clear();
        policy->OptionWritten(option, true);
        policy->OptionWritten(option, false);
        EXPECT_TRUE(machine.commands.empty());
        EXPECT_FALSE(policy->HasEffect(option));
        EXPECT_TRUE(DesktopSwitchesFor(option).empty());
    }
}

// The options with an effect on each kind of machine.
TEST(DesktopPolicy, WhatTakesEffectFollowsTheInstalledDesktops) {
    const std::set<std::int32_t> gnome = {kNoRecentDocsMenu,  kNoSetFolders,       kNoRun,
                                          kNoDrives,          kNoLogoff,           kNoDriveTypeAutoRun,
                                          kDisableLockWorkstation, kDisableChangePassword};
    const std::set<std::int32_t> kde = {kNoFolderOptions, kNoRecentDocsMenu, kNoSetTaskbar,          kNoRun,
                                        kNoViewContextMenu, kNoLogoff,       kDisableLockWorkstation};
    std::set<std::int32_t> both = gnome;
    both.insert(kde.begin(), kde.end());
    struct Case {
        const char* name;
        Machine machine;
        std::set<std::int32_t> effective;
    };
    for (Case c : {Case{"gnome", GnomeOnlyMachine(), gnome}, Case{"kde6", KdeOnlyMachine("kwriteconfig6"), kde},
                   Case{"kde5", KdeOnlyMachine("kwriteconfig5"), kde}, Case{"both", GnomeAndKdeMachine(), both},
                   Case{"bare", BareMachine(), {}}}) {
        SCOPED_TRACE(c.name);
        auto policy = c.machine.Policy();
        std::set<std::int32_t> effective;
        for (std::int32_t option = 0; option < kLockdownOptionCount; ++option)
            if (policy->HasEffect(option)) effective.insert(option);
        EXPECT_EQ(effective, c.effective);
        // Only the installed desktop is written to.
        for (std::int32_t option = 0; option < kLockdownOptionCount; ++option) policy->OptionWritten(option, true);
        for (const Argv& argv : c.machine.commands) {
            if (argv[0] == "gsettings") EXPECT_TRUE(c.machine.programs.contains("gsettings"));
            else EXPECT_TRUE(c.machine.programs.contains(argv[0])) << argv[0];
        }
        EXPECT_EQ(c.machine.commands.empty(), c.effective.empty());
    }
}

TEST(DesktopPolicy, PlasmaFiveWriterOnlyWhereSixIsMissing) {
    Machine five = KdeOnlyMachine("kwriteconfig5");
    five.Policy()->OptionWritten(kDisableLockWorkstation, true);
    ASSERT_EQ(five.commands.size(), 1u);
    EXPECT_EQ(five.commands[0][0], "kwriteconfig5");

    Machine both = MachineWith({"kwriteconfig5", "kwriteconfig6"}, false);
    both.Policy()->OptionWritten(kDisableLockWorkstation, true);
    ASSERT_EQ(both.commands.size(), 1u);
    EXPECT_EQ(both.commands[0][0], "kwriteconfig6");
}

TEST(DesktopPolicy, AKeyTheInstalledSchemaLacksIsSkipped) {
    Machine older = GnomeOnlyMachine();
    older.missingKeys = {"mount-removable-storage-devices-as-read-only", "disable-print-setup"};
    auto policy = older.Policy();
    policy->OptionWritten(kNoDrives, true);
    EXPECT_EQ(older.commands, (std::vector<Argv>{GnomeSet(kMedia, "automount", "false")}));
    EXPECT_TRUE(policy->HasEffect(kNoDrives));
    EXPECT_FALSE(policy->HasEffect(kNoSetFolders));
}

TEST(DesktopPolicy, TheRealRunnerStartsNothingUnderTest) {
    std::vector<Argv> spawned;
    SetSpawnFunction([&spawned](const Argv& argv, const std::string&) {
        spawned.push_back(argv);
        return 1;
    });
    DesktopTools tools;
    tools.programFound = [](const std::string&) { return true; };
    tools.schemaHasKey = [](const std::string&, const std::string&) { return true; };
    auto policy = MakeDesktopPolicy(std::move(tools));
    policy->OptionWritten(kNoRun, true);
    SetSpawnFunction(nullptr);
    EXPECT_TRUE(spawned.empty());
}

// Runs a command to its end with XDG_CONFIG_HOME moved; its exit status.
int RunWithConfigHome(const Argv& argv, const std::string& configHome) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        std::vector<char*> args;
        for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string FileText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The real kwriteconfig writes the restrictions into kdeglobals and takes
// them out again.
TEST(DesktopPolicy, KdeWritesLandInKdeglobals) {
    auto installed = MakeDesktopPolicy(DesktopTools{[](const Argv&) {}, {}, [](auto&, auto&) { return false; }});
    if (!installed->HasEffect(kNoSetTaskbar)) GTEST_SKIP() << "no kwriteconfig6 or kwriteconfig5 on the PATH";

    test_support::TempFolder config;
    std::vector<int> statuses;
    DesktopTools tools;
    tools.run = [&](const Argv& argv) { statuses.push_back(RunWithConfigHome(argv, config.Path())); };
    tools.schemaHasKey = [](const std::string&, const std::string&) { return false; };
    auto policy = MakeDesktopPolicy(std::move(tools));
    const std::string kdeglobals = config.Path() + "/kdeglobals";

    policy->OptionWritten(kNoRun, true);
    policy->OptionWritten(kDisableLockWorkstation, true);
    EXPECT_EQ(FileText(kdeglobals),
              "[KDE Action Restrictions]\nlock_screen=false\nrun_command=false\nshell_access=false\n");

    policy->OptionWritten(kNoRun, false);
    EXPECT_EQ(FileText(kdeglobals), "[KDE Action Restrictions]\nlock_screen=false\n");
    EXPECT_EQ(statuses, std::vector<int>(5, 0));
}

using DesktopThroughOptions = LockdownTest;

TEST_F(DesktopThroughOptions, OptionWritesAndLevelsReachTheDesktop) {
    UseRecordingStore();
    Machine machine = GnomeOnlyMachine();
    SetDesktopPolicy(machine.Policy());
    ApplySecurityLevel(2);
    // In the levels' write order: NoRun, NoClose (no switch), NoRecentDocsMenu, NoLogoff, ...
    EXPECT_EQ(machine.commands, (std::vector<Argv>{
                                    GnomeSet(kLock, "disable-command-line", "true"),
                                    GnomeSet(kPrivacy, "remember-recent-files", "false"),
                                    GnomeReset(kLock, "disable-log-out"),
                                    GnomeReset(kLock, "disable-user-switching"),
                                    GnomeSet(kLock, "disable-lock-screen", "true"),
                                    GnomeSet(kMedia, "autorun-never", "true"),
                                    GnomeSet(kMedia, "automount-open", "false"),
                                    GnomeSet(kLock, "user-administration-disabled", "true"),
                                    GnomeSet(kLock, "disable-print-setup", "true"),
                                    GnomeReset(kMedia, "automount"),
                                    GnomeReset(kLock, "mount-removable-storage-devices-as-read-only"),
                                }));
}

}  // namespace
}  // namespace corvane
