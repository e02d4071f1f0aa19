#include <gtest/gtest.h>

#include "platform/settings/product_info.h"
#include "platform/core/raised_error.h"
#include "platform/settings/registry.h"
#include "platform/settings/settings_store.h"
#include "platform/settings/value_text.h"
#include "platform/system/workstation.h"
#include "platform/settings/settings_fixture.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

class SettingsStoreTest : public SettingsTest {
protected:
    std::vector<std::string> MachineNames(const char* section) {
        std::vector<std::string> names;
        Registry reg;
        for (const auto& v : reg.EnumValues(HKEY_LOCAL_MACHINE, SettingsKeyPath(section)))
            names.push_back(v->ValueName());
        return names;
    }
};

TEST_F(SettingsStoreTest, ValuesLiveUnderTheProductKey) {
    SetProductInfo();
    EXPECT_EQ(SettingsKeyPath("Form Metrics\\frmMain"),
              "Software\\Pellix Software\\Corvane Standard\\Form Metrics\\frmMain");
    SaveUserSetting("Form Metrics\\frmMain", "Height", "4815");
    SaveMachineSetting("Security", "NoTaskbar", "1");
    Registry reg;
    EXPECT_TRUE(reg.KeyExists(HKEY_CURRENT_USER, "Software\\Pellix Software\\Corvane Standard\\Form Metrics\\frmMain"));
    EXPECT_EQ(GetUserSetting("form metrics\\FRMMAIN", "height", "0"), "4815");
    EXPECT_EQ(GetMachineSetting("Form Metrics\\frmMain", "Height", "none"), "none");
    EXPECT_EQ(GetMachineSetting("Security", "NoTaskbar", "0"), "1");
    EXPECT_EQ(GetUserSetting("Security", "NoTaskbar", "0"), "0");
    // Text of any length and characters comes back as written.
    const std::string folder = "/home/\xC3\xA9lise/" + std::string(2000, 'd');
    SaveUserSetting("Form Metrics\\frmWebsiteLog", "Export List Init Dir", folder);
    EXPECT_EQ(GetUserSetting("Form Metrics\\frmWebsiteLog", "Export List Init Dir", ""), folder);
}

TEST_F(SettingsStoreTest, PolicyValuesTravelAsHexadecimalText) {
    const char* policy = "software\\microsoft\\windows\\currentversion\\policies\\system";
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, policy, "DisableTaskMgr", "False"), "False");
    WriteRegistryValue(HKEY_CURRENT_USER, policy, "DisableTaskMgr", "1", REG_DWORD);
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, policy, "DisableTaskMgr", "False"), "1");
    WriteRegistryValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                       "disabletaskmgr", "0", REG_DWORD);
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, policy, "DisableTaskMgr", "False"), "0");
    WriteRegistryValue(HKEY_CURRENT_USER, policy, "NoDispCPL", "3FFFFFF", REG_DWORD);
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, policy, "NoDispCPL", ""), "3FFFFFF");
    WriteRegistryValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Corvane Standard",
                       "/opt/corvane/corvane.exe", REG_SZ);
    EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                "Corvane Standard", ""),
              "/opt/corvane/corvane.exe");
    WriteRegistryValue(HKEY_CURRENT_USER, policy, "Other", "1", REG_BINARY);
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, policy, "Other", "missing"), "missing");
}

TEST_F(SettingsStoreTest, LocalSettingsLoadDefaultsAndSaveSixValues) {
    gLastBackupDate = 123;
    LoadLocalSettings();
    EXPECT_EQ(gLastBackupDate, 0);
    EXPECT_EQ(gLastRestoreDate, 0);
    EXPECT_FALSE(gDebug);
    EXPECT_TRUE(MachineNames("Global").empty());

    gDoNotShowLockdownWarningAgain = true;
    gAnyLockdownOptionsSet = true;
    gLastBackupDate = 45000.5;
    gLastBackupLocation = "/mnt/backup";
    gDebug = true;
    SaveLocalSettings();
    EXPECT_EQ(MachineNames("Global"),
              (std::vector<std::string>{"Do Not Show Lockdown Warning Again", "Last Backup Date",
                                        "Last Backup Location", "Last Restore Date", "Last Restore Location",
                                        "Any Lockdown Options Set"}));
    EXPECT_EQ(GetMachineSetting("Global", "Last Backup Date", ""), "2023-03-15 12:00:00");
    EXPECT_EQ(GetMachineSetting("Global", "Last Restore Date", ""), "00:00:00");
    ResetSettings();
    SaveMachineSetting("Global", "Debug", "True");
    LoadLocalSettings();
    EXPECT_TRUE(gDebug);
    EXPECT_TRUE(gDoNotShowLockdownWarningAgain);
    EXPECT_TRUE(gAnyLockdownOptionsSet);
    EXPECT_DOUBLE_EQ(gLastBackupDate, 45000.5);
    EXPECT_EQ(gLastBackupLocation, "/mnt/backup");
}

TEST_F(SettingsStoreTest, UnreadableDateIsReportedAfterTheOtherValuesLoad) {
    SaveMachineSetting("Global", "Last Backup Date", "last Tuesday");
    SaveMachineSetting("Global", "Last Restore Location", "/mnt/restore");
    SaveMachineSetting("Global", "Any Lockdown Options Set", "True");
    gLastBackupDate = 7;
    try {
        LoadLocalSettings();
        FAIL() << "no error";
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), kErrTypeMismatch);
    }
    EXPECT_EQ(gLastBackupDate, 7);
    EXPECT_EQ(gLastRestoreLocation, "/mnt/restore");
    EXPECT_TRUE(gAnyLockdownOptionsSet);
}

}  // namespace

TEST_F(SettingsTest, TaskManagerSwitchWritesTheUsersPolicyDword) {
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    DisableTaskManager();
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, key, "DisableTaskMgr", "missing"), "1");
    EnableTaskManager();
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, key, "DisableTaskMgr", "missing"), "0");
}
