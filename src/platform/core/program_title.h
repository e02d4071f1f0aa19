#pragma once

namespace corvane {

// The program's fixed short name: it titles message boxes, names the error
// log and the system-log entries, and is the source of runtime errors.
inline constexpr const char* kProgramTitle = "Corvane";

}  // namespace corvane
