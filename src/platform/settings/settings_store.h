#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/ole_date.h"
#include "platform/settings/registry_store.h"

namespace corvane {

// Where the settings live: machine values under HKEY_LOCAL_MACHINE and
// per-user values under HKEY_CURRENT_USER, both at
// gRegistryRoot\gProductName\section; the 80 global settings in section
// "Global" there or in the "Global Settings" section of an INI file.
// Every value is text (see value_text.h for the conversions).

// The source switch (machine values of section "Global", never written).
extern bool gUseGlobalSettingsINIFile;           // "Use Global Settings INI File"
extern std::string gGlobalSettingsINIPathname;   // "Global Settings INI Pathname"

// Machine values of section "Global".
extern bool gDebug;                              // "Debug" (loaded only)
extern bool gShowRegEdit;                        // "Show Reg Edit" (loaded only)
extern bool gDoNotShowLockdownWarningAgain;      // "Do Not Show Lockdown Warning Again"
extern OleDate gLastBackupDate;                  // "Last Backup Date"
extern std::string gLastBackupLocation;          // "Last Backup Location"
extern OleDate gLastRestoreDate;                 // "Last Restore Date"
extern std::string gLastRestoreLocation;         // "Last Restore Location"
extern bool gAnyLockdownOptionsSet;              // "Any Lockdown Options Set"

// gRegistryRoot\gProductName\section.
std::string SettingsKeyPath(std::string_view section);

// One value of the settings key; the default when it cannot be read (or its
// text is "fail" in any case). Reading needs only read access and creates
// nothing. Writes create the key; a refused write changes nothing and is
// reported nowhere.
std::string GetMachineSetting(std::string_view section, std::string_view valueName, std::string_view defaultText);
void SaveMachineSetting(std::string_view section, std::string_view valueName, std::string_view text);
std::string GetUserSetting(std::string_view section, std::string_view valueName, std::string_view defaultText);
void SaveUserSetting(std::string_view section, std::string_view valueName, std::string_view text);

// While one lives on this thread, SaveMachineSetting and SaveUserSetting
// gather their values instead of writing each; the end of the outermost one writes them in the order saved, one
// transaction per hive, so that another process sees all of a save or none.
// Reads in between see the stored values, not the gathered ones.
class SettingsSaveBatch {
public:
    SettingsSaveBatch();
    ~SettingsSaveBatch();
    SettingsSaveBatch(const SettingsSaveBatch&) = delete;
    SettingsSaveBatch& operator=(const SettingsSaveBatch&) = delete;
};

// Any root and key path: REG_SZ as its text, REG_DWORD as hexadecimal text,
// other types as ""; the default when the value cannot be read. Writing
// takes REG_SZ (1) text as is and REG_DWORD (4) text as hexadecimal digits
// ("1" stores 1); other types store nothing. The write answers whether it
// took (callers that report nothing ignore it).
std::string ReadRegistryValue(RegKey root, std::string_view keyPath, std::string_view valueName,
                              std::string_view defaultText);
bool WriteRegistryValue(RegKey root, std::string_view keyPath, std::string_view valueName, std::string_view text,
                        std::int32_t type);

// Start-up, in this order, once per run: LoadSettingsSource, LoadLocalSettings,
// LoadGlobalSettings. None traps errors: a date text that cannot be read
// raises a type mismatch after every other value has been loaded.
void LoadSettingsSource();
void LoadLocalSettings();
// Writes the six machine values the program changes (not "Debug", "Show Reg Edit").
void SaveLocalSettings();

// Why a settings store cannot be used: the machine hive, and the INI file
// when the global settings live in one (as LoadGlobalSettings found it, so
// call after it). Empty when each reads or the hive is absent: a fresh
// install reads as defaults. A FIFO, folder, symlink loop, unreadable or
// damaged file is named with what is wrong with it; so is an INI file that
// is missing, empty, cut short or above 1 MiB.
std::string UnreadableSettingsStore();

// Set at start-up when a store cannot be read: its settings read as defaults,
// so the machine and global settings are then saved nowhere, never over the
// store that could not be read.
extern bool gSettingsStoreUnreadable;

// All 80 global settings from or to the INI file when
// gUseGlobalSettingsINIFile is on, else the registry.
void LoadGlobalSettings();
void SaveGlobalSettings();

}  // namespace corvane
