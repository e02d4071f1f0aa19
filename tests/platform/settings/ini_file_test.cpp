#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/settings/ini_file.h"
#include "platform/settings/ini_profile.h"
#include "platform/settings/settings_fixture.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

class IniTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        file_ = Path("settings.ini");
    }

    std::string Read(const char* section, const char* key, const char* def = "",
                     std::size_t room = profile::kWholeText) {
        std::optional<std::string_view> wanted;
        if (key) wanted = key;
        return profile::ReadString(section, wanted, def, room, file_);
    }

    INIFile Ini(const char* section, const char* key = "") {
        INIFile ini;
        ini.SetFilename(file_);
        ini.SetSection(section);
        ini.SetKey(key);
        return ini;
    }

    std::string file_;
};

// Typed by hand: duplicates, blanks, quotes, comments, LF and CRLF mixed.
const char* const kFixture =
    "; shared settings\r\n"
    "stray=before any section\r\n"
    "[Global Settings]\r\n"
    "Require Login = True \r\n"
    "require login=False\r\n"
    "Login Caption=\"  Welcome  \"\n"
    "Quoted='single'\r\n"
    "Half=\"open\r\n"
    "Bare\r\n"
    "\tLanguage\t=\t1\t\r\n"
    "; a comment = not a key\r\n"
    "\r\n"
    "[other]\n"
    "Key=other value\n"
    "[GLOBAL SETTINGS]\r\n"
    "Require Login=Ignored\r\n"
    "Late=only in the second copy\r\n";

TEST_F(IniTest, ReadsTheFirstOfDuplicatesTrimmedAndUnquoted) {
    WriteFile(file_, kFixture);
    struct Case { const char* section; const char* key; const char* expected; };
    const Case cases[] = {
        {"Global Settings", "Require Login", "True"},
        {"global settings", "REQUIRE LOGIN", "True"},
        {"Global Settings", "Login Caption", "  Welcome  "},
        {"Global Settings", "Quoted", "single"},
        {"Global Settings", "Half", "\"open"},
        {"Global Settings", "Bare", ""},
        {"Global Settings", "Language", "1"},
        {"Global Settings", "; a comment", "(default)"},
        {"Global Settings", "Late", "(default)"},
        {"Global Settings", "stray", "(default)"},
        {"Other", "key", "other value"},
        {"Missing", "Key", "(default)"},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.section, c.key, "(default)"), c.expected) << c.key;
    EXPECT_EQ(Read("Missing", "Key", "padded   "), "padded");
    EXPECT_EQ(profile::ReadString("Other", "Key", "", 255, Path("missing.ini")), "");
}

TEST_F(IniTest, ReadBuffersCutValuesAndLists) {
    WriteFile(file_, "[S]\r\nlong=" + std::string(300, 'v') + "\r\nalpha=1\r\nbeta=2\r\n[T]\r\n");
    EXPECT_EQ(Read("S", "long", "", 255).size(), 254u);
    EXPECT_EQ(Read("S", "long").size(), 300u);
    EXPECT_EQ(Read("S", nullptr), std::string("long\0alpha\0beta\0", 16));
    EXPECT_EQ(Read("S", nullptr, "", 12), std::string("long\0alpha", 10));
    EXPECT_EQ(profile::ReadString(std::nullopt, std::nullopt, "", profile::kWholeText, file_),
              std::string("S\0T\0", 4));

    // The accessor reads whole values; only the profile buffer cuts.
    INIFile ini = Ini("S", "long");
    EXPECT_EQ(ini.Value(), std::string(300, 'v'));
}

TEST_F(IniTest, WritesReplaceInPlaceAndKeepEveryOtherByte) {
    WriteFile(file_, kFixture);
    std::string expected = kFixture;
    ASSERT_TRUE(profile::WriteString("global settings", "REQUIRE LOGIN", "False", file_));
    expected.replace(expected.find("Require Login = True "), 21, "Require Login=False");
    EXPECT_EQ(ReadFile(file_), expected);

    // A new key goes after the section's last line, before the blank line.
    ASSERT_TRUE(profile::WriteString("Global Settings", "Data Path", "/srv/corvane", file_));
    expected.insert(expected.find("\r\n\r\n[other]") + 2, "Data Path=/srv/corvane\r\n");
    EXPECT_EQ(ReadFile(file_), expected);

    // A key of an LF-only section is replaced with the line's own ending.
    ASSERT_TRUE(profile::WriteString("Other", "Key", "changed", file_));
    expected.replace(expected.find("Key=other value\n"), 16, "Key=changed\n");
    EXPECT_EQ(ReadFile(file_), expected);

    // Writing what is already there changes nothing.
    ASSERT_TRUE(profile::WriteString("Other", "key", "changed", file_));
    EXPECT_EQ(ReadFile(file_), expected);
}

