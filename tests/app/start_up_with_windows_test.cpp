#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/core/environment.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/set_up_record.h"
#include "platform/settings/settings_store.h"
#include "session/shell/start_up_with_windows.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RecordingAutostart : public AutostartEntry {
public:
    std::vector<std::string> writes;
    void Write(bool enabled, const std::string& path) override {
        writes.push_back((enabled ? "on " : "off ") + path);
    }
};

TEST(StartUpWithWindows, TheRunValueHoldsThePathOrEmptyTextAndTheAutostartFollows) {
    auto autostart = std::make_shared<RecordingAutostart>();
    SetAutostartEntry(autostart);
    const std::string path = ProgramPathName();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    SetStartUpWithWindows(true);
    EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Corvane", "(none)"), path);
    SetStartUpWithWindows(false);
    EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Corvane", "(none)"), "");
    EXPECT_EQ(autostart->writes, (std::vector<std::string>{"on " + path, "off " + path}));
    SetAutostartEntry(nullptr);
}

TEST(StartUpWithWindows, TheDesktopEntryIsWrittenOnlyOutsideTests) {
    test_support::TempFolder folder;
    ::setenv("XDG_CONFIG_HOME", folder.Path().c_str(), 1);
    const std::string file = folder / "autostart/corvane.desktop";
    auto entry = MakeXdgAutostartEntry();
    entry->Write(true, "/opt/corvane/corvane");
    EXPECT_FALSE(std::filesystem::exists(file));

    const std::string test = std::getenv("CORVANE_TEST") ? std::getenv("CORVANE_TEST") : "";
    ::unsetenv("CORVANE_TEST");
    entry->Write(false, "/opt/corvane/corvane");  // nothing to switch off yet
    EXPECT_FALSE(std::filesystem::exists(file));
    entry->Write(true, "/opt/corvane/corvane");
    std::stringstream on;
    on << std::ifstream(file).rdbuf();
    entry->Write(false, "/opt/corvane/corvane");
    std::stringstream off;
    off << std::ifstream(file).rdbuf();
    if (!test.empty()) ::setenv("CORVANE_TEST", test.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_NE(on.str().find(" /opt/corvane/corvane\n"), std::string::npos) << on.str();
    EXPECT_NE(on.str().find("Exec=/usr/bin/env CORVANE_PROGRAM_DIR="), std::string::npos) << on.str();
    EXPECT_NE(on.str().find("Hidden=false\n"), std::string::npos);
    EXPECT_NE(off.str().find("Hidden=true\n"), std::string::npos);
}

TEST(StartUpWithWindows, TheExecLineQuotesWhatTheDesktopEntryRulesReserve) {
    const struct {
        std::vector<std::string> argv;
        const char* exec;
    } rows[] = {
        {{"/usr/bin/env", "A=/plain/path", "/opt/c"}, "/usr/bin/env A=/plain/path /opt/c"},
        {{"/a b/c"}, "\"/a b/c\""},
        {{"A=x\"y"}, "\"A=x\\\"y\""},
        {{"A=$HOME`id`"}, "\"A=\\$HOME\\`id\\`\""},
        {{"A=back\\slash"}, "\"A=back\\\\slash\""},
        {{"A=it's"}, "\"A=it's\""},
        {{"A=50%u"}, "A=50%%u"},
        {{"A=5 %f"}, "\"A=5 %%f\""},
        {{"A=~/x;y|z&w<>(*?#)"}, "\"A=~/x;y|z&w<>(*?#)\""},
        {{""}, "\"\""},
    };
    for (const auto& row : rows) EXPECT_EQ(DesktopExecLine(row.argv), row.exec) << row.argv.front();
    EXPECT_EQ(EscapeKeyFileValue("a\\b\nc\td"), "a\\\\b\\nc\\td");
    EXPECT_EQ(EscapeKeyFileValue(" lead"), "\\slead");
}

// A copy of the environment's CORVANE_ variables, put back at the end.
class SavedVariables {
public:
    SavedVariables() {
        for (const char* name : kNames)
            if (const char* value = std::getenv(name)) saved_[name] = value;
    }
    ~SavedVariables() {
        for (const char* name : kNames) {
            const auto found = saved_.find(name);
            if (found == saved_.end()) ::unsetenv(name);
            else ::setenv(name, found->second.c_str(), 1);
        }
    }
    static constexpr const char* kNames[] = {"CORVANE_PROGRAM_DIR", "CORVANE_REGISTRY_DIR", "CORVANE_STATE_DIR",
                                             "CORVANE_RUNTIME_DIR", "CORVANE_COMPUTER_NAME", "CORVANE_TEST",
                                             "XDG_CONFIG_HOME"};

private:
    std::map<std::string, std::string> saved_;
};

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Written, then started by gio as the desktop starts it, with no CORVANE_
// variable in its environment: the program gets the folders this run uses.
TEST(StartUpWithWindows, AStartFromTheEntryOpensTheSameFolders) {
    if (std::system("command -v gio >/dev/null 2>&1") != 0) GTEST_SKIP() << "gio is not installed";
    SavedVariables saved;
    test_support::TempFolder folder;
    // Names with every character the Exec rules reserve, a field code's sign and a newline.
    const std::string odd = folder / "it's a \"data\" $HOME `x` back\\slash 100%u;&|<>~#*?()\nend";
    const std::string programFolder = odd + "/program";
    const std::string bin = odd + "/bin";
    for (const auto& dir : {programFolder, bin}) std::filesystem::create_directories(dir);
    const std::string report = folder / "report";
    const std::string program = bin + "/corvane";
    std::ofstream(program) << "#!/bin/sh\nenv -0 > " << Quoted(report + ".part") << "\nmv "
                           << Quoted(report + ".part") << " " << Quoted(report) << "\n";
    ::chmod(program.c_str(), 0700);
    ::setenv("CORVANE_PROGRAM_DIR", (programFolder + "/").c_str(), 1);
    ::setenv("CORVANE_REGISTRY_DIR", (odd + "/program/registry").c_str(), 1);
    ::setenv("CORVANE_STATE_DIR", (odd + "/state").c_str(), 1);
    ::setenv("CORVANE_RUNTIME_DIR", (odd + "/run").c_str(), 1);
    ::setenv("CORVANE_COMPUTER_NAME", "WS 7 \"lab\"", 1);
    ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    ::unsetenv("CORVANE_TEST");
    const std::string machineHive = registry_store::HivePath(HKEY_LOCAL_MACHINE);
    const std::string userHive = registry_store::HivePath(HKEY_CURRENT_USER);
    const std::string stateFolder = SetUpRecordFolder();
    MakeXdgAutostartEntry()->Write(true, program);
    const std::string entry = folder / "config/autostart/corvane.desktop";
    ASSERT_TRUE(std::filesystem::exists(entry));

    std::string command = "env";
    for (const char* name : SavedVariables::kNames) command += std::string(" -u ") + name;
    command += " gio launch " + Quoted(entry) + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!std::filesystem::exists(report) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(std::filesystem::exists(report)) << "the entry's program did not start";

    // What the started program sees, as this program would read it.
    std::ifstream in(report, std::ios::binary);
    std::map<std::string, std::string> seen;
    for (std::string variable; std::getline(in, variable, '\0');) {
        const auto equals = variable.find('=');
        if (equals != std::string::npos && variable.rfind("CORVANE_", 0) == 0)
            seen[variable.substr(0, equals)] = variable.substr(equals + 1);
    }
    for (const char* name : SavedVariables::kNames) ::unsetenv(name);
    for (const auto& [name, value] : seen) ::setenv(name.c_str(), value.c_str(), 1);
    EXPECT_EQ(environment::ProgramFolder(), programFolder);
    EXPECT_EQ(registry_store::HivePath(HKEY_LOCAL_MACHINE), machineHive);
    EXPECT_EQ(registry_store::HivePath(HKEY_CURRENT_USER), userHive);
    EXPECT_EQ(SetUpRecordFolder(), stateFolder);
    EXPECT_EQ(seen["CORVANE_RUNTIME_DIR"], odd + "/run");
    EXPECT_EQ(seen["CORVANE_COMPUTER_NAME"], "WS 7 \"lab\"");
    EXPECT_EQ(seen.count("CORVANE_TEST"), 0u);
}

}  // namespace
}  // namespace corvane::testing
