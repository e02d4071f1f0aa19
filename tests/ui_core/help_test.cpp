#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "ui_core/help.h"
#include "ui_core/msgbox/scripted_msgbox.h"
#include "support/services_scope.h"

using namespace corvane;

namespace {

struct HelpRecorder {
    struct Call {
        std::string target;
        int command, data;
    };
    std::vector<Call> calls;
    std::vector<std::string> started;
    std::vector<std::string> checked;
    std::map<std::string, std::string> registry;
    bool startSucceeds = true;

    ui::UiServices Services() {
        ui::UiServices s = ui::Services();
        s.openHelp = [this](const std::string& t, int c, int d) { calls.push_back({t, c, d}); };
        s.startProgram = [this](const std::string& cmd) {
            started.push_back(cmd);
            return startSucceeds;
        };
        s.readMachineRegistryString = [this](const std::string& key, const std::string& value)
            -> std::optional<std::string> {
            const auto it = registry.find(key + "|" + value);
            if (it == registry.end()) return std::nullopt;
            return it->second;
        };
        s.fileExists = [this](const std::string& path) {
            checked.push_back(path);
            return path.find("missing") == std::string::npos;
        };
        return s;
    }
};

}  // namespace

TEST(HTMLHelp, TargetsAndCommands) {
    HelpRecorder r;
    test::ServicesScope scope(r.Services());
    HTMLHelp help;
    help.ShowHelp("  /opt/Corvane.chm ", " main ");
    help.ShowHelp(" /opt/Corvane.chm ", "");
    help.ShowHelp("/opt/Corvane.chm", "", 42);
    ASSERT_EQ(r.calls.size(), 3u);
    EXPECT_EQ(r.calls[0].target, "/opt/Corvane.chm>main");
    EXPECT_EQ(r.calls[1].target, " /opt/Corvane.chm ");  // no pane: untrimmed
    EXPECT_EQ(r.calls[0].command, kHelpDisplayTopic);
    EXPECT_EQ(r.calls[2].command, kHelpContext);
    EXPECT_EQ(r.calls[2].data, 42);
}

TEST(ShowHelpFile, EmptyPathBecomesTheProgramsHelpFile) {
    HelpRecorder r;
    test::ServicesScope scope(r.Services());
    setenv("CORVANE_PROGRAM_DIR", "/tmp/corvane-missing", 1);
    std::string path;
    ShowHelpFile(path);
    unsetenv("CORVANE_PROGRAM_DIR");
    // The caller keeps the default path even though the file is not there.
    EXPECT_EQ(path, "/tmp/corvane-missing/Corvane.chm");
    EXPECT_TRUE(r.calls.empty());

    std::string given = "/srv/help/Corvane.chm";
    ShowHelpFile(given);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].target, "/srv/help/Corvane.chm");
    EXPECT_EQ(r.calls[0].command, kHelpDisplayTopic);
}

TEST(ShowSystemInformation, WithoutRegistryValuesItSaysSo) {
    HelpRecorder r;
    test::ServicesScope scope(r.Services());
    auto box = ScriptedMsgBox::Install();
    ShowSystemInformation([](const std::string&) { return true; });
    ASSERT_EQ(box->Count(), 1);
    EXPECT_EQ(box->Last().prompt, "System Information Is Unavailable At This Time");
    EXPECT_EQ(box->Last().buttons, kMsgOkOnly);
    EXPECT_EQ(box->Last().title, "Corvane");
    EXPECT_TRUE(r.started.empty());
}

TEST(ShowSystemInformation, LooksUpTheToolInOrder) {
    struct Case {
        std::map<std::string, std::string> registry;
        bool startSucceeds;
        std::vector<std::string> started;
        int messages;
        bool allowed = true;  // what the program rule answers
        std::vector<std::string> asked = {};
    };
    const std::string path = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH";
    const std::string location = "SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO";
    const Case cases[] = {
        // The path wins over the location; the program rule is asked about what starts.
        {{{path, "/usr/bin/sysinfo"}, {location, "/opt"}}, true, {"/usr/bin/sysinfo"}, 0, true, {"/usr/bin/sysinfo"}},
        {{{path, "/usr/bin/sysinfo"}}, false, {"/usr/bin/sysinfo"}, 1, true, {"/usr/bin/sysinfo"}},
        {{{location, "/opt/tools"}}, true, {"/opt/tools/MSINFO32.EXE"}, 0, true, {"/opt/tools/MSINFO32.EXE"}},
        {{{location, "/opt/missing"}}, true, {}, 1, true, {}},
        // A refused tool does not start, and the refusal is the rule's own message.
        {{{path, "/usr/bin/sysinfo"}}, true, {}, 0, false, {"/usr/bin/sysinfo"}},
        {{{location, "/opt/tools"}}, true, {}, 0, false, {"/opt/tools/MSINFO32.EXE"}},
    };
    for (const auto& c : cases) {
        HelpRecorder r;
        r.registry = c.registry;
        r.startSucceeds = c.startSucceeds;
        test::ServicesScope scope(r.Services());
        auto box = ScriptedMsgBox::Install();
        std::vector<std::string> asked;
        ShowSystemInformation([&](const std::string& program) {
            asked.push_back(program);
            return c.allowed;
        });
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(r.started, c.started);
        EXPECT_EQ(box->Count(), c.messages);
    }
}
