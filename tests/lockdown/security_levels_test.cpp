// The six security levels and the after-logout action they force.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "lockdown/lockdown_options.h"
#include "lockdown/security_levels.h"
#include "lockdown_test_support.h"
#include "platform/settings/registry.h"
#include "platform/settings/settings_store.h"

namespace corvane {
namespace {

using namespace testing;

struct LevelColumn {
    std::set<std::int32_t> on;
    const char* driveMask;
};

// The options each level switches on, typed from the level table.
const std::vector<LevelColumn> kLevels = {
    {{}, "0"},
    {{0, 10, 16, 18, 19}, "0"},
    {{0, 10, 16, 18, 19, 1, 2, 3, 6, 7, 17}, "0"},
    {{0, 10, 16, 18, 19, 1, 2, 3, 6, 7, 17, 9, 12, 13}, "0"},
    {{0, 10, 16, 18, 19, 1, 2, 3, 6, 7, 17, 9, 12, 13, 20, 22}, "5"},
    {{0, 10, 16, 18, 19, 1, 2, 3, 6, 7, 17, 9, 12, 13, 20, 22, 5, 21}, "3FFFFFF"},
};

// What the store holds for every option, as the windows read it back.
std::vector<std::string> Snapshot() {
    std::vector<std::string> texts;
    for (std::int32_t option = 0; option < kLockdownOptionCount; ++option)
        texts.push_back(GetLockdownOptionText(option));
    return texts;
}

std::vector<std::string> Expected(const LevelColumn& column) {
    std::vector<std::string> texts;
    for (std::int32_t option = 0; option < kLockdownOptionCount; ++option) {
        const bool on = column.on.count(option) > 0;
        if (option == 4 || option == 8) texts.push_back("False");  // never written
        else if (option == kNoDrives) texts.push_back(column.driveMask);
        else if (option == kNoDriveTypeAutoRun) texts.push_back(on ? "True" : "False");
        else texts.push_back(on ? "1" : "0");
    }
    return texts;
}

using SecurityLevels = LockdownTest;

TEST_F(SecurityLevels, EachLevelWritesItsColumn) {
    for (std::int32_t level = 0; level < kSecurityLevelCount; ++level) {
        SCOPED_TRACE(level);
        // Start from the opposite state so that every value must be written.
        for (const std::int32_t option : kLockdownWriteOrder)
            SetLockdownOption(option, kLevels[static_cast<std::size_t>(level)].on.count(option) == 0);
        SetLockdownDriveMask(0x1234);
        ApplySecurityLevel(level);
        EXPECT_EQ(Snapshot(), Expected(kLevels[static_cast<std::size_t>(level)]));
    }
}

TEST_F(SecurityLevels, ALowerLevelUndoesAHigherOne) {
    ApplySecurityLevel(5);
    SetLockdownOption(kNoClose, true);  // as the advanced window may have left them
    SetLockdownOption(kNoLogoff, true);
    ApplySecurityLevel(3);
    EXPECT_EQ(Snapshot(), Expected(kLevels[3]));
    for (const std::int32_t option : {kNoDesktop, kNoTaskbar, kNoStartButton, kRestrictRun, kNoClose, kNoLogoff})
        EXPECT_FALSE(GetLockdownOption(option)) << option;
    EXPECT_EQ(GetLockdownDriveMask(), 0u);
}

TEST_F(SecurityLevels, EveryLevelWritesInTheResetOrderAndUnknownLevelsNothing) {
    auto store = UseRecordingStore();
    std::vector<std::string> names;
    for (std::int32_t level = 0; level < kSecurityLevelCount; ++level) {
        store->writes.clear();
        ApplySecurityLevel(level);
        ASSERT_EQ(store->writes.size(), 21u);
        std::vector<std::string> order;
        for (const auto& w : store->writes) order.push_back(w.substr(w.rfind('\\') + 1, w.find('=') - w.rfind('\\') - 1));
        if (names.empty()) names = order;
        EXPECT_EQ(order, names) << level;
    }
    EXPECT_EQ(names.front(), "RestrictRun");
    EXPECT_EQ(names.back(), "NoDrives");

    store->writes.clear();
    desktop->calls.clear();
    for (const std::int32_t level : {6, -1, 100}) ApplySecurityLevel(level);
    EXPECT_TRUE(store->writes.empty());
    EXPECT_TRUE(desktop->calls.empty());
}

TEST_F(SecurityLevels, AWriteThatRaisesStopsTheLevel) {
    auto store = UseRecordingStore();
    store->raising = {"NoClose"};  // the fourth write
    EXPECT_THROW(ApplySecurityLevel(5), std::runtime_error);
    ASSERT_EQ(store->writes.size(), 4u);
    EXPECT_EQ(store->values.size(), 3u);
}

TEST_F(SecurityLevels, TheLevelProceduresMatchTheirNumbers) {
    UseRecordingStore();
    const std::vector<void (*)()> procedures = {ApplyNoSecurity,   ApplyLowSecurity,      ApplyMediumSecurity,
                                                ApplyHighSecurity, ApplyVeryHighSecurity, ApplyMaximumSecurity};
    for (std::size_t level = 0; level < procedures.size(); ++level) {
        procedures[level]();
        EXPECT_EQ(Snapshot(), Expected(kLevels[level])) << level;
    }
}

TEST_F(SecurityLevels, NamesAndDescriptions) {
    const std::vector<std::string> names = {"No Security",   "Low Security",       "Medium Security",
                                            "High Security", "Very High Security", "Maximum Security"};
    for (std::int32_t level = 0; level < kSecurityLevelCount; ++level)
        EXPECT_EQ(SecurityLevelName(level, 0), names[static_cast<std::size_t>(level)]);
    EXPECT_EQ(SecurityLevelDescription(4, 0),
              "- Very Limited use of Desktop and Context Menus\r\n"
              "- Users cannot alter any settings, install or modify programs\r\n"
              "- Restrict run policies enforced\r\n"
              "- Critical Drives are hidden and limited access is given to the Network");
    for (const std::int32_t level : {-1, 6}) {
        EXPECT_EQ(SecurityLevelName(level, 0), "");
        EXPECT_EQ(SecurityLevelDescription(level, 1), "");
    }
}

TEST_F(SecurityLevels, ForcingAnActionAfterLogoutKeepsAShutdown) {
    struct Case {
        bool action;
        std::int32_t logoutAction;
        bool actionAfter;
        std::int32_t logoutActionAfter;
    };
    for (const Case c : {Case{false, 0, true, 1}, Case{true, 0, true, 1}, Case{false, 2, true, 2},
                         Case{true, 2, true, 2}, Case{true, 1, true, 1}}) {
        gActionAfterLogout = c.action;
        gLogoutAction = c.logoutAction;
        ForceActionAfterLogout();
        EXPECT_EQ(gActionAfterLogout, c.actionAfter);
        EXPECT_EQ(gLogoutAction, c.logoutActionAfter);
    }
    // Nothing was saved: the caller saves the global settings.
    Registry reg;
    EXPECT_FALSE(reg.ValueExists(HKEY_LOCAL_MACHINE, SettingsKeyPath("Global"), "Action After Logout"));
    EXPECT_FALSE(reg.ValueExists(HKEY_LOCAL_MACHINE, SettingsKeyPath("Global"), "Logout Action"));
}

}  // namespace
}  // namespace corvane
