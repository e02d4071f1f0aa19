#pragma once

#include <array>
#include <string>

namespace corvane {

// One line of the error-log file as the viewer shows it: error (the bracketed
// number), description, source, place and time stamp, each trimmed of spaces.
struct ErrorLogRow {
    std::array<std::string, 5> fields;
    // How many comma-separated pieces the line had (0 for an empty line).
    int pieces = 0;
};

// The captions the details window and the quick-view card give the five
// fields, in field order.
inline constexpr std::array<const char*, 5> kErrorLogFieldCaptions{"Error Number:", "Description:", "Source:",
                                                                   "Location:", "Time Stamp:"};

// Splits a line of the file. Nothing in the file is escaped, so a description
// may hold commas: the first piece is the error, the last three are source,
// place and time stamp, and whatever lies between is the description as it
// was written. A line of fewer than five pieces (the second half of a
// description that held a line break, say) fills the fields in order.
ErrorLogRow SplitErrorLogLine(const std::string& line);

// "Error <1> <2> Occured in <3>, Location: <4> at <5>".
std::string ErrorLogRowToolTip(const ErrorLogRow& row);

}  // namespace corvane
