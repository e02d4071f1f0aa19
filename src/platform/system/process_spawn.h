#pragma once

#include <functional>
#include <string>
#include <vector>

namespace corvane {

// Starts a program with an argument list (argv[0] a path, or a name looked up
// on PATH) in the given folder ("" for the current one); never through a
// shell. Returns the new process id, 0 when it could not be started (missing
// program, no permission, missing folder).
int SpawnProcess(const std::vector<std::string>& argv, const std::string& workDir = {});

// A program file's path as SpawnProcess takes it to mean that very file: a
// path without a folder names the file in the working folder (where a file
// test finds it), not a program of that name on PATH.
std::string ProgramFilePath(const std::string& path);

// Whether the path names a regular file this account may run.
bool IsExecutableFile(const std::string& path);

// Opens a document, folder or address with the program the desktop
// associates with it, started directly with the target as one argument once
// the open check allowed that program. Returns the program's id, 0 when it
// could not be started, kDesktopOpenRefused when the check refused (the
// check told the user).
inline constexpr int kDesktopOpenRefused = -1;
int OpenWithDesktop(const std::string& target, const std::string& workDir = {});

// Asked before a document opens whether the program may start: its full
// path, "" when the desktop names none that can be started (the check
// refuses and tells that too). With no check set every open is refused; an
// empty function restores that.
using DesktopOpenCheck = std::function<bool(const std::string& program)>;
void SetDesktopOpenCheck(DesktopOpenCheck check);

// Collects the exit status of the programs started here that have ended, so
// they do not linger as zombies.
void ReapFinishedChildren();

// Tests replace the real start (nothing is then started); an empty function
// restores it.
using SpawnFunction = std::function<int(const std::vector<std::string>& argv,
                                        const std::string& workDir)>;
void SetSpawnFunction(SpawnFunction spawn);

}  // namespace corvane
