#include "admin/security/security_services.h"

#include "platform/settings/settings_store.h"
#include "session/rules/corvane_restrict_run.h"

namespace corvane {

SecurityWindowServices SecurityWindowServices::Real() {
    SecurityWindowServices services;
    services.saveGlobalSettings = [] { SaveGlobalSettings(); };
    services.saveLocalSettings = [] { SaveLocalSettings(); };
    services.corvaneToRestrictRun = [] { CorvaneToRestrictRun(); };
    return services;
}

void SecurityWindowServices::SaveGlobal() const {
    if (saveGlobalSettings) saveGlobalSettings();
}

void SecurityWindowServices::SaveLocal() const {
    if (saveLocalSettings) saveLocalSettings();
}

void SecurityWindowServices::StartUp(bool enabled) const {
    if (setStartUpWithWindows) setStartUpWithWindows(enabled);
}

bool SecurityWindowServices::WarningCancelled() const { return showLockdownWarning && showLockdownWarning(); }

void SecurityWindowServices::OwnProgramsToRestrictRun() const {
    if (corvaneToRestrictRun) corvaneToRestrictRun();
}

void SecurityWindowServices::Busy(bool busy) const {
    if (busyPointer) busyPointer(busy);
}

void LockdownWarningCheckClicked(bool ticked, const SecurityWindowServices& services) {
    gDoNotShowLockdownWarningAgain = ticked;
    services.SaveLocal();
}

}  // namespace corvane
