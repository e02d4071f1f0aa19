#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

// What start-up does with the machine and its windows, behind one seam so
// that tests run Main with recording fakes. Empty members keep the program's
// own.
struct StartupServices {
    // False when another copy of the program is running.
    std::function<bool()> claimSingleInstance;
    // Ends the process at once (the second copy).
    std::function<void()> endProcess;
    // The application-starting pointer on (true) or the default one.
    std::function<void(bool starting)> setStartingPointer;
    // Shows the splash window modally until it closes itself.
    std::function<void()> showSplash;
    // Loads the hidden main form, which adds the icon and runs the first login.
    std::function<void()> loadMainForm;
};
// Replaces the services and returns the ones in force before.
StartupServices SetStartupServices(StartupServices services);

// The entry point's work, in its fixed order: one copy only, the splash, the
// program's identity, the settings (held when unreadable), the start-up lockdown, the edition
// titles, the data folder's test, the account table (held when damaged), then the main form. Errors go to the
// handler as "AppMain.Main". Returns; the program lives on in the main form.
void Main();

// Steps of Main.
void HideFromTaskList();
void ApplyStartupLockdown();
void SetEditionTitles();
// A settings store that cannot be read, or that vanished after set-up (a
// machine hive gone while the data folder holds accounts; an INI file
// missing, empty, cut short or above 1 MiB), is reported once (error log and
// a message); the run then requires a login and saves no setting.
void HoldUnreadableSettings();
// An account table that is missing, empty, short, unreadable or without an
// account where the data folder was set up is reported once (error log and a
// message); the run then requires a login, which nobody can pass, and the
// first-administrator wizard never opens. A folder that holds accounts and
// is not yet named as set up is named now.
void HoldDamagedAccountTable();
// Writes a start-up problem to the error log (and the system log) under "AppMain.Main".
void ReportStartupProblem(std::int32_t number, const std::string& description);

}  // namespace corvane
