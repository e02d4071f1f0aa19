#pragma once

#include <string_view>

namespace corvane {

// Empty a log file in place and write one activity line ("Clear User Log", "Clear Website
// Log") for the current login. A blank PathName means the log's default file. A missing file
// is left missing and no line is written. The file is truncated under the record engine's
// append lock rather than deleted and re-created, so workstations that hold it open keep
// writing into it and lose nothing appended after the clear; its owner and permissions stay
// (a read-only file is made writable only for the moment of emptying it). Errors go to
// HandleError under "Subs.ClearUserLogFile" / "ProSubs.ClearWebsiteLogFile"; none reaches
// the caller.
void ClearUserLogFile(std::string_view PathName = {});
void ClearWebsiteLogFile(std::string_view PathName = {});

}  // namespace corvane
