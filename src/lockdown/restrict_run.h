#pragma once

#include <string>
#include <vector>

namespace corvane {

// The Restrict Run list: text values under the current user's
// Explorer policy key, subkey "RestrictRun", named "1", "2", ... each holding
// the file name of a program the policy still lets the user start.
inline constexpr const char* kRestrictRunKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\RestrictRun";

// The name for a new entry given the names in use: one above the highest name
// that is a decimal number within 32 bits (other names are skipped), "1" when
// there is none; never a name already in use. When the highest number is the
// largest 32-bit one, the lowest free number is taken instead.
std::string NextRestrictRunName(const std::vector<std::string>& namesInUse);

// The names of the list's values in the store's order; none when the key
// cannot be opened.
std::vector<std::string> RestrictRunNames();

// Writes fileName as a new entry under NextRestrictRunName, creating the key
// when it is missing; True when the write took.
bool AddRestrictRunEntry(const std::string& fileName);

}  // namespace corvane
