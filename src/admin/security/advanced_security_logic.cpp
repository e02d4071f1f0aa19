#include "admin/security/advanced_security_logic.h"

#include <utility>

#include "lockdown/desktop_policy.h"
#include "lockdown/lockdown_options.h"
#include "lockdown/restrict_run.h"
#include "lockdown/security_levels.h"
#include "messages/message_catalogue.h"
#include "platform/core/environment.h"
#include "platform/core/error_trap.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/settings_store.h"
#include "platform/system/file_helpers.h"
#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane {
namespace {

constexpr std::int32_t kYesNoQuestion = kMsgYesNo | kMsgQuestion;                        // 36
constexpr std::int32_t kYesNoCritical = kMsgYesNo | kMsgCritical | kMsgDefaultButton2;  // 276

// The global setting behind each Settings box.
bool& BoxSetting(int box) {
    switch (box) {
        case kAlwaysShowSecureConsole: return gAlwaysShowSecureConsole;
        case kCannotCancelSecureConsole: return gCannotCancelSecureConsole;
        case kShowCorvaneAtNextLogin: return gShowCorvaneAtNextLogin;
        case kResetLockdownOptionsAtNextLogin: return gResetLockdownOptionsAtNextLogin;
        default: return gApplySecuritySettingsOnStartup;
    }
}

// The order in which a save stores the five settings.
constexpr std::array<int, kSettingsBoxCount> kBoxSaveOrder = {
    kCannotCancelSecureConsole, kAlwaysShowSecureConsole, kShowCorvaneAtNextLogin,
    kResetLockdownOptionsAtNextLogin, kApplySecuritySettingsOnStartup};

const std::string kForm = "frmAdvancedSecurity.";

// The hourglass for one step, taken back however the step ends, a failed
// statement included.
class Hourglass {
public:
    explicit Hourglass(const SecurityWindowServices& services) : services_(services) { services_.Busy(true); }
    ~Hourglass() { services_.Busy(false); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

private:
    const SecurityWindowServices& services_;
};

}  // namespace

AdvancedSecurityLogic::AdvancedSecurityLogic(SecurityWindowServices services) : services_(std::move(services)) {
    DesktopPolicy& desktop = CurrentDesktopPolicy();
    for (std::size_t row = 0; row < kLockdownListRows.size(); ++row)
        lockdownInEffect_[row] = desktop.HasEffect(kLockdownListRows[row].option);
    drivesInEffect_ = desktop.HasEffect(kNoDrives);
}

std::string AdvancedSecurityLogic::Caption() const {
    return GetMessageText(401, gLanguage) + " - " + GetLocalComputerName();
}

// --- Lockdown tab ---

void AdvancedSecurityLogic::LockdownRowChanged(int row, bool ticked) {
    if (!lockdownInEffect_.at(row)) return;
    lockdownTicks_.at(row) = ticked;
    IsDirty = true;
    if (kLockdownListRows[row].notRecommended) ConfirmNotRecommendedOption(row);
}

void AdvancedSecurityLogic::ConfirmNotRecommendedOption(int row) {
    if (lockdownTicks_.at(row) && !loading_) {
        const std::string name = GetMessageText(kLockdownListRows[row].captionMessage, gLanguage);
        if (ShowMessage(Question::kNotRecommended, kYesNoCritical, name) == kMsgNo) {
            // Unticking goes through the row's own handling once more.
            LockdownRowChanged(row, false);
            return;
        }
    }
    IsDirty = true;
    ApplySecureConsoleLockdown();
}

void AdvancedSecurityLogic::CheckAllLockdownOptions(bool ticked) {
    for (std::size_t row = 0; row < lockdownTicks_.size(); ++row)
        if (lockdownInEffect_[row]) lockdownTicks_[row] = ticked;
    // The not-recommended rows hold the console boxes; keep them in step.
    ApplySecureConsoleLockdown();
}

void AdvancedSecurityLogic::SelectAllLockdownOptions() {
    IsDirty = true;
    CheckAllLockdownOptions(true);
}

void AdvancedSecurityLogic::ClearAllLockdownOptions() {
    IsDirty = true;
    CheckAllLockdownOptions(false);
}

bool AdvancedSecurityLogic::AnyNotRecommendedTicked() const {
    for (std::size_t i = 0; i < kLockdownListRows.size(); ++i)
        if (kLockdownListRows[i].notRecommended && lockdownTicks_[i]) return true;
    return false;
}

void AdvancedSecurityLogic::ApplySecureConsoleLockdown() {
    const bool forced = AnyNotRecommendedTicked();
    for (const int box : {kAlwaysShowSecureConsole, kCannotCancelSecureConsole}) {
        if (forced) boxTicks_[box] = true;
        boxEnabled_[box] = !forced;
    }
}

void AdvancedSecurityLogic::ApplyLogoutActionLockdown() {
    if (AnyNotRecommendedTicked()) ForceActionAfterLogout();
}

void AdvancedSecurityLogic::LoadLockdownOptions() {
    restrictRun_ = GetLockdownOption(kRestrictRun);
    for (const std::int32_t option : kLockdownListLoadOrder)
        lockdownTicks_[LockdownRowIndex(option)] = GetLockdownOption(option);
    services_.OwnProgramsToRestrictRun();
    IsDirty = false;
}

void AdvancedSecurityLogic::SaveLockdownOptions() {
    SetLockdownOption(kRestrictRun, restrictRun_);
    for (const std::int32_t option : kLockdownListLoadOrder)
        SetLockdownOption(option, static_cast<bool>(lockdownTicks_[LockdownRowIndex(option)]));
    IsDirty = false;
}

// --- Settings tab ---

void AdvancedSecurityLogic::SettingsBoxClicked(int box, bool ticked) {
    if (!boxEnabled_.at(box)) return;
    boxTicks_[box] = ticked;
    IsDirty = true;
}

// --- Hide Drives tab ---

void AdvancedSecurityLogic::DriveChanged(int letter, bool ticked) {
    if (!drivesInEffect_) return;
    driveTicks_.at(letter) = ticked;
    IsDirty = true;
}

void AdvancedSecurityLogic::CheckAllDrives(bool ticked) {
    if (drivesInEffect_) driveTicks_.fill(ticked);
}

void AdvancedSecurityLogic::SelectAllDrives() {
    IsDirty = true;
    CheckAllDrives(true);
}

void AdvancedSecurityLogic::ClearAllDrives() {
    IsDirty = true;
    CheckAllDrives(false);
}

void AdvancedSecurityLogic::LoadHiddenDrives() { driveTicks_ = DriveTicksFromMask(GetLockdownDriveMask()); }

void AdvancedSecurityLogic::SaveHiddenDrives() { SetLockdownDriveMask(DriveMaskFromTicks(driveTicks_)); }

// --- Restrict Run tab ---

void AdvancedSecurityLogic::RestrictRunClicked(bool ticked) {
    restrictRun_ = ticked;
    IsDirty = true;
}

void AdvancedSecurityLogic::LoadRestrictRunOptions() {
    const Hourglass hourglass(services_);
    RunTrapped(kForm + "LoadRestrictRunOptions", {[&] { entries_ = ListedRestrictRunEntries(); }});
}

void AdvancedSecurityLogic::AddProgram(const std::optional<std::string>& chosenPath) {
    if (!chosenPath) return;
    RunTrapped(kForm + "cmdAdd_Click", {
        [&] {
            const std::string fileName = File().GetFileName(*chosenPath);
            if (fileName.empty() || IsRefusedRestrictRunName(fileName)) return;
            AddRestrictRunEntry(fileName);
            LoadRestrictRunOptions();
            IsDirty = true;
        },
    });
}

void AdvancedSecurityLogic::DeletePrograms(const std::vector<std::string>& selectedNames) {
    if (selectedNames.empty() || entries_.empty()) return;
    RunTrapped(kForm + "cmdDelete_Click", {
        [&] {
            const std::string count = std::to_string(selectedNames.size());
            if (ShowMessage(Question::kDeleteItems, kYesNoQuestion, count) == kMsgNo) return;
            for (const auto& name : selectedNames) DeleteRestrictRunEntry(name);
            LoadRestrictRunOptions();
            IsDirty = true;
        },
    });
}

void AdvancedSecurityLogic::ClearPrograms() {
    if (entries_.empty()) return;
    RunTrapped(kForm + "cmdClear_Click", {
        [&] {
            if (ShowMessage(Question::kClearList, kYesNoQuestion) == kMsgNo) return;
            for (const auto& entry : entries_) DeleteRestrictRunEntry(entry.name);
            LoadRestrictRunOptions();
            IsDirty = true;
        },
    });
}

// --- The window ---

void AdvancedSecurityLogic::LoadSettings() {
    loading_ = true;
    RunTrapped(kForm + "LoadSettings", {
        [&] {
            for (int box = 0; box < kSettingsBoxCount; ++box) boxTicks_[box] = BoxSetting(box);
        },
        [&] { startUpWithWindows_ = gStartUpWithWindows; },
        [&] { LoadHiddenDrives(); },
        [&] { LoadLockdownOptions(); },
        [&] { LoadRestrictRunOptions(); },
        [&] { ApplySecureConsoleLockdown(); },
    });
    loading_ = false;
    IsDirty = false;
}

void AdvancedSecurityLogic::SaveSettings() {
    const Hourglass hourglass(services_);
    const bool saved = RunTrapped(kForm + "SaveSettings", {
        [&] { ApplyLogoutActionLockdown(); },
        [&] { ApplySecureConsoleLockdown(); },
        [&] {
            for (const int box : kBoxSaveOrder) BoxSetting(box) = boxTicks_[box];
        },
        [&] {
            gStartUpWithWindows = startUpWithWindows_;
            services_.StartUp(startUpWithWindows_);
        },
        [&] { services_.SaveGlobal(); },
        [&] { SaveHiddenDrives(); },
        [&] { SaveLockdownOptions(); },
    });
    if (saved) IsDirty = false;
}

bool AdvancedSecurityLogic::SelectionLocksDown() const {
    if (restrictRun_) return true;
    for (const bool ticked : lockdownTicks_)
        if (ticked) return true;
    for (const bool ticked : driveTicks_)
        if (ticked) return true;
    return false;
}

bool AdvancedSecurityLogic::ShowLockdownWarning() {
    const bool lockdown = SelectionLocksDown();
    if (lockdown) startUpWithWindows_ = true;
    if (lockdown && !gDoNotShowLockdownWarningAgain && services_.WarningCancelled()) {
        CheckAllLockdownOptions(false);
        IsDirty = true;
        return true;
    }
    // Stored only now: a cancelled warning leaves the stored answer alone.
    gAnyLockdownOptionsSet = lockdown;
    services_.SaveLocal();
    return false;
}

bool AdvancedSecurityLogic::Ok() {
    if (ShowLockdownWarning()) return false;
    SaveSettings();
    return true;
}

void AdvancedSecurityLogic::Apply() {
    if (!IsDirty || ShowLockdownWarning()) return;
    SaveSettings();
}

void AdvancedSecurityLogic::Reset() {
    ResetAllLockdownOptions();
    gAnyLockdownOptionsSet = false;
    services_.SaveLocal();
    LoadSettings();
}

int AdvancedSecurityLogic::ShowMessage(Question question, std::int32_t buttons, const std::string& parameter) {
    std::string prompt;
    switch (question) {
        case Question::kDeleteItems:
            prompt = parameter == "1" ? GetMessageText(421, gLanguage) : GetMessageText(422, gLanguage, parameter);
            break;
        case Question::kClearList: prompt = GetMessageText(538, gLanguage); break;
        case Question::kNotRecommended: prompt = GetMessageText(480, gLanguage, parameter); break;
    }
    return ShowMsgBox(prompt, buttons, GetMessageText(kMessageProgramName, gLanguage));
}

}  // namespace corvane
