#pragma once

#include <memory>
#include <string>

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
// while CORVANE_TEST is set.
std::unique_ptr<AutostartEntry> MakeXdgAutostartEntry();

// The entry in use; nullptr restores the XDG one.
void SetAutostartEntry(std::shared_ptr<AutostartEntry> entry);

// The running executable's full path.
std::string ProgramPathName();

// Writes the machine's Run value named after the program's title: the
// executable's full path when Enabled, otherwise "" (the value is never
// deleted); the autostart entry follows.
void SetStartUpWithWindows(bool Enabled);

}  // namespace corvane
