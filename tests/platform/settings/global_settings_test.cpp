#include <gtest/gtest.h>

#include <set>

#include "platform/core/environment.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/ini_file.h"
#include "platform/settings/product_info.h"
#include "platform/settings/registry.h"
#include "platform/settings/settings_store.h"
#include "platform/settings/settings_fixture.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

class GlobalSettingsTest : public SettingsTest {
protected:
    // A distinct value for every setting, far from its default; two texts are
    // longer than any fixed read buffer.
    static void FillDistinctValues() {
        int i = 0;
        for (const auto& s : GlobalSettings()) {
            ++i;
            struct Visitor {
                int i;
                void operator()(bool* v) const { *v = true; }
                void operator()(std::int32_t* v) const { *v = -100000 * i - 7; }
                void operator()(std::int16_t* v) const { *v = static_cast<std::int16_t>(-i); }
                void operator()(float* v) const { *v = 10.25f; }
                void operator()(std::string* v) const {
                    *v = "text " + std::to_string(i) + " caf\xC3\xA9 =;[x]";
                    if (i == 31) *v = std::string(300, 'm');   // beyond the INI buffer
                    if (i == 35) *v = std::string(1500, 'n');  // beyond the registry buffer
                }
            };
            std::visit(Visitor{i}, s.variable);
        }
    }

    static std::vector<std::string> Snapshot() {
        std::vector<std::string> texts;
        for (const auto& s : GlobalSettings())
            std::visit([&](auto* v) {
                if constexpr (std::is_same_v<decltype(*v), std::string&>) texts.push_back(*v);
                else texts.push_back(std::to_string(*v));
            }, s.variable);
        return texts;
    }

    std::vector<std::string> StoredNames() {
        std::vector<std::string> names;
        Registry reg;
        for (const auto& v : reg.EnumValues(HKEY_LOCAL_MACHINE, SettingsKeyPath("Global")))
            names.push_back(v->ValueName());
        return names;
    }

    std::string ini_;
    void SetUp() override {
        SettingsTest::SetUp();
        ini_ = Path("global.ini");
    }
};

TEST_F(GlobalSettingsTest, EightyValuesInTheirFixedOrder) {
    const auto& all = GlobalSettings();
    ASSERT_EQ(all.size(), 80u);
    std::set<std::string> names;
    for (const auto& s : all) names.insert(s.name);
    EXPECT_EQ(names.size(), 80u);
    struct Case { std::size_t number; const char* name; };
    const Case cases[] = {{1, "Disable File Locking"}, {9, "Data Path"},         {13, "Require Login"},
                          {38, "Lock Task Manager During Login"},                  {62, "Inactivity Mins"},
                          {67, "Show Corvane At Next Login"},                      {78, "Remote Console Font Size"},
                          {80, "Security Level"}};
    for (const auto& c : cases) EXPECT_STREQ(all[c.number - 1].name, c.name);
    EXPECT_TRUE(std::holds_alternative<bool*>(all[0].variable));
    EXPECT_EQ(std::get<std::string*>(all[8].variable), &gDataPath);
    EXPECT_TRUE(std::holds_alternative<std::int16_t*>(all[61].variable));
    EXPECT_TRUE(std::holds_alternative<float*>(all[77].variable));
}

TEST_F(GlobalSettingsTest, EmptyRegistryGivesTheDefaultsAndASaveWritesAll) {
    LoadGlobalSettingsFromRegistry();
    EXPECT_EQ(gDataPath, environment::ProgramFolder());
    EXPECT_FALSE(gRequireLogin);
    for (auto* size : {&gMaxUserLogFileSize, &gMaxFileTransferLogFileSize, &gMaxActivityLogFileSize,
                       &gMaxRemoteActivityLogFileSize, &gMaxWebsiteLogFileSize})
        EXPECT_EQ(*size, 32767);
    EXPECT_EQ(gMaxUserLogFileSizeAction, 0);
    EXPECT_EQ(gClientPort, 1001);
    EXPECT_EQ(gServerPort, 1001);
    EXPECT_EQ(gUploadPort, 6971);
    EXPECT_EQ(gDownloadPort, 109);
    EXPECT_EQ(gInactivityMins, 300);
    EXPECT_EQ(gBackupWarningDays, 1);
    EXPECT_EQ(gRemoteConsoleBackColor, 0);
    EXPECT_EQ(gRemoteConsoleStatusColor, 65280);
    EXPECT_EQ(gRemoteConsoleErrorColor, 255);
    EXPECT_EQ(gRemoteConsoleFontName, "Tahoma");
    EXPECT_FLOAT_EQ(gRemoteConsoleFontSize, 8);
    EXPECT_TRUE(StoredNames().empty());  // reading created nothing

    gEXEAppName = gLoginCaption = gProductName;
    SaveGlobalSettingsToRegistry();
    std::vector<std::string> expected;
    for (const auto& s : GlobalSettings()) expected.push_back(s.name);
    EXPECT_EQ(StoredNames(), expected);
    EXPECT_EQ(GetMachineSetting("Global", "Login Caption", ""), "Corvane Standard");
    EXPECT_EQ(GetMachineSetting("Global", "Require Login", ""), "False");
    EXPECT_EQ(GetMachineSetting("Global", "Remote Console Font Size", ""), "8");
    EXPECT_EQ(GetMachineSetting("Global", "Inactivity Mins", ""), "300");
}

