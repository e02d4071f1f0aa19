#pragma once

#include <cstdint>
#include <string>

#include "admin/security/security_services.h"

namespace corvane {

// The security-level window without its controls: the slider position (0 at
// the top is level 5, 5 at the bottom is level 0), the window's copies of
// three global settings, the warning before a lockdown, the save and the
// reset. The window shows Position(), LevelName(), LevelDescription() and
// IsDirty after every call.
class SecurityLevelLogic {
public:
    explicit SecurityLevelLogic(SecurityWindowServices services);

    static constexpr int kTopPosition = 0;     // Maximum Security
    static constexpr int kBottomPosition = 5;  // No Security

    bool IsDirty = false;
    bool Cancelled = false;

    int Position() const { return position_; }
    std::int32_t Level() const { return level_; }
    bool Loading() const { return loading_; }
    bool CannotCancelSecureConsole() const { return cannotCancelSecureConsole_; }
    bool AlwaysShowSecureConsole() const { return alwaysShowSecureConsole_; }
    bool StartUpWithWindows() const { return startUpWithWindows_; }

    // Message 148, " - " and the computer's name.
    std::string Caption() const;
    std::string LevelName() const;
    std::string LevelDescription() const;

    // Takes the level and the three copies from the global settings; a
    // stored level outside 0 to 5 leaves the slider where it is. Clean after.
    void LoadSettings();
    // The administrator moved the slider to this position. At the top the
    // maximum level is confirmed first; refused, the slider stops one below.
    void SliderMoved(int position);
    // Asks 480 about the maximum level; true when confirmed.
    bool ConfirmMaximumSecurity();
    // Before a save: true when the administrator cancelled the warning (the
    // slider then falls to No Security). "Any Lockdown Options Set" is
    // stored only when the save goes ahead.
    bool ShowLockdownWarning();
    bool DataIsValid() const { return true; }

    // Apply: only while dirty.
    void Apply();
    // OK: true when the window should hide (false: a cancelled warning).
    bool Ok();
    void Cancel() { Cancelled = true; }
    void SaveSettings();
    // Every lockdown option off, then level 0 saved.
    void Reset();
    // After the advanced window: the three copies again from the global
    // settings; the slider stays.
    void AfterAdvanced();

private:
    void SetPosition(int position);

    SecurityWindowServices services_;
    int position_ = kBottomPosition;
    std::int32_t level_ = 0;
    bool loading_ = false;
    bool cannotCancelSecureConsole_ = false;
    bool alwaysShowSecureConsole_ = false;
    bool startUpWithWindows_ = false;
};

}  // namespace corvane
