#include "platform/system/workstation.h"

#include <algorithm>

#include "platform/core/cp1252.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/settings_store.h"
#include "platform/core/text.h"
#include "platform/system/windows_version.h"
#include "platform/system/workstation_switches.h"

namespace corvane {

std::string GetWindowsFolder() { return "/"; }

std::string GetWindowsDrive() {
    const std::string folder = text::Trim(GetWindowsFolder());
    return folder.empty() ? std::string() : folder.substr(0, 1);
}

std::string RepeatText(std::int16_t count, std::string_view text) {
    std::string out;
    for (int i = 0; i < count; ++i) out += text;
    return out;
}

std::string PadText(std::string_view text, std::int16_t width, std::string& fill,
                    std::int16_t gap) {
    if (text::TrimSpaces(fill).empty()) fill.assign(1, ' ');
    // Counted in the program's characters, one Windows-1252 byte each.
    const std::string bytes = cp1252::FromUtf8(text);
    const std::string fillBytes = cp1252::FromUtf8(fill);
    const int w = std::max<int>(width, 0);
    const int g = std::clamp<int>(gap, 0, w);

    std::string padded = bytes.substr(0, static_cast<std::size_t>(w));
    const int missing = w - static_cast<int>(padded.size());
    for (int i = 0; i < missing; ++i) padded += fillBytes;
    padded.resize(padded.size() - static_cast<std::size_t>(g));
    padded.append(static_cast<std::size_t>(g), fillBytes.front());
    return cp1252::ToUtf8(padded);
}

void EnableShutdownPrivilege() { CurrentWorkstationSwitches().EnableShutdownPrivilege(); }

std::int32_t ShutdownComputer() {
    if (WinverInfo().WindowsVersion() == WinverInfo::kNtFamily) EnableShutdownPrivilege();
    return CurrentWorkstationSwitches().Shutdown();
}

void HideDesktop() { CurrentWorkstationSwitches().HideDesktop(); }
void ShowDesktop() { CurrentWorkstationSwitches().ShowDesktop(); }
void HideTaskbar() { CurrentWorkstationSwitches().HideTaskbar(); }
void ShowTaskbar() { CurrentWorkstationSwitches().ShowTaskbar(); }
void RemoveStartButton() { CurrentWorkstationSwitches().RemoveStartButton(); }

namespace {
constexpr const char* kSystemPolicies = "software\\microsoft\\windows\\currentversion\\policies\\system";
}  // namespace

void DisableTaskManager() {
    WriteRegistryValue(HKEY_CURRENT_USER, kSystemPolicies, "DisableTaskMgr", "1", REG_DWORD);
}

void EnableTaskManager() {
    WriteRegistryValue(HKEY_CURRENT_USER, kSystemPolicies, "DisableTaskMgr", "0", REG_DWORD);
}

}  // namespace corvane
