// The desktops' own switches for the lockdown options: gsettings on GNOME,
// kwriteconfig into kdeglobals on KDE Plasma.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
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
          KdeWrite("logout", "false"), KdeWrite("action/switch_user", "false"),
          KdeWrite("action/start_new_session", "false")},
         {GnomeReset(kLock, "disable-log-out"), GnomeReset(kLock, "disable-user-switching"),
          KdeWrite("logout", "--delete"), KdeWrite("action/switch_user", "--delete"),
          KdeWrite("action/start_new_session", "--delete")}},
        {kNoDriveTypeAutoRun,
         {GnomeSet(kMedia, "autorun-never", "true"), GnomeSet(kMedia, "automount-open", "false")},
         {GnomeReset(kMedia, "autorun-never"), GnomeReset(kMedia, "automount-open")}},
        {kDisableLockWorkstation,
         {GnomeSet(kLock, "disable-lock-screen", "true"), KdeWrite("action/lock_screen", "false")},
         {GnomeReset(kLock, "disable-lock-screen"), KdeWrite("action/lock_screen", "--delete")}},
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
        // The machine runs GNOME: only a GNOME switch takes effect.
        EXPECT_EQ(policy->HasEffect(row.option), row.on.front()[0] == "gsettings");
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

// The options with an effect follow the desktop that runs the session, as the
// session declares it, and that desktop's installed tools; whatever is
// installed, every desktop is written to.
TEST(DesktopPolicy, WhatTakesEffectFollowsTheRunningDesktop) {
    const std::set<std::int32_t> gnome = {kNoRecentDocsMenu,  kNoSetFolders,       kNoRun,
                                          kNoDrives,          kNoLogoff,           kNoDriveTypeAutoRun,
                                          kDisableLockWorkstation, kDisableChangePassword};
    const std::set<std::int32_t> kde = {kNoFolderOptions, kNoRecentDocsMenu, kNoSetTaskbar,          kNoRun,
                                        kNoViewContextMenu, kNoLogoff,       kDisableLockWorkstation};
    const std::set<std::string> everything = {"gsettings", "kwriteconfig6", "kwriteconfig5"};
    struct Case {
        const char* name;
        Machine machine;
        std::set<std::int32_t> effective;
    };
    for (Case c : {Case{"gnome", GnomeOnlyMachine(), gnome},
                   Case{"ubuntu's gnome", MachineWith(everything, true, {{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}), gnome},
                   Case{"gnome declared only by its session id",
                        MachineWith(everything, true, {{"GNOME_DESKTOP_SESSION_ID", "this-is-deprecated"}}), gnome},
                   Case{"kde6", KdeOnlyMachine("kwriteconfig6"), kde}, Case{"kde5", KdeOnlyMachine("kwriteconfig5"), kde},
                   Case{"kde declared only by its session", MachineWith(everything, true, {{"KDE_FULL_SESSION", "true"}}), kde},
                   Case{"kde with gnome's tools too", GnomeAndKdeMachine("KDE"), kde},
                   Case{"openbox with both desktops installed", GnomeAndKdeMachine("openbox"), {}},
                   Case{"xfce with both desktops installed", GnomeAndKdeMachine("XFCE"), {}},
                   Case{"no desktop declared", MachineWith(everything, true), {}},
                   Case{"gnome without its tools", MachineWith({}, false, {{"XDG_CURRENT_DESKTOP", "GNOME"}}), {}},
                   Case{"bare", BareMachine(), {}}}) {
        SCOPED_TRACE(c.name);
        auto policy = c.machine.Policy();
        std::set<std::int32_t> effective;
        for (std::int32_t option = 0; option < kLockdownOptionCount; ++option)
            if (policy->HasEffect(option)) effective.insert(option);
        EXPECT_EQ(effective, c.effective);
        // Only installed tools are started.
        for (std::int32_t option = 0; option < kLockdownOptionCount; ++option) policy->OptionWritten(option, true);
        for (const Argv& argv : c.machine.commands) EXPECT_TRUE(c.machine.programs.contains(argv[0])) << argv[0];
        EXPECT_EQ(c.machine.commands.empty(), c.machine.programs.empty());
    }
}

// A site's own value is kept before the first change and comes back when the
// option goes off; a key that was absent is absent again; a key the program
// never changed is left alone.
TEST(DesktopPolicy, OffPutsBackWhatTheSiteHad) {
    Machine machine = GnomeAndKdeMachine();
    machine.keys = {{"gsettings org.gnome.desktop.lockdown disable-command-line", "true"},
                    {"kdeglobals shell_access", "false"},
                    {"gsettings org.gnome.desktop.lockdown disable-log-out", "true"},
                    {"kdeglobals logout", "false"}};
    const auto before = machine.keys;
    auto policy = machine.Policy();
    policy->OptionWritten(kNoRun, true);
    policy->OptionWritten(kNoRun, true);  // the second change keeps nothing new
    EXPECT_EQ(machine.kept, (std::map<std::string, std::string>{
                                {"gsettings org.gnome.desktop.lockdown disable-command-line", "=true"},
                                {"kdeglobals KDE Action Restrictions run_command", "-"},
                                {"kdeglobals KDE Action Restrictions shell_access", "=false"}}));
    EXPECT_EQ(machine.keys["kdeglobals run_command"], "false");
    machine.commands.clear();
    policy->OptionWritten(kNoRun, false);
    EXPECT_EQ(machine.keys, before);
    EXPECT_TRUE(machine.kept.empty());
    // The GNOME reset lost the site's value: it is set again.
    EXPECT_EQ(machine.commands, (std::vector<Argv>{GnomeReset(kLock, "disable-command-line"),
                                                   GnomeSet(kLock, "disable-command-line", "true"),
                                                   KdeWrite("run_command", "--delete"),
                                                   KdeWrite("shell_access", "false")}));

    // Never switched on here: off writes nothing, the site's lock stays.
    machine.commands.clear();
    policy->OptionWritten(kNoLogoff, false);
    EXPECT_TRUE(machine.commands.empty());
    EXPECT_EQ(machine.keys, before);
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
    std::map<std::string, std::string> kept;
    tools.kept = [&](const std::string& name) { return kept[name]; };
    tools.keep = [&](const std::string& name, const std::string& text) { kept[name] = text; };
    auto policy = MakeDesktopPolicy(std::move(tools));
    // Neither the reading before the change nor the change itself starts anything.
    policy->OptionWritten(kNoRun, true);
    policy->OptionWritten(kNoRun, false);
    SetSpawnFunction(nullptr);
    EXPECT_TRUE(spawned.empty());
}

std::string FileText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs a command to its end with XDG_CONFIG_HOME moved (and the environment
// given); its standard output, or nothing when it failed.
std::optional<std::string> ReadWithConfigHome(const Argv& argv, const std::string& configHome,
                                              const std::map<std::string, std::string>& environment = {}) {
    test_support::TempFolder out;
    const std::string file = out.Path() + "/out";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
        if (!std::freopen(file.c_str(), "w", stdout)) ::_exit(126);
        std::vector<char*> args;
        for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    std::string text = FileText(file);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

int RunWithConfigHome(const Argv& argv, const std::string& configHome,
                      const std::map<std::string, std::string>& environment = {}) {
    return ReadWithConfigHome(argv, configHome, environment) ? 0 : 1;
}

bool OnPath(const char* program) { return ReadWithConfigHome({"sh", "-c", std::string("command -v ") + program}, "/") != std::nullopt; }

// The real tools in a scratch configuration folder, on the running desktop
// given (GNOME's tools only on GNOME); exit statuses go to `statuses`, kept values stay in memory.
struct ScratchDesktop {
    explicit ScratchDesktop(std::string home, std::map<std::string, std::string> variables = {})
        : configHome(std::move(home)), environment(std::move(variables)) {}

    std::string configHome;
    std::map<std::string, std::string> environment;
    std::vector<int> statuses;
    std::map<std::string, std::string> kept;

    std::unique_ptr<DesktopPolicy> Policy(std::string running) {
        DesktopTools tools;
        tools.run = [this](const Argv& argv) { statuses.push_back(RunWithConfigHome(argv, configHome, environment)); };
        tools.read = [this](const Argv& argv) { return ReadWithConfigHome(argv, configHome, environment); };
        tools.sessionVariable = [running](const std::string& name) {
            return name == "XDG_CURRENT_DESKTOP" ? running : std::string();
        };
        tools.kept = [this](const std::string& name) { return kept[name]; };
        tools.keep = [this](const std::string& name, const std::string& text) { kept[name] = text; };
        // Only the desktop under test is written to, never the machine's own settings.
        if (running != "GNOME") tools.schemaHasKey = [](const std::string&, const std::string&) { return false; };
        return MakeDesktopPolicy(std::move(tools));
    }
};

// The real kwriteconfig and kreadconfig: the restrictions land in kdeglobals
// under the names Plasma reads, and off leaves the site's own keys as they were.
TEST(DesktopPolicy, KdeWritesLandInKdeglobals) {
    if (!OnPath("kwriteconfig5") && !OnPath("kwriteconfig6")) GTEST_SKIP() << "no kwriteconfig6 or kwriteconfig5 on the PATH";

    test_support::TempFolder config;
    const std::string kdeglobals = config.Path() + "/kdeglobals";
    {
        std::ofstream site(kdeglobals);
        site << "[KDE Action Restrictions]\nshell_access=false\n";
    }
    ScratchDesktop desktop{config.Path()};
    auto policy = desktop.Policy("KDE");
    EXPECT_TRUE(policy->HasEffect(kNoSetTaskbar));

    policy->OptionWritten(kNoRun, true);
    policy->OptionWritten(kDisableLockWorkstation, true);
    policy->OptionWritten(kNoLogoff, true);
    EXPECT_EQ(FileText(kdeglobals),
              "[KDE Action Restrictions]\naction/lock_screen=false\naction/start_new_session=false\n"
              "action/switch_user=false\nlogout=false\nrun_command=false\nshell_access=false\n");

    policy->OptionWritten(kNoRun, false);
    policy->OptionWritten(kNoLogoff, false);
    EXPECT_EQ(FileText(kdeglobals), "[KDE Action Restrictions]\naction/lock_screen=false\nshell_access=false\n");
    EXPECT_EQ(desktop.statuses, std::vector<int>(11, 0));
}

// The real gsettings over a scratch settings store of its own: off puts back a
// site's value and leaves a key that was at its default unset. (The keyfile
// back end stands in for dconf, whose service needs a session bus.)
TEST(DesktopPolicy, GnomeOffPutsBackTheSitesValueWithTheRealGsettings) {
    if (!OnPath("gsettings")) GTEST_SKIP() << "no gsettings on the PATH";
    test_support::TempFolder config;
    const std::map<std::string, std::string> scratch = {{"GSETTINGS_BACKEND", "keyfile"}};
    const auto get = [&](const char* key) { return ReadWithConfigHome({"gsettings", "get", kLock, key}, config.Path(), scratch); };
    if (!get("disable-command-line")) GTEST_SKIP() << "the GNOME lockdown schema is not installed";
    ASSERT_EQ(RunWithConfigHome(GnomeSet(kLock, "disable-command-line", "true"), config.Path(), scratch), 0);

    ScratchDesktop desktop{config.Path(), scratch};
    auto policy = desktop.Policy("GNOME");
    EXPECT_TRUE(policy->HasEffect(kNoRun));

    policy->OptionWritten(kNoRun, true);
    policy->OptionWritten(kNoLogoff, true);
    EXPECT_EQ(get("disable-command-line"), "true");
    EXPECT_EQ(get("disable-log-out"), "true");
    policy->OptionWritten(kNoRun, false);
    policy->OptionWritten(kNoLogoff, false);
    EXPECT_EQ(get("disable-command-line"), "true");
    EXPECT_EQ(get("disable-log-out"), "false");
    const std::string store = FileText(config.Path() + "/glib-2.0/settings/keyfile");
    EXPECT_NE(store.find("disable-command-line=true"), std::string::npos) << store;
    EXPECT_EQ(store.find("disable-log-out"), std::string::npos) << store;
    for (int status : desktop.statuses) EXPECT_EQ(status, 0);
}

// Environment variables set (or, given nothing, unset) for one test, then as they were.
class EnvironmentScope {
public:
    explicit EnvironmentScope(std::map<std::string, std::optional<std::string>> variables) {
        for (const auto& [name, value] : variables) {
            const char* before = std::getenv(name.c_str());
            saved_.push_back({name, before ? std::optional<std::string>(before) : std::nullopt});
            if (value) ::setenv(name.c_str(), value->c_str(), 1);
            else ::unsetenv(name.c_str());
        }
    }
    ~EnvironmentScope() {
        for (const auto& [name, value] : saved_) {
            if (value) ::setenv(name.c_str(), value->c_str(), 1);
            else ::unsetenv(name.c_str());
        }
    }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

using DesktopThroughOptions = LockdownTest;

// The program's own runner and reader, not the test's: each command has
// ended before the next reads the key, so off gives back a site's value that
// differs from the schema's default, also through the levels. Run over
// scratch stores of the real gsettings (keyfile back end) and kwriteconfig,
// with the test guard lifted for this test only.
TEST_F(DesktopThroughOptions, TheProgramsOwnCommandsRunToTheirEndBeforeTheKeyIsRead) {
    if (!OnPath("gsettings")) GTEST_SKIP() << "no gsettings on the PATH";
    test_support::TempFolder config;
    const std::map<std::string, std::string> scratch = {{"GSETTINGS_BACKEND", "keyfile"}};
    const auto get = [&](const char* schema, const char* key) {
        return ReadWithConfigHome({"gsettings", "get", schema, key}, config.Path(), scratch);
    };
    if (!get(kLock, "disable-command-line") || !get(kPrivacy, "remember-recent-files"))
        GTEST_SKIP() << "the GNOME lockdown or privacy schema is not installed";
    // The site's values, each the opposite of its schema's default.
    ASSERT_EQ(RunWithConfigHome(GnomeSet(kLock, "disable-command-line", "true"), config.Path(), scratch), 0);
    ASSERT_EQ(RunWithConfigHome(GnomeSet(kPrivacy, "remember-recent-files", "false"), config.Path(), scratch), 0);
    {
        std::ofstream site(config.Path() + "/kdeglobals");
        site << "[KDE Action Restrictions]\nshell_access=false\n";
    }
    const std::string kdeBefore = FileText(config.Path() + "/kdeglobals");

    UseRecordingStore();
    EnvironmentScope environment({{"CORVANE_TEST", std::nullopt},
                                  {"XDG_CONFIG_HOME", config.Path()},
                                  {"GSETTINGS_BACKEND", "keyfile"}});
    DesktopTools tools;
    tools.sessionVariable = [](const std::string& name) {
        return name == "XDG_CURRENT_DESKTOP" ? std::string("GNOME") : std::string();
    };
    SetDesktopPolicy(MakeDesktopPolicy(std::move(tools)));
    // A reset still running when the read starts loses the value only now and then.
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        SetLockdownOption(kNoRun, true);
        EXPECT_EQ(get(kLock, "disable-command-line"), "true");
        SetLockdownOption(kNoRun, false);
        EXPECT_EQ(get(kLock, "disable-command-line"), "true");

        ApplySecurityLevel(5);
        EXPECT_EQ(get(kPrivacy, "remember-recent-files"), "false");
        EXPECT_EQ(get(kLock, "disable-log-out"), "false");
        ApplySecurityLevel(0);
        EXPECT_EQ(get(kPrivacy, "remember-recent-files"), "false");
        EXPECT_EQ(get(kLock, "disable-command-line"), "true");
        EXPECT_EQ(get(kLock, "disable-lock-screen"), "false");
        EXPECT_EQ(FileText(config.Path() + "/kdeglobals"), kdeBefore);
    }
    const std::string store = FileText(config.Path() + "/glib-2.0/settings/keyfile");
    EXPECT_EQ(store.find("disable-lock-screen"), std::string::npos) << store;
}

TEST_F(DesktopThroughOptions, OptionWritesAndLevelsReachTheDesktop) {
    UseRecordingStore();
    Machine machine = GnomeOnlyMachine();
    SetDesktopPolicy(machine.Policy());
    ApplySecurityLevel(2);
    // In the levels' write order: NoRun, NoClose (no switch), NoRecentDocsMenu, NoLogoff, ...
    // Options switched off that the program never changed are left alone.
    EXPECT_EQ(machine.commands, (std::vector<Argv>{
                                    GnomeSet(kLock, "disable-command-line", "true"),
                                    GnomeSet(kPrivacy, "remember-recent-files", "false"),
                                    GnomeSet(kLock, "disable-lock-screen", "true"),
                                    GnomeSet(kMedia, "autorun-never", "true"),
                                    GnomeSet(kMedia, "automount-open", "false"),
                                    GnomeSet(kLock, "user-administration-disabled", "true"),
                                    GnomeSet(kLock, "disable-print-setup", "true"),
                                }));
    // Level 0 puts back exactly what level 2 found.
    machine.commands.clear();
    ApplySecurityLevel(0);
    EXPECT_TRUE(machine.keys.empty());
    EXPECT_TRUE(machine.kept.empty());
}

}  // namespace
}  // namespace corvane
