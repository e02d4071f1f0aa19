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

// Opens a document, folder or address with the desktop's opener (xdg-open),
// the target passed as one argument. Returns the opener's id or 0.
int OpenWithDesktop(const std::string& target, const std::string& workDir = {});

// Collects the exit status of the programs started here that have ended, so
// they do not linger as zombies.
void ReapFinishedChildren();

// Tests replace the real start (nothing is then started); an empty function
// restores it.
using SpawnFunction = std::function<int(const std::vector<std::string>& argv,
                                        const std::string& workDir)>;
void SetSpawnFunction(SpawnFunction spawn);

}  // namespace corvane
