#include <gtest/gtest.h>

#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "app/program_windows.h"
#include "lockdown/lockdown_options.h"
#include "lockdown/lockdown_test_support.h"
#include "lockdown/windows/frm_lockdown_warning.h"
#include "lockdown/windows/frm_security.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "session/launchers/launchers.h"
#include "session/shell/start_up_with_windows.h"
#include "ui/ui_test_support.h"

namespace corvane::testing {
namespace {

class NoAutostart : public AutostartEntry {
public:
    void Write(bool, const std::string&) override {}
};

using SecurityScenarioTest = LockdownTest;

// The administrator opens Security as the menu's command does, moves the
// slider to Medium Security, presses OK and accepts the warning; the level's
// policy values and the lockdown flag are then in the hives.
TEST_F(SecurityScenarioTest, MediumSecurityAppliedFromTheSecurityWindow) {
    SetAutostartEntry(std::make_shared<NoAutostart>());
    gSecurityLevel = 0;
    gAnyLockdownOptionsSet = false;
    gDoNotShowLockdownWarningAgain = false;
    RegisterProgramWindows();
    bool warned = false;
    bool reached = false;
    test::OnNextModal<frmSecurity>([&](frmSecurity* window) {
        reached = true;
        QTest::qWait(20);
        window->findChild<QSlider*>("sldSecurity")->setValue(3);
        test::OnNextModal<frmLockdownWarning>([&](frmLockdownWarning* warning) {
            warned = true;
            warning->findChild<QPushButton*>("cmdOK")->click();
        });
        window->findChild<QPushButton*>("cmdOK")->click();
    });
    ShowSecurity();
    SetAutostartEntry(nullptr);

    ASSERT_TRUE(reached);
    EXPECT_TRUE(warned);
    const auto policy = [](const char* key, const char* name) {
        return ReadRegistryValue(HKEY_CURRENT_USER, key, name, "missing");
    };
    for (const char* on : {"NoFind", "NoRun", "NoFolderOptions", "NoFavoritesMenu", "NoSetTaskbar"})
        EXPECT_EQ(policy(kExplorerPolicyKey, on), "1") << on;
    for (const char* off : {"NoNetHood", "NoDesktop", "RestrictRun", "NoClose"})
        EXPECT_EQ(policy(kExplorerPolicyKey, off), "0") << off;
    EXPECT_EQ(policy(kExplorerPolicyKey, "NoDriveTypeAutoRun"), "B5");
    EXPECT_EQ(policy(kSystemPolicyKey, "DisableLockWorkstation"), "1");
    EXPECT_EQ(policy(kExplorerPolicyKey, "NoDrives"), "0");
    EXPECT_EQ(GetMachineSetting("Global", "Any Lockdown Options Set", "missing"), "True");
    EXPECT_EQ(GetMachineSetting(kLockdownMachineSection, "NoTaskbar", "missing"), "0");
    EXPECT_EQ(gSecurityLevel, 2);
    EXPECT_TRUE(gStartUpWithWindows);
}

}  // namespace
}  // namespace corvane::testing