TEST_F(GlobalSettingsTest, AllEightyRoundTripThroughBothStores) {
    FillDistinctValues();
    const auto written = Snapshot();
    SaveGlobalSettingsToRegistry();
    ResetSettings();
    LoadGlobalSettingsFromRegistry();
    EXPECT_EQ(Snapshot(), written);

    SaveGlobalSetttingsToINIFile(ini_);
    ResetSettings();
    LoadGlobalSettingsFromINIFile(ini_);
    EXPECT_EQ(Snapshot(), written);
    // One section, one key per value, in order.
    std::vector<std::string> keys;
    std::int32_t count = 0;
    INIFile ini;
    ini.SetFilename(ini_);
    ini.SetSection("Global Settings");
    ini.EnumerateCurrentSection(keys, count);
    ASSERT_EQ(count, 80);
    EXPECT_EQ(keys.front(), "Disable File Locking");
    EXPECT_EQ(keys.back(), "Security Level");
    EXPECT_EQ(ReadFile(ini_).rfind("[Global Settings]\r\nDisable File Locking=True\r\n", 0), 0u);
}

TEST_F(GlobalSettingsTest, IniModeGivesNoDefaults) {
    WriteFile(ini_, "[Other]\r\nClient Port=5\r\n");
    LoadGlobalSettingsFromINIFile(ini_);
    EXPECT_EQ(gClientPort, 0);
    EXPECT_EQ(gInactivityMins, 0);
    EXPECT_EQ(gMaxUserLogFileSize, 0);
    EXPECT_EQ(gRemoteConsoleFontName, "");
    EXPECT_FLOAT_EQ(gRemoteConsoleFontSize, 0);
    EXPECT_EQ(gDataPath, "");

    // No file at all: nothing is read and nothing changes.
    gClientPort = 42;
    LoadGlobalSettingsFromINIFile(Path("missing.ini"));
    LoadGlobalSettingsFromINIFile(dir_);  // a folder counts as missing
    LoadGlobalSettingsFromINIFile("");
    EXPECT_EQ(gClientPort, 42);
}

TEST_F(GlobalSettingsTest, StoredTextsFollowTheReadingRules) {
    struct Case { const char* name; const char* stored; std::function<bool()> check; };
    const Case cases[] = {
        {"Require Login", "true", [] { return !gRequireLogin; }},
        {"Require Login", "TRUE", [] { return !gRequireLogin; }},
        {"Require Login", " True", [] { return !gRequireLogin; }},
        {"Require Login", "True", [] { return gRequireLogin; }},
        {"Security Level", "3.5", [] { return gSecurityLevel == 4; }},
        {"Security Level", "2.5", [] { return gSecurityLevel == 2; }},
        {"Client Port", "1001 ", [] { return gClientPort == 1001; }},
        {"Client Port", "10 01", [] { return gClientPort == 1001; }},
        {"Client Port", "port", [] { return gClientPort == 0; }},
        {"Client Port", "", [] { return gClientPort == 0; }},  // present but empty: not the default
        {"Language", "&H1", [] { return gLanguage == 1; }},
        {"Remote Console Font Size", "9.75", [] { return gRemoteConsoleFontSize == 9.75f; }},
        {"Login Caption", " fail ", [] { return gLoginCaption.empty(); }},
        {"Remote Console Font Name", "FAIL", [] { return gRemoteConsoleFontName == "Tahoma"; }},
    };
    for (const auto& c : cases) {
        SaveMachineSetting("Global", c.name, c.stored);
        LoadGlobalSettingsFromRegistry();
        EXPECT_TRUE(c.check()) << c.name << " = \"" << c.stored << '"';
    }
    // A Boolean that read False is written back as "False".
    SaveMachineSetting("Global", "Require Login", "TRUE");
    LoadGlobalSettingsFromRegistry();
    SaveGlobalSettingsToRegistry();
    EXPECT_EQ(GetMachineSetting("Global", "Require Login", ""), "False");
}

