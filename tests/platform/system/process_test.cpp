#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>

#include "platform/core/clock.h"
#include "platform/core/environment.h"
#include "platform/system/process.h"
#include "platform/system/process_spawn.h"
#include "support/temp_folder.h"

using namespace corvane;

namespace {

// Instead of the half-second wait: give the asked process a moment to go.
class ShortWaits {
public:
    explicit ShortWaits(int pid) {
        clock::SetSleepFunction([pid](std::chrono::milliseconds wait) {
            waited += wait;
            for (int i = 0; i < 300 && Process().IsProcessRunningByID(pid); ++i) usleep(10000);
        });
    }
    ~ShortWaits() { clock::SetSleepFunction(nullptr); }
    static inline std::chrono::milliseconds waited{0};
};

}  // namespace

TEST(Process, FindsAndEndsAStartedProgramPolitely) {
    const int pid = SpawnProcess({"sleep", "30"});
    ASSERT_GT(pid, 0);
    const Process p;
    EXPECT_TRUE(p.IsProcessRunningByID(pid));
    EXPECT_TRUE(p.IsProcessRunning("sleep"));
    EXPECT_TRUE(p.IsProcessRunning(" SLEEP "));
    const auto info = p.GetProcessInfoByID(pid);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Filename(), "sleep");
    EXPECT_TRUE(info->FileExists());

    std::string delimiter;
    const auto list = p.EnumerateProcesses(delimiter);
    EXPECT_EQ(delimiter, ",");
    const std::string owner = GetLocalComputerName() + "\\";
    bool found = false;
    for (const auto& entry : list)
        if (entry.rfind("sleep," + std::to_string(pid) + "," + owner, 0) == 0) found = true;
    EXPECT_TRUE(found);
    EXPECT_EQ(p.GetUserNameFromProcess(pid).rfind(owner, 0), 0u);
    EXPECT_EQ(p.GetUserNameFromProcess(0), "SYSTEM");

    ShortWaits waits(pid);
    ShortWaits::waited = {};
    EXPECT_TRUE(p.EndProcessByID(pid));
    EXPECT_EQ(ShortWaits::waited, std::chrono::milliseconds(500));
    EXPECT_FALSE(p.IsProcessRunningByID(pid));
    EXPECT_FALSE(p.GetProcessInfoByID(pid));
}

TEST(Process, EndProcessByNameAndItsFailures) {
    const Process p;
    // A program that ignores the polite request stays, and the answer says so.
    const int stubborn = SpawnProcess({"sh", "-c", "trap '' TERM; while :; do sleep 1; done"});
    ASSERT_GT(stubborn, 0);
    usleep(200000);
    {
        ShortWaits noWait(0);
        EXPECT_FALSE(p.EndProcessByID(stubborn));
        EXPECT_TRUE(p.IsProcessRunningByID(stubborn));
        kill(stubborn, SIGKILL);
        EXPECT_FALSE(p.EndProcess(""));  // nothing named: nothing ended
        EXPECT_TRUE(p.EndProcess("no-such-program-xyz"));
    }

    // A program of a name no other process on this machine has.
    corvane::test_support::TempFolder dir;
    const std::string name = "corvane-sleeper-" + std::to_string(getpid());
    const std::string copy = dir / name;
    std::filesystem::copy_file("/bin/sleep", copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
    const int pid = SpawnProcess({copy, "31"});
    ASSERT_GT(pid, 0);
    ShortWaits waits(pid);
    const auto info = p.GetProcessInfo(name);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->FullPathName(), copy);
    EXPECT_TRUE(p.EndProcess(name));
    EXPECT_FALSE(p.IsProcessRunningByID(pid));
    EXPECT_FALSE(p.IsProcessRunning(name));
    EXPECT_FALSE(p.GetProcessInfo(""));
}

TEST(Process, MissingProgramIsNotStarted) {
    EXPECT_EQ(SpawnProcess({"/no/such/program"}), 0);
    EXPECT_EQ(SpawnProcess({}), 0);
    EXPECT_EQ(SpawnProcess({"true"}, "/no/such/folder"), 0);
}
