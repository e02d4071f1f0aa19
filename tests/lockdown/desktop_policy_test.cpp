// The desktop's own switches for the lockdown options, through gsettings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lockdown/desktop_policy.h"
#include "lockdown/lockdown_options.h"
#include "lockdown/security_levels.h"
#include "lockdown_test_support.h"
#include "platform/system/process_spawn.h"

namespace corvane {
namespace {

using namespace testing;
using Argv = std::vector<std::string>;

struct Runs {
    std::vector<Argv> commands;
    CommandRunner Runner() {
        return [this](const Argv& argv) { commands.push_back(argv); };
    }
};

TEST(GsettingsPolicy, OnSetsTheLockingValueOffResetsTheKey) {
    struct Case {
        std::int32_t option;
        const char* schema;
        const char* key;
        const char* locking;
    };
    const std::vector<Case> cases = {
        {10, "org.gnome.desktop.lockdown", "disable-command-line", "true"},
        {15, "org.gnome.desktop.lockdown", "disable-log-out", "true"},
        {17, "org.gnome.desktop.lockdown", "disable-lock-screen", "true"},
        {19, "org.gnome.desktop.lockdown", "user-administration-disabled", "true"},
        {16, "org.gnome.desktop.media-handling", "autorun-never", "true"},
        {3, "org.gnome.desktop.privacy", "remember-recent-files", "false"},
    };
    Runs runs;
    auto policy = MakeGsettingsDesktopPolicy(runs.Runner(), [](const std::string&) { return true; },
                                             [] { return true; });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option);
        runs.commands.clear();
        policy->OptionWritten(c.option, true);
        policy->OptionWritten(c.option, false);
        EXPECT_EQ(runs.commands, (std::vector<Argv>{{"gsettings", "set", c.schema, c.key, c.locking},
                                                    {"gsettings", "reset", c.schema, c.key}}));
    }
    // The other options have no switch on this desktop.
    runs.commands.clear();
    for (std::int32_t option = -1; option <= kLockdownOptionCount; ++option) {
        if (DesktopSwitchFor(option)) continue;
        policy->OptionWritten(option, true);
    }
    EXPECT_TRUE(runs.commands.empty());
}

TEST(GsettingsPolicy, NothingRunsWithoutTheProgramOrTheSchema) {
    Runs runs;
    std::vector<std::string> asked;
    auto noSchema = MakeGsettingsDesktopPolicy(
        runs.Runner(),
        [&asked](const std::string& schema) {
            asked.push_back(schema);
            return schema != "org.gnome.desktop.lockdown";
        },
        [] { return true; });
    noSchema->OptionWritten(kNoRun, true);
    noSchema->OptionWritten(kNoRecentDocsMenu, true);
    EXPECT_EQ(asked, (std::vector<std::string>{"org.gnome.desktop.lockdown", "org.gnome.desktop.privacy"}));
    EXPECT_EQ(runs.commands, (std::vector<Argv>{{"gsettings", "set", "org.gnome.desktop.privacy",
                                                 "remember-recent-files", "false"}}));

    runs.commands.clear();
    auto noProgram = MakeGsettingsDesktopPolicy(runs.Runner(), [](const std::string&) { return true; },
                                                [] { return false; });
    noProgram->OptionWritten(kNoRun, true);
    EXPECT_TRUE(runs.commands.empty());
}

TEST(GsettingsPolicy, TheRealRunnerStartsNothingUnderTest) {
    std::vector<Argv> spawned;
    SetSpawnFunction([&spawned](const Argv& argv, const std::string&) {
        spawned.push_back(argv);
        return 1;
    });
    auto policy = MakeGsettingsDesktopPolicy({}, [](const std::string&) { return true; }, [] { return true; });
    policy->OptionWritten(kNoRun, true);
    SetSpawnFunction(nullptr);
    EXPECT_TRUE(spawned.empty());
}

using DesktopThroughOptions = LockdownTest;

TEST_F(DesktopThroughOptions, OptionWritesAndLevelsReachTheDesktop) {
    UseRecordingStore();
    Runs runs;
    SetDesktopPolicy(MakeGsettingsDesktopPolicy(runs.Runner(), [](const std::string&) { return true; },
                                                [] { return true; }));
    ApplySecurityLevel(2);
    // In the levels' write order: NoRun, NoClose (no switch), NoRecentDocsMenu, NoLogoff, ...
    EXPECT_EQ(runs.commands,
              (std::vector<Argv>{
                  {"gsettings", "set", "org.gnome.desktop.lockdown", "disable-command-line", "true"},
                  {"gsettings", "set", "org.gnome.desktop.privacy", "remember-recent-files", "false"},
                  {"gsettings", "reset", "org.gnome.desktop.lockdown", "disable-log-out"},
                  {"gsettings", "set", "org.gnome.desktop.lockdown", "disable-lock-screen", "true"},
                  {"gsettings", "set", "org.gnome.desktop.media-handling", "autorun-never", "true"},
                  {"gsettings", "set", "org.gnome.desktop.lockdown", "user-administration-disabled", "true"},
              }));
}

}  // namespace
}  // namespace corvane
