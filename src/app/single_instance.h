#pragma once

#include <string>

namespace corvane {

// The runtime folder: CORVANE_RUNTIME_DIR, else $XDG_RUNTIME_DIR/corvane,
// else /tmp/corvane-<uid>.
std::string RuntimeFolder();

// One running copy per computer name: a lock on "<computer name>.lock" in the
// runtime folder, held while this object lives. The system drops the lock
// when a process dies, so a dead copy's file never blocks a start.
class SingleInstanceLock {
public:
    SingleInstanceLock() = default;
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // True when this process now holds the lock (or already did); false when
    // another copy holds it. A folder that cannot be made lets the copy run.
    bool Acquire();
    static std::string LockPathName();

private:
    int fd_ = -1;
};

}  // namespace corvane