TEST_F(IniTest, NewSectionsGoAtTheEndInCrLf) {
    WriteFile(file_, "[A]\nx=1");  // no line end on the last line
    ASSERT_TRUE(profile::WriteString("A", "y", "2", file_));
    EXPECT_EQ(ReadFile(file_), "[A]\nx=1\r\ny=2\r\n");
    ASSERT_TRUE(profile::WriteString("B", "z", "caf\xC3\xA9", file_));
    EXPECT_EQ(ReadFile(file_), "[A]\nx=1\r\ny=2\r\n[B]\r\nz=caf\xE9\r\n");
    EXPECT_EQ(Read("b", "Z"), "caf\xC3\xA9");

    ASSERT_TRUE(profile::WriteString("New", "k", "v", Path("fresh.ini")));
    EXPECT_EQ(ReadFile(Path("fresh.ini")), "[New]\r\nk=v\r\n");
}

TEST_F(IniTest, DeletesKeysAndSections) {
    WriteFile(file_, kFixture);
    ASSERT_TRUE(profile::WriteString("Global Settings", "require login", std::nullopt, file_));
    EXPECT_EQ(Read("Global Settings", "Require Login", "gone"), "gone");
    EXPECT_NE(ReadFile(file_).find("Late=only"), std::string::npos);  // the second copy is untouched...
    ASSERT_TRUE(profile::WriteString("Global Settings", std::nullopt, std::nullopt, file_));
    // ...until the section goes, with every copy of it.
    EXPECT_EQ(ReadFile(file_), "; shared settings\r\nstray=before any section\r\n[other]\nKey=other value\n");

    // Removing what is not there succeeds and creates no file.
    EXPECT_TRUE(profile::WriteString("X", "y", std::nullopt, Path("none.ini")));
    EXPECT_TRUE(profile::WriteString("X", std::nullopt, std::nullopt, Path("none.ini")));
    EXPECT_FALSE(std::filesystem::exists(Path("none.ini")));
}

TEST_F(IniTest, RefusesTextThatWouldBreakTheFile) {
    WriteFile(file_, "[S]\r\na=1\r\n");
    const std::string before = ReadFile(file_);
    EXPECT_FALSE(profile::WriteString("S", "a", "line1\r\n[Injected]", file_));
    EXPECT_FALSE(profile::WriteString("S", "b=c", "1", file_));
    EXPECT_FALSE(profile::WriteString("S]x", "a", "1", file_));
    EXPECT_FALSE(profile::WriteString("S", "  ", "1", file_));
    EXPECT_FALSE(profile::WriteString("S", "a", "1", ""));
    EXPECT_EQ(ReadFile(file_), before);
}

TEST_F(IniTest, AccessorReportsWritesAndStripsNuls) {
    INIFile fresh;
    EXPECT_FALSE(fresh.Success());
    EXPECT_EQ(fresh.LastReturnCode(), 0);

    INIFile ini = Ini("Global Settings", "Login Caption");
    std::string value("Wel\0come\0", 9);
    ini.SetValue(value);
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(value, "Welcome");
    EXPECT_EQ(ini.Value(), "Welcome");

    // A read leaves the result of the last write alone.
    INIFile lost = Ini("S", "k");
    lost.SetFilename(Path("no/such/folder/x.ini"));
    lost.SetValue(std::string("v"));
    EXPECT_FALSE(lost.Success());
    lost.SetDefault("fallback");
    EXPECT_EQ(lost.Value(), "fallback");
    EXPECT_FALSE(lost.Success());

    ini.SetKey("missing");
    EXPECT_EQ(ini.Value(), "");
    ini.DeleteKey();
    EXPECT_TRUE(ini.Success());
}

TEST_F(IniTest, SectionAssignmentRemovesTheSectionOrNothing) {
    WriteFile(file_, kFixture);
    const std::string before = ReadFile(file_);
    INIFile fresh;
    fresh.SetFilename(file_);
    fresh.SetINISection("anything");
    EXPECT_EQ(ReadFile(file_), before);

    INIFile global = Ini("Global Settings");
    global.SetINISection("ignored text");
    EXPECT_TRUE(global.Success());
    EXPECT_EQ(ReadFile(file_).find("Global Settings"), std::string::npos);
    EXPECT_EQ(ReadFile(file_).find("GLOBAL SETTINGS"), std::string::npos);
}

TEST_F(IniTest, EnumeratesKeysAndSectionsInFileOrder) {
    WriteFile(file_, "[One]\r\na=1\r\nb=2\r\nc=3\r\nB=dup\r\n[Two]\r\n[]\r\n");
    std::vector<std::string> names;
    std::int32_t count = -1;
    Ini("one").EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c"}));
    Ini("Missing").EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
    Ini("").EnumerateAllSections(names, count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(names, (std::vector<std::string>{"One", "Two"}));
}

// Two processes saving different keys of one shared file at once keep both.
TEST_F(IniTest, ConcurrentWritersKeepEveryKey) {
    constexpr int kKeys = 30;
    std::vector<pid_t> children;
    for (int w = 0; w < 2; ++w) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            bool ok = true;
            for (int i = 0; i < kKeys; ++i)
                ok = profile::WriteString("Global Settings", "W" + std::to_string(w) + "K" + std::to_string(i),
                                          std::to_string(i), file_) && ok;
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_EQ(status, 0);
    }
    std::vector<std::string> names;
    std::int32_t count = 0;
    Ini("Global Settings").EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 2 * kKeys);
}

}  // namespace
