#include "lockdown/security_levels.h"

#include "lockdown/lockdown_options.h"
#include "messages/message_catalogue.h"
#include "platform/settings/global_settings.h"

namespace corvane {
namespace {

constexpr std::int32_t kNever = kSecurityLevelCount;

// The lowest level that switches each option on (kNever: no level does).
constexpr std::array<std::int32_t, kLockdownOptionCount> kFirstLevelOn = {
    1,       // 0 NoFind
    2,       // 1 NoFolderOptions
    2,       // 2 NoFavoritesMenu
    2,       // 3 NoRecentDocsMenu
    kNever,  // 4 NoSetActiveDesktop
    5,       // 5 NoDesktop
    2,       // 6 NoSetFolders
    2,       // 7 NoSetTaskbar
    kNever,  // 8 NoSaveSettings
    3,       // 9 NoNetHood
    1,       // 10 NoRun
    4,       // 11 NoDrives (see SecurityLevelDriveMask)
    3,       // 12 NoTrayContextMenu
    3,       // 13 NoViewContextMenu
    kNever,  // 14 NoClose
    kNever,  // 15 NoLogoff
    1,       // 16 NoDriveTypeAutoRun
    2,       // 17 DisableLockWorkstation
    1,       // 18 DisableTaskMgr
    1,       // 19 DisableChangePassword
    4,       // 20 NoTaskbar
    5,       // 21 NoStartButton
    4,       // 22 RestrictRun
};

bool ValidLevel(std::int32_t level) { return level >= 0 && level < kSecurityLevelCount; }

void ApplyLevel(std::int32_t level) {
    for (const std::int32_t option : kLockdownWriteOrder) SetLockdownOption(option, SecurityLevelSwitchesOn(level, option));
    SetLockdownDriveMask(SecurityLevelDriveMask(level));
}

}  // namespace

std::string SecurityLevelName(std::int32_t level, int language) {
    if (!ValidLevel(level)) return "";
    return GetMessageText(kSecurityLevelTexts[static_cast<std::size_t>(level)].nameMessage, language);
}

std::string SecurityLevelDescription(std::int32_t level, int language) {
    if (!ValidLevel(level)) return "";
    return GetMessageText(kSecurityLevelTexts[static_cast<std::size_t>(level)].descriptionMessage, language);
}

bool SecurityLevelSwitchesOn(std::int32_t level, std::int32_t option) {
    if (!ValidLevel(level) || option < 0 || option >= kLockdownOptionCount) return false;
    return level >= kFirstLevelOn[static_cast<std::size_t>(option)];
}

std::uint32_t SecurityLevelDriveMask(std::int32_t level) {
    if (level == 4) return 0x5;  // A: and C:
    if (level == 5) return kAllDrivesMask;
    return 0;
}

void ApplySecurityLevel(std::int32_t level) {
    if (ValidLevel(level)) ApplyLevel(level);
}

void ApplyNoSecurity() { ApplyLevel(0); }
void ApplyLowSecurity() { ApplyLevel(1); }
void ApplyMediumSecurity() { ApplyLevel(2); }
void ApplyHighSecurity() { ApplyLevel(3); }
void ApplyVeryHighSecurity() { ApplyLevel(4); }
void ApplyMaximumSecurity() { ApplyLevel(5); }

void ForceActionAfterLogout() {
    gActionAfterLogout = true;
    if (gLogoutAction == 0) gLogoutAction = 1;
}

}  // namespace corvane
