#include "platform/core/creation_mode.h"

#include <sys/stat.h>

namespace corvane {
namespace {

constexpr mode_t kPrivateMask = 077;
constexpr mode_t kGroupMask = 007;

struct Masks {
    bool set = false;
    mode_t inherited = 022;
};

Masks& State() {
    static Masks masks;
    return masks;
}

}  // namespace

void UsePrivateCreationMask() {
    const mode_t before = ::umask(kPrivateMask);
    if (!State().set) {
        State().set = true;
        State().inherited = before;
    }
}

bool IsGroupSharedFolder(const std::string& folder) {
    struct stat st {};
    return !folder.empty() && ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           (st.st_mode & S_ISGID) != 0 && (st.st_mode & S_IWGRP) != 0;
}

bool ShareCreationsWithGroupOf(const std::string& dataFolder) {
    const bool shared = IsGroupSharedFolder(dataFolder);
    UsePrivateCreationMask();
    if (shared) ::umask(kGroupMask);
    return shared;
}

mode_t InheritedCreationMask() {
    if (State().set) return State().inherited;
    const mode_t current = ::umask(0);
    ::umask(current);
    return current;
}

bool OthersMayWriteFolder(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return true;
    if ((st.st_mode & S_IWOTH) != 0) return true;
    return (st.st_mode & S_IWGRP) != 0 && (st.st_mode & S_ISGID) == 0;
}

}  // namespace corvane