struct TrapRecord {
    std::vector<std::string> places;
    std::vector<std::int32_t> numbers;
};

TEST_F(GlobalSettingsTest, OverflowIsReportedAndTheAnswerDecides) {
    SaveMachineSetting("Global", "Inactivity Mins", "40000");
    SaveMachineSetting("Global", "Warn Before Auto Disconnect", "True");  // the value after it

    TrapRecord record;
    int answer = kErrorResume;
    SetErrorHandler([&](const RaisedError& e, const std::string& place, int, int) {
        record.places.push_back(place);
        record.numbers.push_back(e.Number());
        return answer;
    });
    gInactivityMins = 77;
    LoadGlobalSettingsFromRegistry();
    EXPECT_EQ(gInactivityMins, 77);  // skipped, the rest loaded
    EXPECT_TRUE(gWarnBeforeAutoDisconnect);
    EXPECT_EQ(gSecurityLevel, 0);
    EXPECT_EQ(record.places, std::vector<std::string>{"SettingsMod.LoadGlobalSettingsFromRegistry"});
    EXPECT_EQ(record.numbers, std::vector<std::int32_t>{kErrOverflow});

    answer = kErrorLeave;
    gWarnBeforeAutoDisconnect = false;
    gRemoteConsoleFontName = "unchanged";
    LoadGlobalSettingsFromRegistry();
    EXPECT_FALSE(gWarnBeforeAutoDisconnect);  // left at the failing value
    EXPECT_EQ(gRemoteConsoleFontName, "unchanged");

    // Retry reads the value again, here after it was mended.
    answer = kErrorRetry;
    SetErrorHandler([&](const RaisedError&, const std::string& place, int, int) {
        record.places.push_back(place);
        SaveMachineSetting("Global", "Inactivity Mins", "45");
        return kErrorRetry;
    });
    LoadGlobalSettingsFromRegistry();
    EXPECT_EQ(gInactivityMins, 45);

    WriteFile(ini_, "[Global Settings]\r\nInactivity Mins=32768\r\nSecurity Level=3\r\n");
    record.places.clear();
    SetErrorHandler([&](const RaisedError&, const std::string& place, int, int) {
        record.places.push_back(place);
        return kErrorResume;
    });
    LoadGlobalSettingsFromINIFile(ini_);
    EXPECT_EQ(gInactivityMins, 45);
    EXPECT_EQ(gSecurityLevel, 3);
    EXPECT_EQ(record.places, std::vector<std::string>{"SettingsMod.LoadGlobalSettingsFromINIFile"});
}

TEST_F(GlobalSettingsTest, SourceSwitchPicksTheStore) {
    // Lower-case "true" keeps the registry.
    SaveMachineSetting("Global", "Use Global Settings INI File", "true");
    SaveMachineSetting("Global", "Global Settings INI Pathname", ini_);
    LoadSettingsSource();
    EXPECT_FALSE(gUseGlobalSettingsINIFile);
    EXPECT_EQ(gGlobalSettingsINIPathname, ini_);

    SaveMachineSetting("Global", "Use Global Settings INI File", "True");
    LoadSettingsSource();
    ASSERT_TRUE(gUseGlobalSettingsINIFile);
    WriteFile(ini_, "[Global Settings]\nRequire Login=True\n");
    SaveMachineSetting("Global", "Require Login", "False");
    LoadGlobalSettings();
    EXPECT_TRUE(gRequireLogin);
    gSecurityLevel = 5;
    SaveGlobalSettings();
    INIFile ini;
    ini.SetFilename(ini_);
    ini.SetSection("Global Settings");
    ini.SetKey("Security Level");
    EXPECT_EQ(ini.Value(), "5");
    EXPECT_EQ(GetMachineSetting("Global", "Security Level", "absent"), "absent");
}

TEST_F(GlobalSettingsTest, IniSwitchWithoutPathnameReadsAndWritesNothing) {
    SaveMachineSetting("Global", "Use Global Settings INI File", "True");
    LoadSettingsSource();
    EXPECT_EQ(gGlobalSettingsINIPathname, environment::ProgramFolder());
    gClientPort = 9;
    LoadGlobalSettings();
    EXPECT_EQ(gClientPort, 9);
    SaveGlobalSettings();
    EXPECT_TRUE(std::filesystem::is_empty(environment::ProgramFolder()));
}

}  // namespace
