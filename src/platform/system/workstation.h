#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/environment.h"        // GetLocalComputerName
#include "platform/settings/value_text.h"         // HexToLong
#include "platform/system/workstation_forms.h"  // IsFormLoaded, UnloadAllForms

namespace corvane {

// The system's own folder. Linux has no Windows folder; the root stands in.
std::string GetWindowsFolder();
// The first character of the trimmed system folder ("" when it is empty).
std::string GetWindowsDrive();

// A column of fixed width for printed reports and exports: the text cut or
// padded to width characters, of which the last gap are fill characters. A
// blank fill becomes one space, in the caller's variable too. Widths and gaps
// below 0, and a gap wider than the width, are clamped.
std::string PadText(std::string_view text, std::int16_t width, std::string& fill,
                    std::int16_t gap);

// text repeated count times; "" when count is below 1.
std::string RepeatText(std::int16_t count, std::string_view text);

// Through the workstation switches: the shutdown privilege is asked for on the
// NT family (always, here) before the power-off request. Non-zero when the
// request was accepted.
std::int32_t ShutdownComputer();
void EnableShutdownPrivilege();

void HideDesktop();
void ShowDesktop();
void HideTaskbar();
void ShowTaskbar();
void RemoveStartButton();

// The Task Manager policy of the current user ("DisableTaskMgr" under the
// system policies key): 1 locks it, 0 unlocks it.
void DisableTaskManager();
void EnableTaskManager();

}  // namespace corvane
