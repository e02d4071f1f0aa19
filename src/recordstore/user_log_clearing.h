#pragma once

#include <functional>
#include <string>

namespace corvane {

// Empties the user log (the standard file when pathName is blank). The
// activity-log layer, which owns the user log, installs the real clearing;
// until it does, nothing happens.
void ClearUserLogFile(const std::string& pathName);
void SetClearUserLogFileHook(std::function<void(const std::string&)> hook);

}  // namespace corvane
