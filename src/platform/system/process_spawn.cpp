#include "platform/system/process_spawn.h"

#include <signal.h>
#include <sys/stat.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include "platform/core/creation_mode.h"
#include "platform/system/desktop_opener.h"

extern char** environ;

namespace corvane {
namespace {

DesktopOpenCheck& OpenCheck() {
    static DesktopOpenCheck check;
    return check;
}

SpawnFunction& Override() {
    static SpawnFunction spawn;
    return spawn;
}

std::vector<pid_t>& Children() {
    static std::vector<pid_t> children;
    return children;
}

int RealSpawn(const std::vector<std::string>& argv, const std::string& workDir) {
    if (argv.empty() || argv.front().empty()) return 0;
    ReapFinishedChildren();

    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    // The program lives on its own: its own session, no signals blocked or
    // ignored because this process had them so.
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                        POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    // The program gets the creation mask this process started with, not the private one it
    // keeps for its own files (posix_spawn has no attribute for it; the window thread alone
    // creates files meanwhile).
    const mode_t own = ::umask(InheritedCreationMask());
    const int rc = posix_spawnp(&pid, args.front(), &actions, &attr, args.data(), environ);
    ::umask(own);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return 0;
    Children().push_back(pid);
    return static_cast<int>(pid);
}

}  // namespace

void ReapFinishedChildren() {
    auto& children = Children();
    children.erase(std::remove_if(children.begin(), children.end(),
                                  [](pid_t pid) {
                                      int status = 0;
                                      const pid_t r = waitpid(pid, &status, WNOHANG);
                                      return r == pid || r < 0;
                                  }),
                   children.end());
}

int SpawnProcess(const std::vector<std::string>& argv, const std::string& workDir) {
    if (Override()) return Override()(argv, workDir);
    return RealSpawn(argv, workDir);
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string ProgramFilePath(const std::string& path) {
    if (path.empty() || path.find('/') != std::string::npos) return path;
    return "./" + path;
}

int OpenWithDesktop(const std::string& target, const std::string& workDir) {
    if (target.empty()) return 0;
    // Resolved here and started directly, so the program the check saw is the one that runs.
    const std::vector<std::string> argv =
        ResolveDesktopCommand(target, DocumentTypes(target), DesktopPlaces::FromEnvironment());
    const std::string program = argv.empty() ? std::string() : argv.front();
    if (!OpenCheck() || !OpenCheck()(program) || argv.empty()) return kDesktopOpenRefused;
    return SpawnProcess(argv, workDir);
}

void SetDesktopOpenCheck(DesktopOpenCheck check) { OpenCheck() = std::move(check); }

void SetSpawnFunction(SpawnFunction spawn) { Override() = std::move(spawn); }

}  // namespace corvane
