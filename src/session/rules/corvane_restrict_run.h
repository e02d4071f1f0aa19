#pragma once

#include <array>

namespace corvane {

// The program's own executables, in the order they join the Restrict Run
// list.
inline constexpr std::array<const char*, 4> kCorvaneExecutables = {"CorvaneEnt.exe", "CorvanePro.exe",
                                                                   "CorvaneStd.exe", "CorvaneLte.exe"};

// Adds to the Restrict Run list each of the program's executables that no
// entry names (the whole entry, letter case ignored), under a fresh number;
// existing entries are never changed. Written whether or not the policy is
// on. Errors go to HandleError under "Functions.CorvaneToRestrictRun".
void CorvaneToRestrictRun();

}  // namespace corvane
