#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "app/single_instance.h"
#include "support/temp_folder.h"

extern char** environ;

namespace corvane::testing {
namespace {

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
    test_support::TempFolder folder;
};

TEST_F(SingleInstanceTest, OneCopyPerComputerNameAndADeadCopysFileDoesNotBlock) {
    // A file left by a copy that died holds no lock.
    std::filesystem::create_directories(folder / "run");
    folder.Write("run/WS-ONE.lock", "99999\n");
    auto first = std::make_unique<SingleInstanceLock>();
    ASSERT_TRUE(first->Acquire());
    SingleInstanceLock second;
    EXPECT_FALSE(second.Acquire());
    ::setenv("CORVANE_COMPUTER_NAME", "WS-TWO", 1);
    SingleInstanceLock otherWorkstation;
    EXPECT_TRUE(otherWorkstation.Acquire());
    ::setenv("CORVANE_COMPUTER_NAME", "WS-ONE", 1);
    first.reset();
    EXPECT_TRUE(second.Acquire());
}

TEST_F(SingleInstanceTest, ASecondProgramEndsAtOnceWritingNothing) {
    SingleInstanceLock running;
    ASSERT_TRUE(running.Acquire());
    const std::string testRegistry = std::getenv("CORVANE_REGISTRY_DIR") ? std::getenv("CORVANE_REGISTRY_DIR") : "";
    const std::string program = folder / "program";
    const std::string registry = folder / "registry";
    const std::string shots = folder / "shots";
    ::setenv("CORVANE_PROGRAM_DIR", program.c_str(), 1);
    ::setenv("CORVANE_REGISTRY_DIR", registry.c_str(), 1);
    ::setenv("CORVANE_SCREENSHOT_DIR", shots.c_str(), 1);
    char* argv[] = {const_cast<char*>(CORVANE_EXECUTABLE), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, CORVANE_EXECUTABLE, nullptr, nullptr, argv, environ), 0);
    ::unsetenv("CORVANE_PROGRAM_DIR");
    ::unsetenv("CORVANE_SCREENSHOT_DIR");
    ::setenv("CORVANE_REGISTRY_DIR", testRegistry.c_str(), 1);
    int status = 0;
    pid_t done = 0;
    for (int i = 0; i < 300 && done == 0; ++i) {
        done = ::waitpid(pid, &status, WNOHANG);
        if (done == 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (done == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        FAIL() << "the second copy kept running";
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(IsEmpty(program));
    EXPECT_TRUE(IsEmpty(registry));
    EXPECT_TRUE(IsEmpty(shots));
}

}  // namespace
}  // namespace corvane::testing
