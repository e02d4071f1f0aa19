#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/system/file_info.h"

namespace corvane {

// The running processes, read from /proc. A process's executable is the full
// path of its program where the system tells it, else the name it was
// started by. "Closing its windows" is a polite termination request
// (SIGTERM); nothing is ever killed by force.
class Process {
public:
    // One entry per process: name, delimiter, id, delimiter, owner. An empty
    // delimiter becomes "," (in the caller's variable too).
    std::vector<std::string> EnumerateProcesses(std::string& delimiter) const;

    // "computer\user" owning the process; "SYSTEM" when it cannot be told.
    std::string GetUserNameFromProcess(std::int32_t processId) const;

    // Asks the process to end, waits half a second; True when it is gone.
    bool EndProcessByID(std::int32_t processId) const;
    // Asks every process whose executable matches to end, waits half a
    // second; True when none is left. False for an empty name or when the
    // process list cannot be read.
    bool EndProcess(const std::string& strProcess) const;

    // The executable of the first matching process, or none.
    std::unique_ptr<FileInfo> GetProcessInfo(const std::string& strProcess) const;
    std::unique_ptr<FileInfo> GetProcessInfoByID(std::int32_t processId) const;

    bool IsProcessRunningByID(std::int32_t processId) const;
    bool IsProcessRunning(const std::string& strProcess) const;

    // Hiding from the task list belongs to an old system family; nothing here.
    void LockProcess() const {}
    void UnLockProcess() const {}

    struct Entry {
        std::int32_t id = 0;
        std::string executable;  // full path when known, else the start name
        std::string name;        // the executable's file name
        std::int64_t uid = -1;
    };
    // Every live (not zombie) process; none when /proc cannot be read.
    static std::optional<std::vector<Entry>> Snapshot();
};

}  // namespace corvane
