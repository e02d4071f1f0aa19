#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Splits a command text into arguments: blanks (spaces, Tabs) separate,
// double quotes group and are removed, "" inside quotes gives one quote;
// backslashes are ordinary characters (they separate folders).
std::vector<std::string> SplitArguments(std::string_view commandText);

// Starts programs and documents. Programs run from an argument list, never
// through a shell; documents, folders and addresses open with the desktop's
// opener. The show-window code has no meaning on Linux and is ignored.
class Shell {
public:
    // Starts the program or document a command text names. A leading quoted
    // path loses its quotes in program itself (the caller sees the change);
    // otherwise the path ends at the first space and the rest are parameters.
    // Without workDir the program runs in its own folder. When that start
    // fails the whole text is tried as a plain command line. taskId receives
    // the new process id; True when something was started. Never raises.
    bool Execute(std::string& program, std::int32_t showCmd, const std::string& workDir,
                 std::int32_t& taskId);

    // Starts the program file with one argument (quoted when it holds a
    // space). False, without error, when the file is missing or the name
    // blank. An unexpected failure raises vbObjectError + 1 ("Shell.InvokeEXE").
    bool InvokeEXE(const std::string& strCaption, const std::string& strProgEXE,
                   const std::string& strCommand, std::int32_t& taskId);

    // Opens the address in the desktop's web browser.
    void InvokeIE(const std::string& strURL);
};

}  // namespace corvane
