#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// Each writer opens its log, appends one record and closes the file again. Errors go to
// HandleError under the writer's place ("Subs.WriteUserLog", ...); none reaches the caller.

// Records one login attempt in the user log unless "Disable User Logging" is on. The login
// is stored as passed (cut to 20 characters); it is looked up in the user table (trimmed,
// without letter case): a known login gets the user's name, Active = success and Failed =
// not success; an unknown one Invalid. Returns the new record's LogID for a known login, -1
// for an unknown one, and 0 when nothing was written (logging off, or the append failed).
std::int32_t WriteUserLog(const std::string& login, bool success);

// Appends one activity record when "Enable Activity Logging" is on: the texts as passed,
// details cut to 255 characters, stamped now. Callers pass GetCurrentUser(), gEXEAppName and
// GetLocalComputerName().
void WriteActivityLog(const std::string& userLogin, const std::string& appName,
                      const std::string& computerName, const std::string& details);

// Appends one website-log record when "Enable Website Logging" is on: the texts as passed,
// the address cut to 255 characters, stamped now. status is "URL ACCEPTED" or "URL DENIED".
void WriteWebsiteLog(const std::string& userLogin, const std::string& appName,
                     const std::string& computerName, const std::string& url,
                     const std::string& status);

}  // namespace corvane
