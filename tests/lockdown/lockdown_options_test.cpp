// The lockdown options: where each one is written, how it reads back, and the reset.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lockdown/lockdown_options.h"
#include "lockdown_test_support.h"
#include "platform/settings/registry.h"
#include "platform/settings/registry_access.h"
#include "platform/settings/settings_store.h"

namespace corvane {
namespace {

using namespace testing;

// Only a bool switches an option; a number meant as "on" must not compile.
template <typename T>
concept SwitchValue = requires(T value) { SetLockdownOption(0, value); };
static_assert(SwitchValue<bool>);
static_assert(!SwitchValue<int>);
static_assert(!SwitchValue<std::uint32_t>);

constexpr const char* kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kSystem = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

struct OptionRow {
    std::int32_t option;
    RegKey root;
    const char* key;  // for the machine settings, the section
    const char* name;
    const char* rawOn;
    const char* rawOff;
    const char* textOn;
    const char* textOff;
};

// Every switch, typed from the option table.
const std::vector<OptionRow> kSwitchRows = {
    {0, HKEY_CURRENT_USER, kExplorer, "NoFind", "1", "0", "1", "0"},
    {1, HKEY_CURRENT_USER, kExplorer, "NoFolderOptions", "1", "0", "1", "0"},
    {2, HKEY_CURRENT_USER, kExplorer, "NoFavoritesMenu", "1", "0", "1", "0"},
    {3, HKEY_CURRENT_USER, kExplorer, "NoRecentDocsMenu", "1", "0", "1", "0"},
    {4, HKEY_CURRENT_USER, kExplorer, "NoSetActiveDesktop", "1", "0", "1", "0"},
    {5, HKEY_CURRENT_USER, kExplorer, "NoDesktop", "1", "0", "1", "0"},
    {6, HKEY_CURRENT_USER, kExplorer, "NoSetFolders", "1", "0", "1", "0"},
    {7, HKEY_CURRENT_USER, kExplorer, "NoSetTaskbar", "1", "0", "1", "0"},
    {8, HKEY_CURRENT_USER, kExplorer, "NoSaveSettings", "1", "0", "1", "0"},
    {9, HKEY_CURRENT_USER, kExplorer, "NoNetHood", "1", "0", "1", "0"},
    {10, HKEY_CURRENT_USER, kExplorer, "NoRun", "1", "0", "1", "0"},
    {12, HKEY_CURRENT_USER, kExplorer, "NoTrayContextMenu", "1", "0", "1", "0"},
    {13, HKEY_CURRENT_USER, kExplorer, "NoViewContextMenu", "1", "0", "1", "0"},
    {14, HKEY_CURRENT_USER, kExplorer, "NoClose", "1", "0", "1", "0"},
    {15, HKEY_CURRENT_USER, kExplorer, "NoLogoff", "1", "0", "1", "0"},
    {16, HKEY_CURRENT_USER, kExplorer, "NoDriveTypeAutoRun", "B5", "95", "True", "False"},
    {17, HKEY_CURRENT_USER, kSystem, "DisableLockWorkstation", "1", "0", "1", "0"},
    {18, HKEY_CURRENT_USER, kSystem, "DisableTaskMgr", "1", "0", "1", "0"},
    {19, HKEY_CURRENT_USER, kSystem, "DisableChangePassword", "1", "0", "1", "0"},
    {20, HKEY_LOCAL_MACHINE, "Security", "NoTaskbar", "1", "0", "1", "0"},
    {21, HKEY_LOCAL_MACHINE, "Security", "NoStartButton", "1", "0", "1", "0"},
    {22, HKEY_CURRENT_USER, kExplorer, "RestrictRun", "1", "0", "1", "0"},
};

// The stored value's text and type, as the registry holds it.
std::pair<std::string, std::int32_t> Raw(const OptionRow& row) {
    const std::string key = row.root == HKEY_LOCAL_MACHINE ? SettingsKeyPath(row.key) : row.key;
    std::int32_t type = -1;
    std::string text = QueryRegistryValue(row.root, key, row.name, type);
    return {text, type};
}

using LockdownOptions = LockdownTest;

TEST_F(LockdownOptions, EachSwitchIsWrittenToItsValueAndReadBack) {
    for (const auto& row : kSwitchRows) {
        SCOPED_TRACE(row.name);
        const std::int32_t expectedType = row.root == HKEY_LOCAL_MACHINE ? REG_SZ : REG_DWORD;
        EXPECT_EQ(GetLockdownOptionText(row.option), "False");  // never written
        EXPECT_FALSE(GetLockdownOption(row.option));

        EXPECT_TRUE(SetLockdownOption(row.option, true));
        EXPECT_EQ(Raw(row), std::make_pair(std::string(row.rawOn), expectedType));
        EXPECT_EQ(GetLockdownOptionText(row.option), row.textOn);
        EXPECT_TRUE(GetLockdownOption(row.option));

        EXPECT_TRUE(SetLockdownOption(row.option, false));
        EXPECT_EQ(Raw(row), std::make_pair(std::string(row.rawOff), expectedType));
        EXPECT_EQ(GetLockdownOptionText(row.option), row.textOff);
        EXPECT_FALSE(GetLockdownOption(row.option));
    }
    // The desktop heard of every write, in order.
    ASSERT_EQ(desktop->calls.size(), 2 * kSwitchRows.size());
    for (std::size_t i = 0; i < kSwitchRows.size(); ++i) {
        EXPECT_EQ(desktop->calls[2 * i], std::make_pair(kSwitchRows[i].option, true));
        EXPECT_EQ(desktop->calls[2 * i + 1], std::make_pair(kSwitchRows[i].option, false));
    }
}

TEST_F(LockdownOptions, TheDriveMaskTravelsAsHexadecimal) {
    const OptionRow row{11, HKEY_CURRENT_USER, kExplorer, "NoDrives", "", "", "", ""};
    EXPECT_EQ(GetLockdownOptionText(kNoDrives), "0");  // never written
    struct Case {
        std::uint32_t mask;
        const char* raw;
    };
    for (const Case c : {Case{5, "5"}, Case{0x3FFFFFF, "3FFFFFF"}, Case{0x10, "10"}, Case{0, "0"}}) {
        SCOPED_TRACE(c.raw);
        EXPECT_TRUE(SetLockdownDriveMask(c.mask));
        EXPECT_EQ(Raw(row), std::make_pair(std::string(c.raw), REG_DWORD));
        EXPECT_EQ(GetLockdownOptionText(kNoDrives), c.raw);
        EXPECT_EQ(GetLockdownDriveMask(), c.mask);
        EXPECT_EQ(GetLockdownOption(kNoDrives), c.mask != 0);
    }
    // The desktop hears whether any drive is hidden.
    EXPECT_EQ(desktop->calls, (std::vector<std::pair<std::int32_t, bool>>{
                                  {kNoDrives, true}, {kNoDrives, true}, {kNoDrives, true}, {kNoDrives, false}}));
    // The switch form leaves the mask alone.
    SetLockdownDriveMask(5);
    EXPECT_FALSE(SetLockdownOption(kNoDrives, true));
    EXPECT_FALSE(SetLockdownOption(kNoDrives, false));
    EXPECT_EQ(GetLockdownDriveMask(), 5u);
    // Text that is not hexadecimal reads as no drives.
    WriteRegistryValue(HKEY_CURRENT_USER, kExplorer, "NoDrives", "drives", REG_SZ);
    EXPECT_EQ(GetLockdownDriveMask(), 0u);
    EXPECT_FALSE(GetLockdownOption(kNoDrives));
}

TEST_F(LockdownOptions, NumbersOutsideTheTableWriteNothingAndReadEmpty) {
    for (const std::int32_t option : {-1, 23, 100, -2147483647 - 1}) {
        SCOPED_TRACE(option);
        EXPECT_FALSE(SetLockdownOption(option, true));
        EXPECT_EQ(GetLockdownOptionText(option), "");
        EXPECT_FALSE(GetLockdownOption(option));
    }
    Registry reg;
    EXPECT_EQ(reg.EnumValues(HKEY_CURRENT_USER, kExplorer).Count(), 0);
    EXPECT_EQ(reg.EnumValues(HKEY_CURRENT_USER, kSystem).Count(), 0);
    EXPECT_EQ(reg.EnumValues(HKEY_LOCAL_MACHINE, SettingsKeyPath("Security")).Count(), 0);
    EXPECT_TRUE(desktop->calls.empty());
}

TEST_F(LockdownOptions, StoredTextIsOnWhenTrueOrANonZeroNumber) {
    auto store = UseRecordingStore();
    struct Case {
        const char* stored;
        bool on;      // a switch (option 0, a policy value; option 20, a machine setting)
        bool autoRun; // option 16
    };
    const std::vector<Case> cases = {
        {"1", true, false},    {"0", false, false},    {"False", false, false}, {"True", true, false},
        {"true", true, false}, {"A", true, false},     {"", false, false},      {"B5", true, true},
        {"95", true, false},   {"xyz", false, false},  {"000000B5", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        store->values[{"HKCU:" + std::string(kExplorer), "NoFind"}] = c.stored;
        store->values[{"Security", "NoTaskbar"}] = c.stored;
        store->values[{"HKCU:" + std::string(kExplorer), "NoDriveTypeAutoRun"}] = c.stored;
        EXPECT_EQ(GetLockdownOptionText(kNoFind), c.stored);
        EXPECT_EQ(GetLockdownOption(kNoFind), c.on);
        EXPECT_EQ(GetLockdownOption(kNoTaskbar), c.on);
        EXPECT_EQ(GetLockdownOption(kNoDriveTypeAutoRun), c.autoRun);
        EXPECT_EQ(GetLockdownOptionText(kNoDriveTypeAutoRun), c.autoRun ? "True" : "False");
    }
}

TEST_F(LockdownOptions, ARefusedWriteIsReportedAndKeptFromTheDesktop) {
    auto store = UseRecordingStore();
    store->refused = {"NoRun", "NoStartButton"};
    EXPECT_FALSE(SetLockdownOption(kNoRun, true));
    EXPECT_FALSE(SetLockdownOption(kNoStartButton, true));
    EXPECT_TRUE(SetLockdownOption(kNoLogoff, true));
    EXPECT_EQ(desktop->calls, (std::vector<std::pair<std::int32_t, bool>>{{kNoLogoff, true}}));
    EXPECT_FALSE(GetLockdownOption(kNoRun));
}

}  // namespace
}  // namespace corvane
