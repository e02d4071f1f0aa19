// Resetting every lockdown option and telling the user how it went.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lockdown/lockdown_options.h"
#include "lockdown_test_support.h"
#include "messages/message_catalogue.h"
#include "platform/core/version_info.h"
#include "platform/settings/settings_store.h"

namespace corvane {
namespace {

using namespace testing;

const std::string kE = "HKCU:Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\";
const std::string kS = "HKCU:Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\";

// Every write of a reset (and of security level 0), in order.
const std::vector<std::string> kResetWrites = {
    kE + "RestrictRun=0",       kE + "NoFind=0",           kE + "NoRun=0",
    kE + "NoClose=0",           kE + "NoDesktop=0",        kE + "NoRecentDocsMenu=0",
    kE + "NoFolderOptions=0",   kE + "NoLogoff=0",         kE + "NoNetHood=0",
    kE + "NoSetTaskbar=0",      kE + "NoTrayContextMenu=0", kE + "NoViewContextMenu=0",
    kS + "DisableLockWorkstation=0", kE + "NoDriveTypeAutoRun=95", kS + "DisableChangePassword=0",
    kS + "DisableTaskMgr=0",    kE + "NoSetFolders=0",     kE + "NoFavoritesMenu=0",
    "Security\\NoTaskbar=0",    "Security\\NoStartButton=0", kE + "NoDrives=0",
};

class Reset : public LockdownTest {
protected:
    void SetUp() override {
        LockdownTest::SetUp();
        store = UseRecordingStore();
        gResetLockdownOptionsAtNextLogin = true;
        gSecurityLevel = 4;
        gAnyLockdownOptionsSet = true;
    }
    void TearDown() override {
        gSecurityLevel = 0;
        gAnyLockdownOptionsSet = false;
        LockdownTest::TearDown();
    }
    std::shared_ptr<RecordingLockdownStore> store;
};

TEST_F(Reset, SwitchesEverythingOffInOrderThenClearsTheRequestAndReports513) {
    auto box = ScriptedMsgBox::Install();
    EXPECT_TRUE(ResetAllLockdownOptions());
    EXPECT_EQ(store->writes, kResetWrites);  // options 4 and 8 are left alone

    EXPECT_FALSE(gResetLockdownOptionsAtNextLogin);
    EXPECT_EQ(GetMachineSetting("Global", "Reset Lockdown Options At Next Login", "unset"), "False");
    EXPECT_EQ(gSecurityLevel, 4);  // the calling window's business
    EXPECT_TRUE(gAnyLockdownOptionsSet);

    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, GetMessageText(513));
    EXPECT_EQ(box->Last().prompt, "All Workstation Lockdown options have been reset.");
    EXPECT_EQ(box->Last().buttons, 4160);
    EXPECT_EQ(box->Last().title, "Corvane Standard");
    EXPECT_EQ(box->Last().title, version::kProductName);
}

TEST_F(Reset, AWriteThatDidNotTakeGivesMessage512AndTheRestStillRun) {
    struct Case {
        const char* name;
        bool raises;  // else the store refuses it
    };
    for (const Case c : {Case{"RestrictRun", false}, Case{"NoStartButton", false}, Case{"NoDrives", false},
                         Case{"NoClose", true}}) {
        SCOPED_TRACE(c.name);
        store->writes.clear();
        store->refused.clear();
        store->raising.clear();
        (c.raises ? store->raising : store->refused).insert(c.name);
        gResetLockdownOptionsAtNextLogin = true;
        auto box = ScriptedMsgBox::Install();

        EXPECT_FALSE(ResetAllLockdownOptions());
        EXPECT_EQ(store->writes, kResetWrites);
        EXPECT_FALSE(gResetLockdownOptionsAtNextLogin);
        ASSERT_EQ(box->Count(), 1);
        EXPECT_EQ(box->Last().prompt, "Not all Workstation Lockdown options could be reset.");
        EXPECT_EQ(box->Last().buttons, 4160);
        EXPECT_EQ(box->Last().title, "Corvane Standard");
    }
}

TEST_F(Reset, ThroughTheRegistryEveryValueEndsOff) {
    SetLockdownStore(nullptr);
    for (const std::int32_t option : kLockdownWriteOrder) SetLockdownOption(option, true);
    SetLockdownOption(kNoSetActiveDesktop, true);
    SetLockdownDriveMask(kAllDrivesMask);
    auto box = ScriptedMsgBox::Install();

    EXPECT_TRUE(ResetAllLockdownOptions());
    for (std::int32_t option = 0; option < kLockdownOptionCount; ++option)
        EXPECT_EQ(GetLockdownOption(option), option == kNoSetActiveDesktop) << option;
    EXPECT_EQ(box->Last().prompt, GetMessageText(513));
}

}  // namespace
}  // namespace corvane
