#pragma once

#include <gtest/gtest.h>
#include <poll.h>
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

// What a reader process saw while another process saved again and again.
struct WatchedSaves {
    int mixes = 0;  // reads that found part of a save
    int reads = 0;
};

// Calls save(1), save(2) ... save(saves) (in a child as "nobody" when asked)
// while a reader process reads two numbers each save writes, the one saved
// first before the one saved last. Seeing the first newer than the last means
// the reader saw part of a save.
inline WatchedSaves WatchSaves(const std::function<int()>& readFirst, const std::function<int()>& readLast,
                               const std::function<void(int)>& save, int saves, bool saveAsNobody = false) {
    int stop[2];
    int report[2];
    if (::pipe(stop) != 0 || ::pipe(report) != 0) return {-1, 0};
    const pid_t reader = ::fork();
    if (reader == 0) {
        ::close(stop[1]);
        ::close(report[0]);
        WatchedSaves seen;
        for (;;) {
            pollfd done{stop[0], POLLIN, 0};
            if (::poll(&done, 1, 0) > 0) break;  // the saver has finished
            const int first = readFirst();
            const int last = readLast();
            if (first > last) ++seen.mixes;
            ++seen.reads;
        }
        (void)!::write(report[1], &seen, sizeof seen);
        ::_exit(0);
    }
    ::close(stop[0]);
    ::close(report[1]);
    const auto saveAll = [&] {
        for (int generation = 1; generation <= saves; ++generation) save(generation);
        return 0;
    };
    if (saveAsNobody) RunInChild(saveAll, true);
    else saveAll();
    ::close(stop[1]);
    WatchedSaves seen{-1, 0};
    if (::read(report[0], &seen, sizeof seen) != static_cast<ssize_t>(sizeof seen)) seen = {-1, 0};
    ::close(report[0]);
    ::waitpid(reader, nullptr, 0);
    return seen;
}

}  // namespace corvane::testing
