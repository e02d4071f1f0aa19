#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/core/cp1252.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/ini_profile.h"
#include "platform/settings/registry_access.h"
#include "platform/settings/settings_fixture.h"
#include "platform/settings/settings_store.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

namespace rs = registry_store;

using StoredValue = std::tuple<std::string, std::int32_t, std::string>;  // name, type, bytes

class SettingsSaveTest : public SettingsTest {
protected:
    // Every value of the machine's "Global" key in listing order.
    static std::vector<StoredValue> StoredGlobals() {
        std::vector<StoredValue> values;
        RegKey key = 0;
        if (rs::OpenKey(HKEY_LOCAL_MACHINE, SettingsKeyPath("Global"), KEY_READ, &key) != ERROR_SUCCESS)
            return values;
        for (std::uint32_t i = 0;; ++i) {
            std::string name;
            std::int32_t type = 0;
            std::string bytes;
            std::uint32_t size = 1 << 16;
            if (rs::EnumValue(key, i, &name, &type, &bytes, &size) != ERROR_SUCCESS) break;
            values.emplace_back(name, type, bytes);
        }
        rs::CloseKey(key);
        return values;
    }

    static void SetDistinctValues(int seed) {
        gLogoutAction = seed;
        gLoginCaption = "Welcome " + std::to_string(seed) + " caf\xC3\xA9";
        gRemoteConsoleFontSize = 9.5f;
        gInactivityMins = static_cast<std::int16_t>(-seed);
        gRequireLogin = seed % 2 == 0;
        gDataPath = "/srv/corvane/" + std::to_string(seed);
        gLastBackupLocation = "/backup/" + std::to_string(seed);
        gAnyLockdownOptionsSet = true;
    }
};

// A save written as one change stores the same names, types, bytes and order
// as writing the values one at a time, on a new key and over older values.
TEST_F(SettingsSaveTest, RegistrySaveStoresWhatSingleWritesStored) {
    SetDistinctValues(3);
    SaveLocalSettings();
    SaveGlobalSettingsToRegistry();
    SetDistinctValues(4);
    SaveGlobalSettingsToRegistry();
    const auto batched = StoredGlobals();
    ASSERT_EQ(batched.size(), 6u + GlobalSettings().size());

    // The final texts, one value at a time, in a second set of hives.
    test_support::TempFolder other;
    ::setenv("CORVANE_REGISTRY_DIR", other.Path().c_str(), 1);
    for (const auto& [name, type, bytes] : batched) {
        ASSERT_EQ(type, REG_SZ);
        SaveMachineSetting("Global", name, cp1252::ToUtf8(bytes.substr(0, bytes.size() - 1)));
    }
    EXPECT_EQ(StoredGlobals(), batched);
}

// The INI file after a save holds the bytes that writing each value in turn
// gave, whatever the file held before.
TEST_F(SettingsSaveTest, IniSaveWritesTheBytesOfSingleWrites) {
    SetDistinctValues(5);
    gTipsOfTheDayPathName = "bad\r\nline";  // refused alone, the others still go in
    SaveGlobalSettingsToRegistry();
    const char* const starts[] = {
        nullptr,
        "; shared\r\n[Other]\r\na=1\r\n",
        "[ global settings ]\rLanguage = 9\r\r\n[Global Settings]\nData Path=x\n; tail",
        "[Global Settings]\r\nRequire Login=True\r\n\r\n[Next]\r\nb=2",
    };
    for (const char* start : starts) {
        SCOPED_TRACE(start ? start : "no file");
        const std::string batched = Path("batched.ini");
        const std::string single = Path("single.ini");
        std::remove(batched.c_str());
        std::remove(single.c_str());
        if (start) {
            WriteFile(batched, start);
            WriteFile(single, start);
        }
        SaveGlobalSetttingsToINIFile(batched);
        for (const auto& s : GlobalSettings())
            profile::WriteString("Global Settings", s.name, GetMachineSetting("Global", s.name, ""), single);
        EXPECT_EQ(ReadFile(batched), ReadFile(single));
        EXPECT_EQ(profile::ReadString("Global Settings", "Login Caption", "", profile::kWholeText, batched),
                  "Welcome 5 caf\xC3\xA9");
    }
}

// Another process reading while saves go on sees each save whole or not at
// all, in the registry and in a shared INI file written anew or in place.
TEST_F(SettingsSaveTest, ReadersSeeAllOfASaveOrNone) {
    const std::string ini = Path("shared.ini");
    struct Row {
        const char* name;
        bool iniFile;
        bool inPlace;
    };
    const Row rows[] = {{"registry", false, false}, {"INI file", true, false}, {"INI file in place", true, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.inPlace && ::geteuid() != 0) continue;  // needs a second user to refuse new files
        std::remove(ini.c_str());
        WriteFile(ini, "");
        ::chmod(ini.c_str(), 0666);
        ::chmod(dir_.c_str(), row.inPlace ? 0755 : 0700);
        const auto read = [&](const char* name) {
            const std::string text = row.iniFile
                                         ? profile::ReadString("Global Settings", name, "0", profile::kWholeText, ini)
                                         : GetMachineSetting("Global", name, "0");
            return std::atoi(text.c_str());
        };
        const auto seen = WatchSaves([&] { return read("Logout Action"); }, [&] { return read("Security Level"); },
                                     [&](int generation) {
                                         gLogoutAction = gSecurityLevel = generation;
                                         if (row.iniFile) SaveGlobalSetttingsToINIFile(ini);
                                         else SaveGlobalSettingsToRegistry();
                                     },
                                     40, row.inPlace);
        ::chmod(dir_.c_str(), 0700);
        EXPECT_EQ(seen.mixes, 0) << "in " << seen.reads << " reads";
        EXPECT_GT(seen.reads, 0);
        EXPECT_EQ(read("Logout Action"), 40);
        EXPECT_EQ(read("Security Level"), 40);
    }
}

// Values saved under a batch reach the store only at its end, and nested
// batches write once, at the end of the outermost.
TEST_F(SettingsSaveTest, BatchWritesAtTheEndOfTheOutermost) {
    {
        SettingsSaveBatch outer;
        SaveUserSetting("Form Metrics\\frmMain", "Height", "4000");
        {
            SettingsSaveBatch inner;
            SaveMachineSetting("Global", "Language", "1");
            // Other registry writes are not settings saves and take effect at once.
            EXPECT_TRUE(WriteRegistryValue(HKEY_CURRENT_USER, "Software\\Policies", "NoRun", "10", REG_DWORD));
        }
        EXPECT_EQ(GetMachineSetting("Global", "Language", "none"), "none");
        EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, "Software\\Policies", "NoRun", ""), "10");
        SaveUserSetting("Form Metrics\\frmMain", "Height", "4100");
    }
    EXPECT_EQ(GetUserSetting("Form Metrics\\frmMain", "Height", ""), "4100");
    EXPECT_EQ(GetMachineSetting("Global", "Language", ""), "1");
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, "Software\\Policies", "NoRun", ""), "10");
}

}  // namespace
