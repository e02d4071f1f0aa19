#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

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
    EXPECT_NE(on.str().find("Exec=\"/opt/corvane/corvane\"\n"), std::string::npos);
    EXPECT_NE(on.str().find("Hidden=false\n"), std::string::npos);
    EXPECT_NE(off.str().find("Hidden=true\n"), std::string::npos);
}

}  // namespace
}  // namespace corvane::testing
