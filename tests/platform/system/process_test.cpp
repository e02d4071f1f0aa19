#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

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
    corvane::test_support::TempFolder scratch;
    const std::string trapSet = scratch / "trap-set";
    const int stubborn = SpawnProcess({"sh", "-c", "trap '' TERM; : > \"$0\"; while :; do sleep 1; done", trapSet});
    ASSERT_GT(stubborn, 0);
    // Asked only once it ignores the request, however long the shell takes to get there.
    for (int i = 0; i < 3000 && !std::filesystem::exists(trapSet); ++i) usleep(10000);
    ASSERT_TRUE(std::filesystem::exists(trapSet));
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

// A program path without a folder means the file in the working folder, the
// one a file test finds there, never a program of that name on PATH.
TEST(Process, AProgramFileWithoutAFolderIsTheWorkingFoldersFile) {
    for (const auto& [path, started] : std::vector<std::pair<std::string, std::string>>{
             {"calc", "./calc"}, {"./calc", "./calc"}, {"bin/calc", "bin/calc"}, {"/usr/bin/calc", "/usr/bin/calc"},
             {"", ""}})
        EXPECT_EQ(ProgramFilePath(path), started) << path;

    test_support::TempFolder here, onPath;
    // Each copy leaves a mark beside itself when it runs.
    for (const test_support::TempFolder* folder : {&here, &onPath})
        std::filesystem::permissions(folder->Write("corvane-probe", "#!/bin/sh\ntouch \"$0.ran\"\n"),
                                     std::filesystem::perms::owner_all);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (onPath.Path() + ":" + oldPath).c_str(), 1);
    const auto oldFolder = std::filesystem::current_path();
    std::filesystem::current_path(here.Path());

    const int pid = SpawnProcess({ProgramFilePath("corvane-probe")});
    int status = 0;
    if (pid > 0) waitpid(pid, &status, 0);
    std::filesystem::current_path(oldFolder);
    setenv("PATH", oldPath.c_str(), 1);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(std::filesystem::exists(here / "corvane-probe.ran"));
    EXPECT_FALSE(std::filesystem::exists(onPath / "corvane-probe.ran"));
}
