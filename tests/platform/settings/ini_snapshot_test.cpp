#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/settings/global_settings.h"
#include "platform/settings/ini_profile.h"
#include "platform/settings/ini_snapshot.h"
#include "platform/settings/settings_fixture.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

class IniSnapshotTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        ini_ = Path("global.ini");
    }
    // A file of that size holding text at its start, the rest a hole.
    void Sized(const std::string& text, off_t size) const {
        WriteFile(ini_, text);
        ASSERT_EQ(::truncate(ini_.c_str(), size), 0);
    }
    std::string ini_;
};

// Bytes this process has read so far (every read(2), cached or not).
long long BytesRead() {
    std::ifstream io("/proc/self/io");
    std::string name;
    long long value = 0;
    while (io >> name >> value)
        if (name == "rchar:") return value;
    return -1;
}

TEST_F(IniSnapshotTest, WhatOneReadFinds) {
    using State = profile::Snapshot::State;
    struct Row {
        const char* name;
        std::function<void()> prepare;
        State state;
        const char* problem;
        const char* value;  // what the profile functions read for the key
    } const rows[] = {
        {"a file", [&] { WriteFile(ini_, "[A]\r\nk=1\r\n"); }, State::kRead, "", "1"},
        {"an empty file", [&] { WriteFile(ini_, ""); }, State::kRead, "", "none"},
        {"no file", [] {}, State::kMissing, "is missing", "none"},
        {"a folder", [&] { std::filesystem::create_directory(ini_); }, State::kUnreadable, "is not a file", "none"},
        {"exactly 1 MiB", [&] { Sized("[A]\r\nk=1\r\n", off_t{1} << 20); }, State::kRead, "", "1"},
        {"one byte above 1 MiB", [&] { Sized("[A]\r\nk=1\r\n", (off_t{1} << 20) + 1); }, State::kUnreadable,
         "is larger than 1 MiB", "none"},
        {"2 GiB, sparse", [&] { Sized("[A]\r\nk=1\r\n", off_t{2} << 30); }, State::kUnreadable,
         "is larger than 1 MiB", "none"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove_all(ini_);
        row.prepare();
        const auto snapshot = profile::Snapshot::Read(ini_);
        EXPECT_EQ(snapshot.Status(), row.state);
        EXPECT_EQ(snapshot.Problem(), row.problem);
        // The profile functions read the same way: a file they may not read gives the default.
        EXPECT_EQ(profile::ReadString("A", "k", "none", profile::kWholeText, ini_), row.value);
    }
}

TEST_F(IniSnapshotTest, TheFirstOfDuplicatesWinsWithoutRegardToCase) {
    WriteFile(ini_, "[a]\r\nK = 'one' \r\nk=two\r\nflag\r\n[B]\r\nx=1\r\n[ A ]\r\nk=three\r\nz=4\r\n");
    const auto snapshot = profile::Snapshot::Read(ini_);
    EXPECT_EQ(snapshot.SectionNames(), (std::vector<std::string>{"a", "B"}));
    const auto keys = snapshot.Keys("A");
    ASSERT_TRUE(keys);
    EXPECT_EQ(*keys, (std::vector<std::pair<std::string, std::string>>{{"K", "one"}, {"flag", ""}}));
    EXPECT_FALSE(snapshot.Keys("C"));
}

// All 80 values come from one read of the file, however large it is.
TEST_F(IniSnapshotTest, TheGlobalSettingsAreReadOnceForAllEighty) {
    if (BytesRead() < 0) GTEST_SKIP() << "no /proc/self/io here";
    gRequireLogin = true;
    gClientPort = 7;
    SaveGlobalSetttingsToINIFile(ini_);
    // Padding in front of the section: a reader per value would read it 80 times.
    const std::string padding(512 * 1024, ';');
    WriteFile(ini_, padding + "\r\n" + ReadFile(ini_));
    ResetSettings();
    const long long before = BytesRead();
    LoadGlobalSettingsFromINIFile(ini_);
    const long long read = BytesRead() - before;
    EXPECT_TRUE(gRequireLogin);
    EXPECT_EQ(gClientPort, 7);
    EXPECT_EQ(GlobalSettingsINIProblem(), "");
    const auto size = static_cast<long long>(std::filesystem::file_size(ini_));
    EXPECT_GE(read, size);
    EXPECT_LT(read, 2 * size) << "read " << read << " bytes of a " << size << "-byte file";
}

// Corvane's own save writes every value: a file without one is damaged, and the load says why.
TEST_F(IniSnapshotTest, TheLoadNamesAFileEmptyCutOrTooLarge) {
    SaveGlobalSetttingsToINIFile(ini_);
    const std::string whole = ReadFile(ini_);
    struct Row {
        const char* name;
        std::string bytes;  // "" with size: a hole of that size
        off_t size;
        std::string problem;
    } const rows[] = {
        {"whole", whole, 0, ""},
        {"empty", "", 0, ini_ + " holds no [Global Settings] section (empty or cut short)"},
        {"cut before its section", whole.substr(0, 5), 0,
         ini_ + " holds no [Global Settings] section (empty or cut short)"},
        {"cut before \"Require Login\"", whole.substr(0, whole.find("Require Login=")), 0,
         ini_ + " is cut short: it holds no \"Require Login\" setting"},
        {"cut before its last value", whole.substr(0, whole.find("Security Level=")), 0,
         ini_ + " is cut short: it holds no \"Security Level\" setting"},
        {"64 MiB", "", off_t{64} << 20, ini_ + " is larger than 1 MiB"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.size) Sized("", row.size);
        else WriteFile(ini_, row.bytes);
        LoadGlobalSettingsFromINIFile(ini_);
        EXPECT_EQ(GlobalSettingsINIProblem(), row.problem);
    }
    std::filesystem::remove(ini_);
    LoadGlobalSettingsFromINIFile(ini_);
    EXPECT_EQ(GlobalSettingsINIProblem(), ini_ + " is missing");
}

}  // namespace
