#include "platform/settings/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "platform/core/environment.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/product_info.h"
#include "platform/core/raised_error.h"
#include "platform/core/regular_file.h"
#include "platform/settings/registry.h"
#include "platform/settings/registry_access.h"
#include "platform/settings/value_text.h"

namespace corvane {

bool gUseGlobalSettingsINIFile = false;
std::string gGlobalSettingsINIPathname;

bool gDebug = false;
bool gShowRegEdit = false;
bool gDoNotShowLockdownWarningAgain = false;
OleDate gLastBackupDate = 0;
std::string gLastBackupLocation;
OleDate gLastRestoreDate = 0;
std::string gLastRestoreLocation;
bool gAnyLockdownOptionsSet = false;
bool gSettingsStoreUnreadable = false;

namespace {

// Why the file at path cannot be read; empty when it can or is not there (a
// link to nothing yet is a store not made yet).
std::string FileProblem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? "" : path + ": " + std::strerror(errno);
    const int fd = OpenRegularFile(path, O_RDONLY);
    if (fd < 0) return errno == EINVAL ? path + " is not a file" : path + ": " + std::strerror(errno);
    char byte = 0;
    const bool readable = ::read(fd, &byte, 1) >= 0;
    const int error = errno;
    ::close(fd);
    return readable ? "" : path + ": " + std::strerror(error);
}

struct GatheredValue {
    RegKey root;
    registry_store::ValueWrite write;
};

thread_local int tBatchDepth = 0;
thread_local std::vector<GatheredValue> tGathered;

// A settings value as text: gathered while a batch lives, written at once
// otherwise.
void SaveSetting(RegKey root, std::string_view section, std::string_view valueName, std::string_view text) {
    std::string bytes;
    if (tBatchDepth > 0 && EncodeValueData(REG_SZ, std::string(text), &bytes)) {
        tGathered.push_back({root, {SettingsKeyPath(section), std::string(valueName), REG_SZ, std::move(bytes)}});
        return;
    }
    WriteRegistryValue(root, SettingsKeyPath(section), valueName, text, REG_SZ);
}

}  // namespace

SettingsSaveBatch::SettingsSaveBatch() { ++tBatchDepth; }

SettingsSaveBatch::~SettingsSaveBatch() {
    if (--tBatchDepth > 0) return;
    std::vector<GatheredValue> gathered = std::exchange(tGathered, {});
    // One transaction per hive, each in the order its values were saved.
    std::vector<RegKey> roots;
    for (const auto& g : gathered)
        if (std::find(roots.begin(), roots.end(), g.root) == roots.end()) roots.push_back(g.root);
    for (RegKey root : roots) {
        std::vector<registry_store::ValueWrite> writes;
        for (auto& g : gathered)
            if (g.root == root) writes.push_back(std::move(g.write));
        // A refused save changes nothing and is reported nowhere, as a single value's.
        (void)registry_store::SetValues(root, writes);
    }
}

std::string SettingsKeyPath(std::string_view section) {
    return gRegistryRoot + "\\" + gProductName + "\\" + std::string(section);
}

std::string ReadRegistryValue(RegKey root, std::string_view keyPath, std::string_view valueName,
                              std::string_view defaultText) {
    Registry reg;
    reg.SetKeyRoot(root);
    reg.SetKeyName(std::string(keyPath));
    reg.SetSubKeyRef(std::string(valueName));
    reg.GetKey();
    return reg.Success() ? reg.KeyValueText() : std::string(defaultText);
}

bool WriteRegistryValue(RegKey root, std::string_view keyPath, std::string_view valueName, std::string_view text,
                        std::int32_t type) {
    Registry reg;
    reg.SetKeyRoot(root);
    reg.SetKeyName(std::string(keyPath));
    reg.SetSubKeyRef(std::string(valueName));
    reg.SetKeyValueType(type);
    reg.SetKeyValue(std::string(text));
    reg.SaveKey();
    return reg.Success();
}

std::string GetMachineSetting(std::string_view section, std::string_view valueName, std::string_view defaultText) {
    return ReadRegistryValue(HKEY_LOCAL_MACHINE, SettingsKeyPath(section), valueName, defaultText);
}

