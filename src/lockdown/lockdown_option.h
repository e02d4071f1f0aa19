#pragma once

#include <cstdint>

namespace corvane {

// The 23 lockdown options, numbered 0 to 22; the numbers are shared by the
// security levels, the security windows, start-up and the options window.
enum LockdownOption : std::int32_t {
    kNoFind = 0,
    kNoFolderOptions = 1,
    kNoFavoritesMenu = 2,
    kNoRecentDocsMenu = 3,
    kNoSetActiveDesktop = 4,
    kNoDesktop = 5,
    kNoSetFolders = 6,
    kNoSetTaskbar = 7,
    kNoSaveSettings = 8,
    kNoNetHood = 9,
    kNoRun = 10,
    kNoDrives = 11,
    kNoTrayContextMenu = 12,
    kNoViewContextMenu = 13,
    kNoClose = 14,
    kNoLogoff = 15,
    kNoDriveTypeAutoRun = 16,
    kDisableLockWorkstation = 17,
    kDisableTaskMgr = 18,
    kDisableChangePassword = 19,
    kNoTaskbar = 20,
    kNoStartButton = 21,
    kRestrictRun = 22,
};
inline constexpr std::int32_t kLockdownOptionCount = 23;

}  // namespace corvane
