#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/system/process.h"
#include "platform/system/process_spawn.h"
#include "platform/core/raised_error.h"
#include "platform/system/shell.h"
#include "support/scratch_desktop.h"
#include "support/temp_folder.h"

using namespace corvane;
using corvane::test_support::DesktopOpenCheckScope;
using corvane::test_support::ScratchDesktop;
using corvane::test_support::TempFolder;

namespace {

struct Start {
    std::vector<std::string> argv;
    std::string folder;
};

// Records what would start instead of starting it; answers a made-up id.
class RecordedStarts {
public:
    RecordedStarts() {
        SetSpawnFunction([this](const std::vector<std::string>& argv, const std::string& folder) {
            starts.push_back({argv, folder});
            return refuse ? 0 : 4242;
        });
    }
    ~RecordedStarts() { SetSpawnFunction(nullptr); }
    std::vector<Start> starts;
    bool refuse = false;
};

std::string Program(const TempFolder& dir, const std::string& name) {
    const std::string path = dir.Write(name, "#!/bin/sh\nexit 0\n");
    chmod(path.c_str(), 0755);
    return path;
}

}  // namespace

TEST(SplitArguments, BlanksSeparateQuotesGroup) {
    struct Case { const char* text; std::vector<std::string> args; };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"notepad readme.txt", {"notepad", "readme.txt"}},
        {"  a \t b  ", {"a", "b"}},
        {"\"C:\\Program Files\\x.exe\" /x", {"C:\\Program Files\\x.exe", "/x"}},
        {"a\"b c\"d", {"ab cd"}},
        {"\"\"", {""}},
        {"say \"he said \"\"hi\"\"\"", {"say", "he said \"hi\""}},
        {"C:\\dir\\ next", {"C:\\dir\\", "next"}},
        {"\"unclosed quote", {"unclosed quote"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitArguments(c.text), c.args) << c.text;
}

TEST(Shell, QuotedPathLosesItsQuotesAndRunsInItsFolder) {
    TempFolder dir;
    const std::string exe = Program(dir, "my app");
    RecordedStarts recorded;
    std::string program = "\"" + exe + "\" /x \"two words\"";
    std::int32_t task = 0;
    EXPECT_TRUE(Shell().Execute(program, 1, "", task));
    EXPECT_EQ(task, 4242);
    EXPECT_EQ(program, exe + " /x \"two words\"");
    ASSERT_EQ(recorded.starts.size(), 1u);
    EXPECT_EQ(recorded.starts[0].argv, (std::vector<std::string>{exe, "/x", "two words"}));
    EXPECT_EQ(recorded.starts[0].folder, dir.Path());
}

TEST(Shell, SplitsAtTheFirstSpaceAndFallsBackToAPlainStart) {
    TempFolder dir;
    RecordedStarts recorded;
    std::int32_t task = 0;

    // A name looked up on PATH runs in the current folder.
    std::string program = "sh -c true";
    EXPECT_TRUE(Shell().Execute(program, 1, "", task));
    EXPECT_EQ(recorded.starts.back().argv, (std::vector<std::string>{"sh", "-c", "true"}));
    EXPECT_EQ(recorded.starts.back().folder, "");

    // An unquoted path with a space: the shell's split finds nothing, the
    // plain start finds the program file.
    const std::string exe = Program(dir, "my app");
    recorded.starts.clear();
    program = exe + " --flag";
    EXPECT_TRUE(Shell().Execute(program, 1, "", task));
    ASSERT_EQ(recorded.starts.size(), 1u);
    EXPECT_EQ(recorded.starts[0].argv, (std::vector<std::string>{exe, "--flag"}));

    // A given working folder wins.
    const std::string single = Program(dir, "tool");
    program = single;
    EXPECT_TRUE(Shell().Execute(program, 1, "/tmp", task));
    EXPECT_EQ(recorded.starts.back().folder, "/tmp");
}

