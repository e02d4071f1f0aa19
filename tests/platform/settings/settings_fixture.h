#pragma once

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "support/temp_folder.h"

namespace corvane::testing {

// A fresh folder for the hives and the program folder of one test, removed
// afterwards, so that no test touches the machine's real settings.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::make_unique<test_support::TempFolder>();
        dir_ = folder_->Path();
        ::setenv("CORVANE_REGISTRY_DIR", dir_.c_str(), 1);
        ::setenv("CORVANE_PROGRAM_DIR", (dir_ + "/program").c_str(), 1);
        std::filesystem::create_directories(dir_ + "/program");
        ResetSettings();
    }

    void TearDown() override {
        SetErrorHandler(nullptr);
        folder_.reset();
    }

    static void ResetSettings() {
        for (const auto& s : GlobalSettings())
            std::visit([](auto* v) { *v = {}; }, s.variable);
        gUseGlobalSettingsINIFile = false;
        gGlobalSettingsINIPathname.clear();
        gDebug = gShowRegEdit = gDoNotShowLockdownWarningAgain = gAnyLockdownOptionsSet = false;
        gLastBackupDate = gLastRestoreDate = 0;
        gLastBackupLocation.clear();
        gLastRestoreLocation.clear();
    }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static void WriteFile(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::unique_ptr<test_support::TempFolder> folder_;
    std::string dir_;
};

// Runs body in a child process and returns its exit code (the body's
// result); as root the child can first become the unprivileged "nobody".
inline int RunInChild(const std::function<int()>& body, bool asNobody = false) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 0;
        if (asNobody) {
            const passwd* pw = ::getpwnam("nobody");
            if (!pw || ::setgid(pw->pw_gid) != 0 || ::setuid(pw->pw_uid) != 0) ::_exit(120);
        }
        code = body();
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace corvane::testing
