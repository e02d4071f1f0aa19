#pragma once

#include <string>

namespace corvane {

// The runtime folder: CORVANE_RUNTIME_DIR, else $XDG_RUNTIME_DIR/corvane,
// else $XDG_STATE_HOME/corvane/run, else ~/.local/state/corvane/run; never a
// folder others share, such as /tmp.
std::string RuntimeFolder();

// One running copy per computer name: a lock on "<computer name>.lock" in the
// runtime folder, held while this object lives. The system drops the lock
// when a process dies, so a dead copy's file never blocks a start.
class SingleInstanceLock {
public:
    enum class Result {
        kHeld,           // this process holds the lock
        kOtherCopyRuns,  // another copy holds it
        kCannotLock,     // no lock can be taken here: see Problem()
    };

    SingleInstanceLock() = default;
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Takes the lock (kHeld again when this object holds it already). The
    // runtime folder is created private (mode 0700) and used only when it is
    // a folder of this user that nobody else may write; otherwise, or when the
    // lock file cannot be opened, the answer is kCannotLock, never kHeld.
    Result Acquire();
    // Why the last Acquire could not lock, for the message.
    const std::string& Problem() const { return problem_; }
    static std::string LockPathName();

private:
    int fd_ = -1;
    std::string problem_;
};

}  // namespace corvane
