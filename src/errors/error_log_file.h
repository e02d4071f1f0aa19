#pragma once

#include <string>

#include "platform/core/raised_error.h"
#include "platform/core/program_title.h"

namespace corvane {

// The program's title, which names its error-log file.
// The place an error is reported from when its trap names none.
inline constexpr const char* kUnknownModule = "Unknown Module";

// The error-log file: the program folder, "/", the title and "_ErrorLog.txt".
// docs/error-log.md describes its lines.
std::string ErrorLogPath();

// The first four fields of a log line: "[" number "]", description, source and
// place, joined by commas and nothing escaped. An empty place (exactly empty)
// becomes "Unknown Module", in the caller's variable too, so that the dialog
// and the report say the same.
std::string FormatErrorLine(const RaisedError& error, std::string& place);

// Appends the line, ",", the time stamp (clock::Now as the general date) and
// CR LF to the file at path, creating it; then writes the line without the
// time stamp to the system log as an error entry. An empty path writes
// nothing at all. Never raises: returns false when the file could not be
// written (the system log still gets the entry).
bool WriteErrorLog(const std::string& line, const std::string& path);

}  // namespace corvane
