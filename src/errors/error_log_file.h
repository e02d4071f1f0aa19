#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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

// The most of the file a viewer reads: a longer log shows its last part.
inline constexpr std::size_t kErrorLogViewLimit = 16u << 20;

// What the viewer reads of the file: its lines in file order without their
// line ends, and whether reading failed (lines read before a failure stay).
struct ErrorLogLines {
    std::vector<std::string> lines;
    bool failed = false;
};

// Reads the file for the viewer and its printout. Opened without waiting and
// refused (failed, no lines) unless it is a regular file, so a FIFO or device
// in its place can neither hang nor flood the window. A file longer than limit
// is read from the first whole line of its last limit bytes.
ErrorLogLines ReadErrorLogLines(const std::string& path, std::size_t limit = kErrorLogViewLimit);

// Splits text at each LF, dropping one CR before it; text after the last LF is
// a line too, and nothing after a final LF is.
std::vector<std::string> SplitErrorLogText(std::string_view text);

}  // namespace corvane
