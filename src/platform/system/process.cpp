#include "platform/system/process.h"

#include <dirent.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <cstdlib>

#include "platform/core/clock.h"
#include "platform/core/environment.h"
#include "platform/system/file_helpers.h"
#include "platform/system/process_spawn.h"

namespace corvane {
namespace {

constexpr std::chrono::milliseconds kCloseWait{500};

std::string ReadFirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// The state letter of /proc/<id>/stat; the name in parentheses may itself
// hold spaces and parentheses, so the state follows the last ")".
char State(const std::string& dir) {
    const std::string stat = ReadFirstLine(dir + "/stat");
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() ? stat[close + 2] : '?';
}

std::optional<Process::Entry> ReadEntry(std::int32_t id) {
    const std::string dir = "/proc/" + std::to_string(id);
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0) return std::nullopt;
    const char state = State(dir);
    if (state == 'Z' || state == 'X' || state == '?') return std::nullopt;

    Process::Entry e;
    e.id = id;
    e.uid = st.st_uid;
    char target[4096];
    const ssize_t n = readlink((dir + "/exe").c_str(), target, sizeof target - 1);
    if (n > 0) {
        e.executable.assign(target, static_cast<std::size_t>(n));
        const std::string deleted = " (deleted)";
        if (e.executable.size() > deleted.size() &&
            e.executable.compare(e.executable.size() - deleted.size(), deleted.size(), deleted) == 0)
            e.executable.resize(e.executable.size() - deleted.size());
    }
    if (e.executable.empty()) {
        std::ifstream in(dir + "/cmdline", std::ios::binary);
        std::getline(in, e.executable, '\0');
    }
    const std::string comm = ReadFirstLine(dir + "/comm");
    if (e.executable.empty()) e.executable = comm;
    const auto slash = e.executable.rfind('/');
    e.name = slash == std::string::npos ? e.executable : e.executable.substr(slash + 1);
    if (e.name.empty()) e.name = comm;
    return e;
}

std::string OwnerName(std::int64_t uid) {
    if (uid < 0) return "SYSTEM";
    passwd pw{};
    passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(static_cast<uid_t>(uid), &pw, buffer, sizeof buffer, &found) != 0 || !found)
        return "SYSTEM";
    return GetLocalComputerName() + "\\" + found->pw_name;
}

bool Matches(const Process::Entry& e, const std::string& wanted) {
    return !wanted.empty() && File().MatchFileName(e.executable, wanted);
}

}  // namespace

std::optional<std::vector<Process::Entry>> Process::Snapshot() {
    ReapFinishedChildren();
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir("/proc"), closedir);
    if (!dir) return std::nullopt;
    std::vector<Entry> entries;
    while (const dirent* d = readdir(dir.get())) {
        char* end = nullptr;
        const long id = std::strtol(d->d_name, &end, 10);
        if (*end != '\0' || id <= 0) continue;
        if (auto e = ReadEntry(static_cast<std::int32_t>(id))) entries.push_back(std::move(*e));
    }
    return entries;
}

std::vector<std::string> Process::EnumerateProcesses(std::string& delimiter) const {
    if (delimiter.empty()) delimiter = ",";
    std::vector<std::string> list;
    const auto snapshot = Snapshot();
    if (!snapshot) return list;
    for (const auto& e : *snapshot)
        list.push_back(e.name + delimiter + std::to_string(e.id) + delimiter + OwnerName(e.uid));
    return list;
}

std::string Process::GetUserNameFromProcess(std::int32_t processId) const {
    const auto e = processId > 0 ? ReadEntry(processId) : std::nullopt;
    return OwnerName(e ? e->uid : -1);
}

bool Process::EndProcessByID(std::int32_t processId) const {
    if (processId <= 0) return false;
    kill(processId, SIGTERM);
    clock::Sleep(kCloseWait);
    return !IsProcessRunningByID(processId);
}

bool Process::EndProcess(const std::string& strProcess) const {
    if (strProcess.empty()) return false;
    const auto snapshot = Snapshot();
    if (!snapshot) return false;
    const pid_t self = getpid();
    for (const auto& e : *snapshot)
        // Never this program itself: a signal would end it without its
        // orderly unloading.
        if (e.id != self && Matches(e, strProcess)) kill(e.id, SIGTERM);
    clock::Sleep(kCloseWait);
    const auto after = Snapshot();
    if (!after) return false;
    for (const auto& e : *after)
        if (e.id != self && Matches(e, strProcess)) return false;
    return true;
}

std::unique_ptr<FileInfo> Process::GetProcessInfo(const std::string& strProcess) const {
    const auto snapshot = Snapshot();
    if (!snapshot) return nullptr;
    for (const auto& e : *snapshot)
        if (Matches(e, strProcess)) {
            auto info = std::make_unique<FileInfo>();
            info->SetFullPathName(e.executable);
            return info;
        }
    return nullptr;
}

std::unique_ptr<FileInfo> Process::GetProcessInfoByID(std::int32_t processId) const {
    const auto e = processId > 0 ? ReadEntry(processId) : std::nullopt;
    if (!e) return nullptr;
    auto info = std::make_unique<FileInfo>();
    info->SetFullPathName(e->executable);
    return info;
}

bool Process::IsProcessRunningByID(std::int32_t processId) const {
    ReapFinishedChildren();
    return processId > 0 && ReadEntry(processId).has_value();
}

bool Process::IsProcessRunning(const std::string& strProcess) const {
    const auto snapshot = Snapshot();
    if (!snapshot) return false;
    for (const auto& e : *snapshot)
        if (Matches(e, strProcess)) return true;
    return false;
}

}  // namespace corvane
