#pragma once

#include <functional>

namespace corvane {

// What the security windows call outside the lockdown engine, each
// replaceable so that a test can record the order of the saves. A default
// object calls the real functions, except for the two a window supplies.
struct SecurityWindowServices {
    std::function<void()> saveGlobalSettings;
    std::function<void()> saveLocalSettings;
    // Writes the machine's Run value (and the desktop's autostart entry).
    std::function<void(bool enabled)> setStartUpWithWindows;
    // Shows the lockdown warning modally; true when it was cancelled.
    std::function<bool()> showLockdownWarning;
    // Puts the program's own executables into the Restrict Run list.
    std::function<void()> corvaneToRestrictRun;
    // Shows (true) and takes back (false) the hourglass while the settings
    // are saved; the calls come in pairs.
    std::function<void(bool busy)> busyPointer;

    // The real settings saves and Restrict Run entries; start-up writes and
    // the warning left empty (an empty one does nothing and is not
    // cancelled).
    static SecurityWindowServices Real();

    void SaveGlobal() const;
    void SaveLocal() const;
    void StartUp(bool enabled) const;
    bool WarningCancelled() const;
    void OwnProgramsToRestrictRun() const;
    void Busy(bool busy) const;
};

// The warning's "Do not show this again" box was clicked: the machine value
// takes its state and is saved at once.
void LockdownWarningCheckClicked(bool ticked, const SecurityWindowServices& services);

}  // namespace corvane
