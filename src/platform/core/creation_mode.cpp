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

bool GroupSharedMode(mode_t folderMode) { return (folderMode & S_ISGID) != 0 && (folderMode & S_IWGRP) != 0; }

bool OthersMayWriteMode(mode_t folderMode) {
    return (folderMode & S_IWOTH) != 0 || ((folderMode & S_IWGRP) != 0 && !GroupSharedMode(folderMode));
}

bool IsGroupSharedFolder(const std::string& folder) {
    struct stat st {};
    return !folder.empty() && ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && GroupSharedMode(st.st_mode);
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
    return OthersMayWriteMode(st.st_mode);
}

}  // namespace corvane
