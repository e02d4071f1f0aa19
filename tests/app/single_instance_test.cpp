#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/single_instance.h"
#include "support/temp_folder.h"

extern char** environ;

namespace corvane::testing {
namespace {

using Result = SingleInstanceLock::Result;

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("CORVANE_RUNTIME_DIR", (folder / "run").c_str(), 1);
        ::setenv("CORVANE_COMPUTER_NAME", "WS-ONE", 1);
    }
    void TearDown() override {
        ::unsetenv("CORVANE_RUNTIME_DIR");
        ::unsetenv("CORVANE_COMPUTER_NAME");
    }
    static bool IsEmpty(const std::string& path) {
        std::error_code ec;
        return !std::filesystem::exists(path, ec) || std::filesystem::is_empty(path, ec);
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Starts the program with folders of the test's own; its exit status, or -1
    // when it kept running (it is then killed). Standard error lands in "stderr".
    int RunProgram() {
        const char* current = std::getenv("CORVANE_REGISTRY_DIR");
        const std::string testRegistry = current ? current : "";
        ::setenv("CORVANE_PROGRAM_DIR", program.c_str(), 1);
        ::setenv("CORVANE_REGISTRY_DIR", registry.c_str(), 1);
        ::setenv("CORVANE_SCREENSHOT_DIR", shots.c_str(), 1);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        char* argv[] = {const_cast<char*>(CORVANE_EXECUTABLE), nullptr};
        pid_t pid = 0;
        const int spawned = ::posix_spawn(&pid, CORVANE_EXECUTABLE, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::unsetenv("CORVANE_PROGRAM_DIR");
        ::unsetenv("CORVANE_SCREENSHOT_DIR");
        ::setenv("CORVANE_REGISTRY_DIR", testRegistry.c_str(), 1);
        if (spawned != 0) return -2;
        int status = 0;
        pid_t done = 0;
        for (int i = 0; i < 300 && done == 0; ++i) {
            done = ::waitpid(pid, &status, WNOHANG);
            if (done == 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (done == 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
    }

    test_support::TempFolder folder;
    const std::string program = folder / "program";
    const std::string registry = folder / "registry";
    const std::string shots = folder / "shots";
    const std::string errors = folder / "stderr";
};

TEST_F(SingleInstanceTest, OneCopyPerComputerNameAndADeadCopysFileDoesNotBlock) {
    // A file left by a copy that died holds no lock.
    ::mkdir((folder / "run").c_str(), 0700);
    folder.Write("run/WS-ONE.lock", "99999\n");
    auto first = std::make_unique<SingleInstanceLock>();
    ASSERT_EQ(first->Acquire(), Result::kHeld);
    SingleInstanceLock second;
    EXPECT_EQ(second.Acquire(), Result::kOtherCopyRuns);
    ::setenv("CORVANE_COMPUTER_NAME", "WS-TWO", 1);
    SingleInstanceLock otherWorkstation;
    EXPECT_EQ(otherWorkstation.Acquire(), Result::kHeld);
    ::setenv("CORVANE_COMPUTER_NAME", "WS-ONE", 1);
    first.reset();
    EXPECT_EQ(second.Acquire(), Result::kHeld);
}

TEST_F(SingleInstanceTest, TheRuntimeFolderIsMadePrivate) {
    SingleInstanceLock lock;
    ASSERT_EQ(lock.Acquire(), Result::kHeld);
    struct stat st {};
    ASSERT_EQ(::lstat((folder / "run").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::geteuid());
}

// Without CORVANE_RUNTIME_DIR: $XDG_RUNTIME_DIR/corvane, and without that a folder of the
// account's own home, never a folder others share such as /tmp, where another account
// could make it first and so keep the program from starting.
TEST_F(SingleInstanceTest, WithoutXdgRuntimeDirTheFolderIsInTheAccountsHome) {
    struct Saved {
        const char* name;
        std::optional<std::string> value;
    };
    std::vector<Saved> saved;
    for (const char* name : {"XDG_RUNTIME_DIR", "XDG_STATE_HOME", "HOME"}) {
        const char* v = std::getenv(name);
        saved.push_back({name, v ? std::optional<std::string>(v) : std::nullopt});
    }
    ::unsetenv("CORVANE_RUNTIME_DIR");
    const std::string home = folder / "home";
    ::mkdir(home.c_str(), 0700);
    struct Row {
        const char* name;
        const char* runtime;  // nullptr: unset
        const char* state;
        std::string expected;
    } const rows[] = {
        {"XDG_RUNTIME_DIR", "xdg-run", "state", folder / "xdg-run/corvane"},
        {"XDG_STATE_HOME", nullptr, "state", folder / "state/corvane/run"},
        {"the home folder", nullptr, nullptr, home + "/.local/state/corvane/run"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.runtime) {
            ::mkdir((folder / row.runtime).c_str(), 0700);
            ::setenv("XDG_RUNTIME_DIR", (folder / row.runtime).c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        if (row.state) ::setenv("XDG_STATE_HOME", (folder / row.state).c_str(), 1);
        else ::unsetenv("XDG_STATE_HOME");
        ::setenv("HOME", home.c_str(), 1);
        EXPECT_EQ(RuntimeFolder(), row.expected);
        SingleInstanceLock lock;
        EXPECT_EQ(lock.Acquire(), Result::kHeld) << lock.Problem();
        struct stat st {};
        ASSERT_EQ(::lstat(row.expected.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    for (const Saved& s : saved) {
        if (s.value) ::setenv(s.name, s.value->c_str(), 1);
        else ::unsetenv(s.name);
    }
}

TEST_F(SingleInstanceTest, ASecondProgramEndsAtOnceWritingNothing) {
    SingleInstanceLock running;
    ASSERT_EQ(running.Acquire(), Result::kHeld);
    EXPECT_EQ(RunProgram(), 0) << Read(errors);
    // One line says why (Qt may warn about the test's own environment before it).
    const std::string said = Read(errors);
    const std::string why = "Corvane is already running on this computer\n";
    EXPECT_TRUE(said.ends_with(why)) << said;
    EXPECT_EQ(said.find("Corvane"), said.size() - why.size()) << said;
    EXPECT_TRUE(IsEmpty(program));
    EXPECT_TRUE(IsEmpty(registry));
    EXPECT_TRUE(IsEmpty(shots));
}

// Where the lock cannot be taken nobody can tell whether a copy runs: the start says why
// (error log and standard error) and ends before it shows or stores anything.
TEST_F(SingleInstanceTest, AStartThatCannotLockSaysWhyAndEnds) {
    const std::string run = folder / "run";
    struct Row {
        const char* name;
        const char* why;
        std::function<bool()> prepare;  // false: the row cannot be set up here
    } const rows[] = {
        {"the lock file cannot be opened", "cannot be opened",
         [&] { return ::mkdir(run.c_str(), 0700) == 0 && ::mkdir((run + "/WS-ONE.lock").c_str(), 0700) == 0; }},
        {"others may write the runtime folder", "may be written by other users",
         [&] { return ::mkdir(run.c_str(), 0700) == 0 && ::chmod(run.c_str(), 0777) == 0; }},
        {"the runtime folder is a link", "is not a folder",
         [&] {
             return ::mkdir((folder / "elsewhere").c_str(), 0700) == 0 &&
                    ::symlink((folder / "elsewhere").c_str(), run.c_str()) == 0;
         }},
        {"the runtime folder belongs to another user", "belongs to another user",
         [&] {
             // Only the superuser can give a folder away.
             return ::geteuid() == 0 && ::mkdir(run.c_str(), 0700) == 0 && ::chown(run.c_str(), 65534, 65534) == 0;
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::error_code ec;
        std::filesystem::remove_all(run, ec);
        std::filesystem::remove_all(program, ec);
        std::filesystem::create_directories(program);
        if (!row.prepare()) {
            std::printf("skipped: %s\n", row.name);
            continue;
        }
        SingleInstanceLock lock;
        EXPECT_EQ(lock.Acquire(), Result::kCannotLock);
        EXPECT_NE(lock.Problem().find(row.why), std::string::npos) << lock.Problem();

        EXPECT_EQ(RunProgram(), 1);
        EXPECT_NE(Read(errors).find("Corvane does not start: "), std::string::npos) << Read(errors);
        EXPECT_NE(Read(errors).find(row.why), std::string::npos) << Read(errors);
        const std::string log = Read(program + "/Corvane_ErrorLog.txt");
        EXPECT_NE(log.find(row.why), std::string::npos) << log;
        EXPECT_TRUE(IsEmpty(registry));
        EXPECT_TRUE(IsEmpty(shots));
    }
}

}  // namespace
}  // namespace corvane::testing
