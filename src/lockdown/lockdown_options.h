#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "lockdown/lockdown_option.h"

namespace corvane {

inline constexpr const char* kExplorerPolicyKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr const char* kSystemPolicyKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
// Section of the machine settings that holds options 20 and 21.
inline constexpr const char* kLockdownMachineSection = "Security";

// Where an option lives and how it reads back.
enum class LockdownPlace { kExplorerPolicy, kSystemPolicy, kMachineSetting };
enum class LockdownKind {
    kSwitch,     // DWORD 1 or 0 (machine settings: text "1" or "0")
    kDriveMask,  // option 11: DWORD bit mask, bit 0 A: to bit 25 Z:
    kAutoRun,    // option 16: DWORD 0xB5 on, 0x95 off
};

struct LockdownOptionRow {
    std::int32_t option;
    const char* valueName;
    LockdownPlace place;
    LockdownKind kind;
    int nameMessage;  // the name the option list shows; 0 when none
};

// The 23 rows in option order.
const std::array<LockdownOptionRow, kLockdownOptionCount>& LockdownOptionTable();
// The row of an option; null outside 0 to 22.
const LockdownOptionRow* FindLockdownOption(std::int32_t option);

// The switches every security level and the reset write, in this order,
// before the drive mask (option 11). Options 4 and 8 are never among them.
inline constexpr std::array<std::int32_t, 20> kLockdownWriteOrder = {22, 0, 10, 14, 5, 3, 1, 15, 9, 7,
                                                                     12, 13, 17, 16, 19, 18, 6, 2, 20, 21};

inline constexpr std::uint32_t kAutoRunOnMask = 0xB5;
inline constexpr std::uint32_t kAutoRunOffMask = 0x95;
inline constexpr std::uint32_t kAllDrivesMask = 0x3FFFFFF;

// Switches one option on or off; the drive mask (option 11) is written only
// through SetLockdownDriveMask, so this writes nothing for it. Options outside
// 0 to 22 write nothing. True when the value took. Only a bool is taken: a
// number given where a switch is meant does not compile.
bool SetLockdownOption(std::int32_t option, bool on);
template <typename T>
bool SetLockdownOption(std::int32_t option, T value) = delete;

// Writes the drive mask (option 11). True when the value took; the desktop
// then hears option 11, on while any drive is hidden.
bool SetLockdownDriveMask(std::uint32_t mask);

// The option as stored, as text: a switch "1" or "0" ("False" when never
// written), the drive mask as upper-case hexadecimal ("0" when never
// written), option 16 "True" or "False", "" outside 0 to 22.
std::string GetLockdownOptionText(std::int32_t option);

// Whether an option is on: its text is "True" or a non-zero number; option
// 16 only when it holds 0xB5; option 11 when any drive is hidden; False
// outside 0 to 22.
bool GetLockdownOption(std::int32_t option);

// The stored drive mask; text that is not hexadecimal reads 0.
std::uint32_t GetLockdownDriveMask();

// Switches every option off (options 4 and 8 are left alone), clears "Reset
// Lockdown Options At Next Login", saves the global settings and tells the
// user: message 513 when every write took, 512 otherwise, titled with the
// product name. A write that fails or raises does not stop the rest.
// gSecurityLevel and gAnyLockdownOptionsSet are left to the caller. True
// when every write took.
bool ResetAllLockdownOptions();

}  // namespace corvane
