#pragma once

#include <memory>
#include <string>
#include <vector>

namespace corvane {

// The program's entry in the desktop's autostart list for this Linux user,
// kept in step with the Run value.
class AutostartEntry {
public:
    virtual ~AutostartEntry() = default;
    // enabled: start programPath with the desktop session; otherwise an
    // existing entry is switched off (it is kept, as the Run value is).
    virtual void Write(bool enabled, const std::string& programPath) = 0;
};

// The XDG entry $XDG_CONFIG_HOME/autostart/corvane.desktop; writes nothing
// while CORVANE_TEST is set. Its command starts the program with the folders
// this run uses (AutostartCommand), so a start from it opens the same data
// folder and hives and asks for the same login.
std::unique_ptr<AutostartEntry> MakeXdgAutostartEntry();

// The command that starts programPath as this run was started: env with the
// program folder (always, absolute) and each other CORVANE_ variable that
// decides what is opened (registry, set-up record and runtime folders, the
// computer's name) as set now.
std::vector<std::string> AutostartCommand(const std::string& programPath);

// The arguments as a desktop entry's Exec value: an argument with a reserved
// character is quoted (with '"', '`', '$' and '\' escaped inside), and every
// '%' doubled. Before the key file's own escapes (EscapeKeyFileValue).
std::string DesktopExecLine(const std::vector<std::string>& argv);

// A string value as a key file holds it: '\', newline, tab and return
// escaped, and a leading space.
std::string EscapeKeyFileValue(const std::string& value);

// The entry in use; nullptr restores the XDG one.
void SetAutostartEntry(std::shared_ptr<AutostartEntry> entry);

// The running executable's full path.
std::string ProgramPathName();

// Writes the machine's Run value named after the program's title: the
// executable's full path when Enabled, otherwise "" (the value is never
// deleted); the autostart entry follows.
void SetStartUpWithWindows(bool Enabled);

}  // namespace corvane