TEST(Shell, DocumentsOpenWithTheDesktopsProgramAsOneArgument) {
    TempFolder dir;
    ScratchDesktop desktop;
    const std::string editor = desktop.Editor();
    const std::string browser = desktop.Program("browser");
    desktop.Application("browser.desktop", browser + " %u");
    desktop.Associate("x-scheme-handler/https", "browser.desktop");
    DesktopOpenCheckScope check([](const std::string& program) { return !program.empty(); });
    const std::string doc = dir.Write("notes; rm -rf x.txt", "hello");
    RecordedStarts recorded;
    std::string program = "\"" + doc + "\"";
    std::int32_t task = 0;
    EXPECT_TRUE(Shell().Execute(program, 1, "", task));
    ASSERT_EQ(recorded.starts.size(), 1u);
    EXPECT_EQ(recorded.starts[0].argv, (std::vector<std::string>{editor, doc}));

    recorded.starts.clear();
    Shell().InvokeIE("https://example.org/a b");
    Shell().InvokeIE("");
    ASSERT_EQ(recorded.starts.size(), 1u);
    EXPECT_EQ(recorded.starts[0].argv,
              (std::vector<std::string>{browser, "https://example.org/a b"}));
}

TEST(Shell, ADocumentWhoseProgramIsRefusedIsNotTriedAsACommand) {
    TempFolder dir;
    ScratchDesktop desktop;
    desktop.Editor();
    DesktopOpenCheckScope check([](const std::string&) { return false; });
    const std::string doc = dir.Write("notes.txt", "hello");
    RecordedStarts recorded;
    std::string program = doc;
    std::int32_t task = 99;
    EXPECT_FALSE(Shell().Execute(program, 1, "", task));
    EXPECT_EQ(task, 0);
    EXPECT_TRUE(recorded.starts.empty());
}

TEST(Shell, MissingProgramsReportFalse) {
    std::int32_t task = 99;
    std::string program = "/no/such/program --x";
    EXPECT_FALSE(Shell().Execute(program, 1, "", task));
    EXPECT_EQ(task, 0);
    program = "no-such-program-anywhere";
    EXPECT_FALSE(Shell().Execute(program, 1, "", task));
    program = "";
    EXPECT_FALSE(Shell().Execute(program, 1, "", task));

    TempFolder dir;
    const std::string notExecutable = dir.Write("data.bin", "");
    EXPECT_FALSE(Shell().InvokeEXE("", "  ", "x", task));
    EXPECT_FALSE(Shell().InvokeEXE("", dir / "missing", "x", task));

    RecordedStarts recorded;
    recorded.refuse = true;  // the opener cannot start
    program = notExecutable;
    EXPECT_FALSE(Shell().Execute(program, 1, "", task));
}

TEST(Shell, InvokeExeQuotesAnArgumentWithASpace) {
    TempFolder dir;
    const std::string exe = Program(dir, "viewer");
    RecordedStarts recorded;
    std::int32_t task = 0;
    EXPECT_TRUE(Shell().InvokeEXE("ignored", " " + exe + " ", "my file.txt", task));
    EXPECT_EQ(task, 4242);
    ASSERT_FALSE(recorded.starts.empty());
    EXPECT_EQ(recorded.starts[0].argv, (std::vector<std::string>{exe, "my file.txt"}));
}

TEST(Shell, StartsARealProgramWithItsArguments) {
    TempFolder dir;
    const std::string marker = dir / "ran";
    std::string program = "touch \"" + marker + "\"";
    std::int32_t task = 0;
    ASSERT_TRUE(Shell().Execute(program, 1, "", task));
    EXPECT_GT(task, 0);
    const Process p;
    for (int i = 0; i < 500 && p.IsProcessRunningByID(task); ++i) usleep(10000);
    EXPECT_FALSE(p.IsProcessRunningByID(task));  // ended and collected, not a zombie
    struct stat st {};
    EXPECT_EQ(stat(marker.c_str(), &st), 0);
}
