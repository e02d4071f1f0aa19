#pragma once

#include <string>

namespace corvane::environment {

// Everything the program finds outside its data folder can be moved by an
// environment variable, so that tests and several simulated workstations run
// side by side on one machine:
//   CORVANE_PROGRAM_DIR    the program folder (default: the executable's folder)
//   CORVANE_COMPUTER_NAME  this workstation's name (default: the host name)

// The program folder, without a trailing separator.
std::string ProgramFolder();

// The name of this computer; "" when the system cannot tell.
std::string ComputerName();

// The value of an environment variable, or "" when unset.
std::string Variable(const char* name);

}  // namespace corvane::environment

namespace corvane {
// This computer's name as the operating system reports it; "" on failure.
inline std::string GetLocalComputerName() { return environment::ComputerName(); }
}  // namespace corvane
