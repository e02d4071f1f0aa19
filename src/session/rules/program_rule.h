#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// Whether a user of one access level may use an item of another: level 0
// everything, 1 items of levels 1 and 2, 2 items of level 2, equal levels
// each other; an item of level 3 only users of level 0 or whose OtherAccess
// names the same level (letter case counting when caseSensitive).
bool AccessLevelAdmits(std::int32_t userLevel, const std::string& userOtherAccess, std::int32_t itemLevel,
                       const std::string& itemOtherAccess, bool caseSensitive);

// The program rule: whether the login may start the program path. With
// "Require Login" off everything is allowed; an administrator may start
// anything; otherwise the path must be in the catalogue (trimmed, letter
// case ignored) and assigned to the login exactly as given, and, when the
// user's access levels are enforced, the levels must admit it (named levels
// compared exactly). Errors go to HandleError under
// "ProFunctions.IsProgramAllowable" and refuse whatever the answer (a retry
// runs the step again).
bool IsProgramAllowable(const std::string& login, const std::string& programPath);

// After a catalogue program's path changed: every assignment whose path,
// trimmed, equals oldPath trimmed (letter case counts) gets newPath as
// given. True when at least one changed. Errors go to HandleError under
// "Functions.UpdateUsersPrograms".
bool UpdateUsersPrograms(const std::string& oldPath, const std::string& newPath);

}  // namespace corvane
