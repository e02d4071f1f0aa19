#include "lockdown/lockdown_options.h"

#include <exception>

#include "lockdown/desktop_policy.h"
#include "lockdown/lockdown_store.h"
#include "messages/message_catalogue.h"
#include "platform/core/text.h"
#include "platform/core/version_info.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "platform/settings/value_text.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

using P = LockdownPlace;
using K = LockdownKind;

constexpr std::array<LockdownOptionRow, kLockdownOptionCount> kRows = {{
    {kNoFind, "NoFind", P::kExplorerPolicy, K::kSwitch, 253},
    {kNoFolderOptions, "NoFolderOptions", P::kExplorerPolicy, K::kSwitch, 254},
    {kNoFavoritesMenu, "NoFavoritesMenu", P::kExplorerPolicy, K::kSwitch, 252},
    {kNoRecentDocsMenu, "NoRecentDocsMenu", P::kExplorerPolicy, K::kSwitch, 258},
    {kNoSetActiveDesktop, "NoSetActiveDesktop", P::kExplorerPolicy, K::kSwitch, 0},
    {kNoDesktop, "NoDesktop", P::kExplorerPolicy, K::kSwitch, 339},
    {kNoSetFolders, "NoSetFolders", P::kExplorerPolicy, K::kSwitch, 260},
    {kNoSetTaskbar, "NoSetTaskbar", P::kExplorerPolicy, K::kSwitch, 261},
    {kNoSaveSettings, "NoSaveSettings", P::kExplorerPolicy, K::kSwitch, 0},
    {kNoNetHood, "NoNetHood", P::kExplorerPolicy, K::kSwitch, 257},
    {kNoRun, "NoRun", P::kExplorerPolicy, K::kSwitch, 259},
    {kNoDrives, "NoDrives", P::kExplorerPolicy, K::kDriveMask, 0},
    {kNoTrayContextMenu, "NoTrayContextMenu", P::kExplorerPolicy, K::kSwitch, 262},
    {kNoViewContextMenu, "NoViewContextMenu", P::kExplorerPolicy, K::kSwitch, 263},
    {kNoClose, "NoClose", P::kExplorerPolicy, K::kSwitch, 250},
    {kNoLogoff, "NoLogoff", P::kExplorerPolicy, K::kSwitch, 256},
    {kNoDriveTypeAutoRun, "NoDriveTypeAutoRun", P::kExplorerPolicy, K::kAutoRun, 251},
    {kDisableLockWorkstation, "DisableLockWorkstation", P::kSystemPolicy, K::kSwitch, 255},
    {kDisableTaskMgr, "DisableTaskMgr", P::kSystemPolicy, K::kSwitch, 265},
    {kDisableChangePassword, "DisableChangePassword", P::kSystemPolicy, K::kSwitch, 264},
    {kNoTaskbar, "NoTaskbar", P::kMachineSetting, K::kSwitch, 180},
    {kNoStartButton, "NoStartButton", P::kMachineSetting, K::kSwitch, 340},
    {kRestrictRun, "RestrictRun", P::kExplorerPolicy, K::kSwitch, 623},
}};

const char* PolicyKey(const LockdownOptionRow& row) {
    return row.place == P::kSystemPolicy ? kSystemPolicyKey : kExplorerPolicyKey;
}

// The text as stored, with the given default when nothing can be read.
std::string StoredText(const LockdownOptionRow& row, std::string_view defaultText) {
    LockdownStore& store = CurrentLockdownStore();
    if (row.place == P::kMachineSetting) return store.GetMachineValue(kLockdownMachineSection, row.valueName, defaultText);
    return store.ReadPolicyValue(PolicyKey(row), row.valueName, defaultText);
}

}  // namespace

const std::array<LockdownOptionRow, kLockdownOptionCount>& LockdownOptionTable() { return kRows; }

const LockdownOptionRow* FindLockdownOption(std::int32_t option) {
    if (option < 0 || option >= kLockdownOptionCount) return nullptr;
    return &kRows[static_cast<std::size_t>(option)];
}

bool SetLockdownOption(std::int32_t option, bool on) {
    const LockdownOptionRow* row = FindLockdownOption(option);
    if (!row || row->kind == K::kDriveMask) return false;
    LockdownStore& store = CurrentLockdownStore();
    bool took = false;
    if (row->place == P::kMachineSetting) {
        took = store.SaveMachineValue(kLockdownMachineSection, row->valueName, on ? "1" : "0");
    } else {
        const std::uint32_t value = row->kind == K::kAutoRun ? (on ? kAutoRunOnMask : kAutoRunOffMask) : (on ? 1u : 0u);
        took = store.WritePolicyValue(PolicyKey(*row), row->valueName, value);
    }
    if (took) CurrentDesktopPolicy().OptionWritten(option, on);
    return took;
}

bool SetLockdownDriveMask(std::uint32_t mask) {
    const bool took = CurrentLockdownStore().WritePolicyValue(kExplorerPolicyKey, kRows[kNoDrives].valueName, mask);
    if (took) CurrentDesktopPolicy().OptionWritten(kNoDrives, mask != 0);
    return took;
}

std::string GetLockdownOptionText(std::int32_t option) {
    const LockdownOptionRow* row = FindLockdownOption(option);
    if (!row) return "";
    switch (row->kind) {
    case K::kDriveMask:
        return StoredText(*row, "0");
    case K::kAutoRun:
        return HexToLong(StoredText(*row, "False")) == static_cast<std::int32_t>(kAutoRunOnMask) ? "True" : "False";
    case K::kSwitch:
        break;
    }
    return StoredText(*row, "False");
}

bool GetLockdownOption(std::int32_t option) {
    const LockdownOptionRow* row = FindLockdownOption(option);
    if (!row) return false;
    if (row->kind == K::kDriveMask) return GetLockdownDriveMask() != 0;
    const std::string stored = GetLockdownOptionText(option);
    // Policy values read back as hexadecimal digits, the machine settings as
    // "1"/"0"; either way any non-zero number is on.
    return text::Equals(text::TrimSpaces(stored), "True") || HexToLong(stored) != 0;
}

std::uint32_t GetLockdownDriveMask() {
    return static_cast<std::uint32_t>(HexToLong(GetLockdownOptionText(kNoDrives)));
}

bool ResetAllLockdownOptions() {
    bool allTook = true;
    // Every step runs whatever happened to the one before it.
    const auto step = [&allTook](auto&& write) {
        try {
            if (!write()) allTook = false;
        } catch (const std::exception&) {
            allTook = false;
        }
    };
    for (const std::int32_t option : kLockdownWriteOrder)
        step([option] { return SetLockdownOption(option, false); });
    step([] { return SetLockdownDriveMask(0); });
    step([] {
        gResetLockdownOptionsAtNextLogin = false;
        SaveGlobalSettings();
        return true;
    });
    try {
        ShowMsgBox(GetMessageText(allTook ? 513 : 512, gLanguage), kMsgInformation | kMsgSystemModal,
                   version::kProductName);
    } catch (const std::exception&) {
    }
    return allTook;
}

}  // namespace corvane