void SaveMachineSetting(std::string_view section, std::string_view valueName, std::string_view text) {
    if (gSettingsStoreUnreadable) return;
    SaveSetting(HKEY_LOCAL_MACHINE, section, valueName, text);
}

std::string GetUserSetting(std::string_view section, std::string_view valueName, std::string_view defaultText) {
    return ReadRegistryValue(HKEY_CURRENT_USER, SettingsKeyPath(section), valueName, defaultText);
}

void SaveUserSetting(std::string_view section, std::string_view valueName, std::string_view text) {
    SaveSetting(HKEY_CURRENT_USER, section, valueName, text);
}

std::string UnreadableSettingsStore() {
    const std::string hive = registry_store::HivePath(HKEY_LOCAL_MACHINE);
    if (std::string problem = FileProblem(hive); !problem.empty()) return problem;
    RegKey key = 0;
    if (registry_store::OpenKey(HKEY_LOCAL_MACHINE, "", KEY_READ, &key) != ERROR_SUCCESS)
        return hive + " is damaged or cannot be opened";
    registry_store::CloseKey(key);
    if (gUseGlobalSettingsINIFile) {
        if (gGlobalSettingsINIPathname.empty()) return "the global settings INI file is not named";
        // Unlike the hive, the INI file has no empty form: missing, empty or
        // cut short, it cannot be read either.
        return GlobalSettingsINIProblem();
    }
    return {};
}

void LoadSettingsSource() {
    gUseGlobalSettingsINIFile = TextIsTrue(GetMachineSetting("Global", "Use Global Settings INI File", "False"));
    gGlobalSettingsINIPathname =
        GetMachineSetting("Global", "Global Settings INI Pathname", environment::ProgramFolder());
}

void LoadLocalSettings() {
    // A date that cannot be read must not keep the values after it from
    // loading (the next save would write their defaults over them), so it
    // is reported once everything else is in.
    std::optional<RaisedError> dateError;
    const auto readDate = [&](const char* name, OleDate& target) {
        try {
            target = TextToDate(GetMachineSetting("Global", name, "0"));
        } catch (const RaisedError& e) {
            if (!dateError) dateError = e;
        }
    };
    gDebug = TextIsTrue(GetMachineSetting("Global", "Debug", "False"));
    gShowRegEdit = TextIsTrue(GetMachineSetting("Global", "Show Reg Edit", "False"));
    gDoNotShowLockdownWarningAgain =
        TextIsTrue(GetMachineSetting("Global", "Do Not Show Lockdown Warning Again", "False"));
    readDate("Last Backup Date", gLastBackupDate);
    gLastBackupLocation = GetMachineSetting("Global", "Last Backup Location", "");
    readDate("Last Restore Date", gLastRestoreDate);
    gLastRestoreLocation = GetMachineSetting("Global", "Last Restore Location", "");
    gAnyLockdownOptionsSet = TextIsTrue(GetMachineSetting("Global", "Any Lockdown Options Set", "False"));
    if (dateError) throw *dateError;
}

void SaveLocalSettings() {
    if (gSettingsStoreUnreadable) return;
    SettingsSaveBatch batch;
    SaveMachineSetting("Global", "Do Not Show Lockdown Warning Again", BoolToText(gDoNotShowLockdownWarningAgain));
    SaveMachineSetting("Global", "Last Backup Date", DateToText(gLastBackupDate));
    SaveMachineSetting("Global", "Last Backup Location", gLastBackupLocation);
    SaveMachineSetting("Global", "Last Restore Date", DateToText(gLastRestoreDate));
    SaveMachineSetting("Global", "Last Restore Location", gLastRestoreLocation);
    SaveMachineSetting("Global", "Any Lockdown Options Set", BoolToText(gAnyLockdownOptionsSet));
}

void LoadGlobalSettings() {
    if (gUseGlobalSettingsINIFile) LoadGlobalSettingsFromINIFile(gGlobalSettingsINIPathname);
    else LoadGlobalSettingsFromRegistry();
}

void SaveGlobalSettings() {
    if (gSettingsStoreUnreadable) return;
    if (gUseGlobalSettingsINIFile) SaveGlobalSetttingsToINIFile(gGlobalSettingsINIPathname);
    else SaveGlobalSettingsToRegistry();
}

}  // namespace corvane
