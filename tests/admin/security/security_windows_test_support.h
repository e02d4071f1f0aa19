#pragma once

#include <deque>
#include <memory>
#include <string>

#include "admin/security/security_services.h"
#include "lockdown/lockdown_options.h"
#include "lockdown/lockdown_test_support.h"
#include "platform/settings/settings_store.h"

namespace corvane::testing {

// A lockdown test whose window services write into the recording store's
// sequence: "SaveGlobalSettings", "SaveLocalSettings Any=True",
// "StartUp=1"; the warning answers from `warningCancels` (not cancelled
// once it runs dry) and counts how often it was shown.
class SecurityWindowTest : public LockdownTest {
protected:
    void SetUp() override {
        LockdownTest::SetUp();
        gSecurityLevel = 0;
        gAnyLockdownOptionsSet = false;
        gDoNotShowLockdownWarningAgain = false;
        gCannotCancelSecureConsole = false;
        gAlwaysShowSecureConsole = false;
        gStartUpWithWindows = false;
        gShowCorvaneAtNextLogin = false;
        gApplySecuritySettingsOnStartup = false;
        store = UseRecordingStore();
    }

    SecurityWindowServices Services() {
        SecurityWindowServices services;
        services.saveGlobalSettings = [this] { store->writes.push_back("SaveGlobalSettings"); };
        services.saveLocalSettings = [this] {
            store->writes.push_back(std::string("SaveLocalSettings Any=") + (gAnyLockdownOptionsSet ? "True" : "False"));
        };
        services.setStartUpWithWindows = [this](bool on) { store->writes.push_back(on ? "StartUp=1" : "StartUp=0"); };
        services.showLockdownWarning = [this] {
            ++warningsShown;
            if (warningCancels.empty()) return false;
            const bool cancelled = warningCancels.front();
            warningCancels.pop_front();
            return cancelled;
        };
        services.corvaneToRestrictRun = [this] { ++ownProgramsAdded; };
        return services;
    }

    // Whether a write beginning with `prefix` was recorded.
    bool Wrote(const std::string& prefix) const {
        for (const auto& w : store->writes)
            if (w.rfind(prefix, 0) == 0) return true;
        return false;
    }
    // The position of the first recorded write containing `part`; -1 if none.
    int IndexOf(const std::string& part) const {
        for (std::size_t i = 0; i < store->writes.size(); ++i)
            if (store->writes[i].find(part) != std::string::npos) return static_cast<int>(i);
        return -1;
    }

    std::shared_ptr<RecordingLockdownStore> store;
    std::deque<bool> warningCancels;
    int warningsShown = 0;
    int ownProgramsAdded = 0;
};

}  // namespace corvane::testing
