#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "admin/security/drive_list.h"
#include "admin/security/lockdown_list.h"
#include "admin/security/restrict_run_list.h"
#include "admin/security/security_services.h"

namespace corvane {

// The five boxes of the Settings tab.
enum SettingsBox : int {
    kAlwaysShowSecureConsole,
    kCannotCancelSecureConsole,
    kShowCorvaneAtNextLogin,
    kResetLockdownOptionsAtNextLogin,
    kApplySecuritySettingsOnStartup,
};
inline constexpr int kSettingsBoxCount = 5;

// The advanced security window without its controls: the ticks of the
// lockdown and drive lists, the five Settings boxes, the Restrict Run switch
// and list, the dirty state, the warning, the save and the reset. The window
// shows this state after every call; handlers are meant for the
// administrator's own clicks.
class AdvancedSecurityLogic {
public:
    explicit AdvancedSecurityLogic(SecurityWindowServices services);

    // What ShowMessage asks.
    enum class Question { kDeleteItems, kClearList, kNotRecommended };

    bool IsDirty = false;
    bool Cancelled = false;
    bool IsLoading() const { return loading_; }
    bool StartUpWithWindows() const { return startUpWithWindows_; }

    // Message 401, " - " and the computer's name.
    std::string Caption() const;

    // Lockdown tab, rows in display order. A row whose option changes nothing
    // on this desktop keeps its stored tick: no click or Select All moves it.
    bool LockdownRowTicked(int row) const { return lockdownTicks_.at(row); }
    bool LockdownRowInEffect(int row) const { return lockdownInEffect_.at(row); }
    void LockdownRowChanged(int row, bool ticked);
    void ConfirmNotRecommendedOption(int row);
    void CheckAllLockdownOptions(bool ticked);
    void SelectAllLockdownOptions();
    void ClearAllLockdownOptions();
    void ApplySecureConsoleLockdown();
    void ApplyLogoutActionLockdown();
    void LoadLockdownOptions();
    void SaveLockdownOptions();

    // Settings tab.
    bool SettingsBoxTicked(int box) const { return boxTicks_.at(box); }
    bool SettingsBoxEnabled(int box) const { return boxEnabled_.at(box); }
    void SettingsBoxClicked(int box, bool ticked);

    // Hide Drives tab, letters A (0) to Z; kept as stored, like a lockdown
    // row, when no drive setting applies on this desktop.
    bool DriveTicked(int letter) const { return driveTicks_.at(letter); }
    bool DrivesInEffect() const { return drivesInEffect_; }
    void DriveChanged(int letter, bool ticked);
    void CheckAllDrives(bool ticked);
    void SelectAllDrives();
    void ClearAllDrives();
    void LoadHiddenDrives();
    void SaveHiddenDrives();

    // Restrict Run tab.
    bool RestrictRunTicked() const { return restrictRun_; }
    void RestrictRunClicked(bool ticked);
    const std::vector<RestrictRunEntry>& RestrictRunEntries() const { return entries_; }
    std::int32_t ListCount() const { return static_cast<std::int32_t>(entries_.size()); }
    bool RestrictRunListEnabled() const { return restrictRun_; }
    bool AddEnabled() const { return restrictRun_; }
    // Delete and Clear: the list enabled and not empty.
    bool DeleteEnabled() const { return restrictRun_ && !entries_.empty(); }
    bool ClearEnabled() const { return DeleteEnabled(); }
    void LoadRestrictRunOptions();
    // The path the file chooser answered; nothing when it was cancelled.
    void AddProgram(const std::optional<std::string>& chosenPath);
    // The value names of the selected rows, in list order.
    void DeletePrograms(const std::vector<std::string>& selectedNames);
    void ClearPrograms();

    void LoadSettings();
    void SaveSettings();
    // True when the administrator cancelled the warning.
    bool ShowLockdownWarning();
    // Whether the window's selections lock anything down: a ticked lockdown
    // row or drive, or the Restrict Run switch.
    bool SelectionLocksDown() const;
    // OK: true when the window should hide.
    bool Ok();
    void Apply();
    void Cancel() { Cancelled = true; }
    void Reset();
    int ShowMessage(Question question, std::int32_t buttons, const std::string& parameter = {});

private:
    bool AnyNotRecommendedTicked() const;

    SecurityWindowServices services_;
    bool loading_ = false;
    bool startUpWithWindows_ = false;
    bool restrictRun_ = false;
    std::array<bool, kLockdownListRowCount> lockdownTicks_{};
    std::array<bool, kLockdownListRowCount> lockdownInEffect_{};
    bool drivesInEffect_ = true;
    std::array<bool, kDriveLetterCount> driveTicks_{};
    std::array<bool, kSettingsBoxCount> boxTicks_{};
    std::array<bool, kSettingsBoxCount> boxEnabled_{true, true, true, true, true};
    std::vector<RestrictRunEntry> entries_;
};

}  // namespace corvane
