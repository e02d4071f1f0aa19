#include "platform/system/shell.h"

#include <sys/stat.h>
#include <unistd.h>

#include <exception>

#include "platform/core/environment.h"
#include "platform/system/file_helpers.h"
#include "platform/system/process_spawn.h"
#include "platform/core/raised_error.h"
#include "platform/core/text.h"

namespace corvane {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A program named without a folder is looked up on PATH.
bool IsProgram(const std::string& native) {
    if (native.find('/') != std::string::npos) return IsExecutableFile(native);
    const std::string path = environment::Variable("PATH");
    std::size_t start = 0;
    while (start <= path.size()) {
        const auto end = std::min(path.find(':', start), path.size());
        const std::string dir = path.substr(start, end - start);
        if (IsExecutableFile((dir.empty() ? std::string(".") : dir) + "/" + native)) return true;
        start = end + 1;
    }
    return false;
}

// Starts the path with its parameters, or opens it when it is a document or
// folder; 0 when it is neither or the start fails, kDesktopOpenRefused when
// the document's program was refused.
int ShellOpen(const std::string& path, const std::string& parameters, const std::string& folder) {
    const std::string native = NativePath(path);
    if (native.empty()) return 0;
    if (IsProgram(native)) {
        std::vector<std::string> argv{native};
        for (auto& a : SplitArguments(parameters)) argv.push_back(std::move(a));
        return SpawnProcess(argv, NativePath(folder));
    }
    struct stat st {};
    if (stat(native.c_str(), &st) == 0) return OpenWithDesktop(native, NativePath(folder));
    return 0;
}

// A plain command line: a quoted program, or the shortest run of words up to
// a space that names a program file (so an unquoted "/opt/my app/run" works),
// else the first word; the rest are arguments.
int PlainStart(const std::string& commandLine) {
    std::string_view text = text::TrimSpaces(commandLine);
    if (text.empty()) return 0;
    if (text.front() != '"') {
        for (std::size_t space = text.find(' '); space != std::string_view::npos;
             space = text.find(' ', space + 1)) {
            const std::string candidate = NativePath(text.substr(0, space));
            if (candidate.find('/') != std::string::npos && IsExecutableFile(candidate)) {
                std::vector<std::string> argv{candidate};
                for (auto& a : SplitArguments(text.substr(space + 1))) argv.push_back(std::move(a));
                return SpawnProcess(argv);
            }
        }
    }
    std::vector<std::string> argv = SplitArguments(text);
    if (argv.empty()) return 0;
    argv.front() = NativePath(argv.front());
    return SpawnProcess(argv);
}

}  // namespace

std::vector<std::string> SplitArguments(std::string_view commandText) {
    std::vector<std::string> args;
    std::string current;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t i = 0; i < commandText.size(); ++i) {
        const char c = commandText[i];
        if (c == '"') {
            if (quoted && i + 1 < commandText.size() && commandText[i + 1] == '"') {
                current += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
            inWord = true;
        } else if (IsBlank(c) && !quoted) {
            if (inWord) args.push_back(std::move(current));
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inWord) args.push_back(std::move(current));
    return args;
}

bool Shell::Execute(std::string& program, std::int32_t /*showCmd*/, const std::string& workDir,
                    std::int32_t& taskId) {
    try {
        // c: the 1-based position where the path ends.
        std::size_t c = 0;
        if (!program.empty() && program.front() == '"') {
            const auto d = program.find('"', 1);
            if (d != std::string::npos) {
                program = program.substr(1, d - 1) + program.substr(d + 1);
                c = d;  // one past the quoted part in the changed text
            }
        } else {
            const auto space = program.find(' ');
            c = space == std::string::npos ? 0 : space + 1;
        }
        if (c == 0) c = program.size() + 1;
        const std::string path = program.substr(0, c - 1);
        const std::string rest = c - 1 < program.size() ? program.substr(c - 1) : std::string();
        const auto firstWord = rest.find_first_not_of(' ');
        const std::string params = firstWord == std::string::npos ? std::string() : rest.substr(firstWord);

        std::string folder = workDir;
        if (folder.empty()) {
            const auto f = path.find_last_of("/\\");
            if (f != std::string::npos)
                folder = (f == 0 || path[f - 1] == ':') ? path.substr(0, f + 1) : path.substr(0, f);
        }

        taskId = ShellOpen(path, params, folder);
        if (taskId == 0) taskId = PlainStart(program);
        // A document whose program was refused is not tried as a command line.
        if (taskId == kDesktopOpenRefused) taskId = 0;
        return taskId != 0;
    } catch (const std::exception&) {
        return false;
    }
}

bool Shell::InvokeEXE(const std::string& /*strCaption*/, const std::string& strProgEXE,
                      const std::string& strCommand, std::int32_t& taskId) {
    std::string arg = strCommand;
    try {
        const std::string exe = text::Trim(strProgEXE);
        if (exe.empty()) return false;
        if (arg.find(' ') != std::string::npos) arg = "\"" + arg + "\"";
        if (!File().FileExists(exe)) return false;
        std::string commandText = text::Trim(exe + " " + arg);
        return Execute(commandText, 1, {}, taskId);
    } catch (const std::exception& e) {
        const RaisedError inner = ToRaisedError(e, "Shell.InvokeEXE");
        throw RaisedError(vbObjectError + 1, "Shell.InvokeEXE",
                          "External Program run error\r\n\r\n(" + std::to_string(inner.Number()) +
                              ":" + inner.Description() + ")\r\n\r\n" + strProgEXE + " " + arg);
    }
}

void Shell::InvokeIE(const std::string& strURL) {
    if (strURL.empty()) return;
    OpenWithDesktop(strURL);
}

}  // namespace corvane
