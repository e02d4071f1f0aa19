#include "admin/security/security_level_logic.h"

#include <utility>

#include "lockdown/lockdown_options.h"
#include "lockdown/security_levels.h"
#include "messages/message_catalogue.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

constexpr int kMaximumLevelQuestion = 480;
constexpr int kMaximumLevelName = 407;

}  // namespace

SecurityLevelLogic::SecurityLevelLogic(SecurityWindowServices services) : services_(std::move(services)) {}

std::string SecurityLevelLogic::Caption() const {
    return GetMessageText(148, gLanguage) + " - " + GetLocalComputerName();
}

std::string SecurityLevelLogic::LevelName() const { return SecurityLevelName(level_, gLanguage); }

std::string SecurityLevelLogic::LevelDescription() const { return SecurityLevelDescription(level_, gLanguage); }

void SecurityLevelLogic::SetPosition(int position) {
    position_ = position;
    level_ = kBottomPosition - position;
}

void SecurityLevelLogic::LoadSettings() {
    loading_ = true;
    RunTrapped("frmSecurity.LoadSettings", {
        [&] {
            cannotCancelSecureConsole_ = gCannotCancelSecureConsole;
            alwaysShowSecureConsole_ = gAlwaysShowSecureConsole;
            startUpWithWindows_ = gStartUpWithWindows;
        },
        [&] {
            if (gSecurityLevel >= 0 && gSecurityLevel < kSecurityLevelCount)
                SetPosition(kBottomPosition - gSecurityLevel);
        },
        [&] { services_.OwnProgramsToRestrictRun(); },
    });
    IsDirty = false;
    loading_ = false;
}

void SecurityLevelLogic::SliderMoved(int position) {
    if (position < kTopPosition || position > kBottomPosition) return;
    IsDirty = true;
    if (position == kTopPosition && !ConfirmMaximumSecurity()) position = kTopPosition + 1;
    SetPosition(position);
}

bool SecurityLevelLogic::ConfirmMaximumSecurity() {
    if (loading_) return false;
    const std::string question =
        GetMessageText(kMaximumLevelQuestion, gLanguage, GetMessageText(kMaximumLevelName, gLanguage));
    const int answer = ShowMsgBox(question, kMsgYesNo | kMsgCritical | kMsgDefaultButton2,
                                  GetMessageText(kMessageProgramName, gLanguage));
    if (answer != kMsgYes) return false;
    cannotCancelSecureConsole_ = true;
    alwaysShowSecureConsole_ = true;
    return true;
}

bool SecurityLevelLogic::ShowLockdownWarning() {
    const bool lockdown = position_ != kBottomPosition;
    if (lockdown) startUpWithWindows_ = true;
    if (lockdown && !gDoNotShowLockdownWarningAgain && services_.WarningCancelled()) {
        SetPosition(kBottomPosition);
        return true;
    }
    gAnyLockdownOptionsSet = lockdown;
    services_.SaveLocal();
    return false;
}

void SecurityLevelLogic::Apply() {
    if (!IsDirty) return;
    if (!DataIsValid() || ShowLockdownWarning()) return;
    SaveSettings();
}

bool SecurityLevelLogic::Ok() {
    if (!IsDirty) return true;
    if (!DataIsValid() || ShowLockdownWarning()) return false;
    SaveSettings();
    return true;
}

void SecurityLevelLogic::SaveSettings() {
    const bool saved = RunTrapped("frmSecurity.SaveSettings", {
        [&] {
            if (level_ >= 4) ForceActionAfterLogout();
        },
        [&] {
            if (level_ == 5) {
                cannotCancelSecureConsole_ = true;
                alwaysShowSecureConsole_ = true;
                startUpWithWindows_ = true;
            }
        },
        [&] {
            gSecurityLevel = level_;
            gCannotCancelSecureConsole = cannotCancelSecureConsole_;
            gAlwaysShowSecureConsole = alwaysShowSecureConsole_;
            gStartUpWithWindows = startUpWithWindows_;
        },
        [&] { services_.StartUp(gStartUpWithWindows); },
        [&] { services_.SaveGlobal(); },
        [&] { ApplySecurityLevel(level_); },
    });
    if (saved) IsDirty = false;
}

void SecurityLevelLogic::Reset() {
    SetPosition(kBottomPosition);
    ResetAllLockdownOptions();
    gAnyLockdownOptionsSet = false;
    services_.SaveLocal();
    SaveSettings();
}

void SecurityLevelLogic::AfterAdvanced() {
    cannotCancelSecureConsole_ = gCannotCancelSecureConsole;
    alwaysShowSecureConsole_ = gAlwaysShowSecureConsole;
    startUpWithWindows_ = gStartUpWithWindows;
}

}  // namespace corvane
