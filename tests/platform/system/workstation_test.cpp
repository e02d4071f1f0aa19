#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "platform/system/fake_workstation_switches.h"
#include "platform/system/windows_version.h"
#include "platform/system/workstation.h"

using namespace corvane;

TEST(PadText, CutsPadsAndEndsInGapFillCharacters) {
    struct Case { const char* text; int width; const char* fill; int gap; const char* result; };
    const Case cases[] = {
        {"Hello", 8, " ", 2, "Hello   "},
        {"Wonderland", 8, " ", 2, "Wonder  "},
        {"Wonderland", 8, "", 0, "Wonderla"},
        {"Hi", 6, ".", 0, "Hi...."},
        {"Hi", 6, ".", 3, "Hi...."},
        {"Hello", 4, "-", 1, "Hel-"},
        {"caf\u00E9s", 4, " ", 0, "caf\u00E9"},   // characters, not UTF-8 bytes
        {"Hello", 0, " ", 0, ""},
        {"Hello", 3, "*", 9, "***"},               // gap wider than the width: all fill
        {"Hello", -4, " ", 2, ""},
        {"Hello", 6, " ", -2, "Hello "},
    };
    for (const auto& c : cases) {
        std::string fill = c.fill;
        EXPECT_EQ(PadText(c.text, static_cast<std::int16_t>(c.width), fill,
                          static_cast<std::int16_t>(c.gap)),
                  c.result)
            << c.text << " " << c.width << " " << c.gap;
    }
}

TEST(PadText, BlankFillBecomesOneSpaceInTheCallersVariable) {
    for (const char* blank : {"", "   "}) {
        std::string fill = blank;
        EXPECT_EQ(PadText("ab", 4, fill, 1), "ab  ");
        EXPECT_EQ(fill, " ");
    }
    std::string kept = "x";
    PadText("ab", 4, kept, 1);
    EXPECT_EQ(kept, "x");
}

TEST(RepeatText, JoinsCountCopies) {
    EXPECT_EQ(RepeatText(0, "ab"), "");
    EXPECT_EQ(RepeatText(-3, "ab"), "");
    EXPECT_EQ(RepeatText(3, "ab"), "ababab");
}

TEST(OpenForms, LoadedTestAndUnloadAllKeepTheMainWindow) {
    std::vector<std::string> loaded{"frmMain", "frmLogin", "frmConsole", "frmThrows", "frmLogin"};
    std::vector<std::string> unloaded;
    SetFormSource({[&] { return loaded; },
                   [&](const std::string& name) {
                       unloaded.push_back(name);
                       if (name == "frmThrows") throw std::runtime_error("refuses");
                       loaded.erase(std::remove(loaded.begin(), loaded.end(), name), loaded.end());
                   },
                   // Every dialog and popup ends before the first window goes.
                   [&] { unloaded.push_back("dialogs"); }});

    EXPECT_TRUE(IsFormLoaded("FRMMAIN"));
    EXPECT_TRUE(IsFormLoaded("frmconsole"));
    EXPECT_FALSE(IsFormLoaded("frmOptions"));

    UnloadAllForms(true);
    EXPECT_TRUE(unloaded.empty());

    UnloadAllForms(false);
    EXPECT_EQ(unloaded, (std::vector<std::string>{"dialogs", "frmLogin", "frmConsole", "frmThrows"}));
    EXPECT_EQ(loaded, (std::vector<std::string>{"frmMain", "frmThrows"}));

    SetFormSource({});
    EXPECT_FALSE(IsFormLoaded("frmMain"));  // no window layer: nothing is loaded
    UnloadAllForms(false);
}

TEST(WorkstationSwitches, GoThroughTheInstalledSwitches) {
    auto fake = std::make_shared<test_support::FakeWorkstationSwitches>();
    fake->shutdownResult = 7;
    SetWorkstationSwitches(fake);
    HideDesktop();
    HideTaskbar();
    RemoveStartButton();
    ShowTaskbar();
    ShowDesktop();
    EXPECT_EQ(ShutdownComputer(), 7);
    SetWorkstationSwitches(nullptr);
    EXPECT_EQ(fake->calls,
              (std::vector<std::string>{"HideDesktop", "HideTaskbar", "RemoveStartButton",
                                        "ShowTaskbar", "ShowDesktop", "EnableShutdownPrivilege",
                                        "Shutdown"}));
}

TEST(WorkstationSwitches, LinuxPowersOffOnlyWhenConfiguredAndNeverUnderTest) {
    int requests = 0;
    auto switches = MakeLinuxWorkstationSwitches([&] {
        ++requests;
        return true;
    });
    const std::string test = std::getenv("CORVANE_TEST") ? std::getenv("CORVANE_TEST") : "";

    unsetenv("CORVANE_ALLOW_SHUTDOWN");
    unsetenv("CORVANE_TEST");
    EXPECT_EQ(switches->Shutdown(), 0);
    setenv("CORVANE_ALLOW_SHUTDOWN", "yes", 1);
    EXPECT_EQ(switches->Shutdown(), 0);
    setenv("CORVANE_ALLOW_SHUTDOWN", "1", 1);
    setenv("CORVANE_TEST", "1", 1);
    EXPECT_EQ(switches->Shutdown(), 0);
    EXPECT_EQ(requests, 0);
    unsetenv("CORVANE_TEST");
    EXPECT_EQ(switches->Shutdown(), 1);  // the recording request above, not the machine
    EXPECT_EQ(requests, 1);

    unsetenv("CORVANE_ALLOW_SHUTDOWN");
    setenv("CORVANE_TEST", test.empty() ? "1" : test.c_str(), 1);
}

TEST(WinverInfo, AnswersTheNtFamily) {
    const WinverInfo info;
    std::int32_t code = -1;
    EXPECT_EQ(info.GetOSName(code), "Windows NT");
    EXPECT_EQ(code, 2);
    EXPECT_EQ(info.WindowsVersion(), 2);
    EXPECT_EQ(info.AdditionalInfo().size(), 128u);
    EXPECT_GE(info.MajorVersion(), 2);
    EXPECT_EQ(GetWindowsDrive(), "/");
}
