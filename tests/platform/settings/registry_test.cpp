#include <gtest/gtest.h>

#include "platform/system/file_helpers.h"
#include "platform/core/raised_error.h"
#include "platform/settings/registry.h"
#include "platform/settings/registry_access.h"
#include "platform/settings/value_text.h"
#include "platform/settings/settings_fixture.h"

using namespace corvane;
using namespace corvane::testing;
namespace rs = corvane::registry_store;

namespace {

const char* const kPolicy = "software\\microsoft\\windows\\currentversion\\policies\\system";

class RegistryTest : public SettingsTest {
protected:
    // The property-bag road the settings and policy writers take.
    static bool Save(const std::string& name, const Variant& value, std::int32_t type = REG_SZ,
                     RegKey root = HKEY_CURRENT_USER, const char* path = kPolicy) {
        Registry reg;
        reg.SetKeyRoot(root);
        reg.SetKeyName(path);
        reg.SetSubKeyRef(name);
        reg.SetKeyValueType(type);
        reg.SetKeyValue(value);
        reg.SaveKey();
        return reg.Success();
    }

    struct Read {
        bool success;
        std::string text;
        std::int32_t type;
    };
    static Read Get(const std::string& name, RegKey root = HKEY_CURRENT_USER, const char* path = kPolicy) {
        Registry reg;
        reg.SetKeyRoot(root);
        reg.SetKeyName(path);
        reg.SetSubKeyRef(name);
        reg.SetKeyValueType(-1);
        reg.GetKey();
        return {reg.Success(), reg.KeyValueText(), reg.KeyValueType()};
    }

    static void Raw(const char* name, std::int32_t type, const std::string& bytes, const char* path = kPolicy) {
        RegKey key = 0;
        ASSERT_EQ(rs::CreateKey(HKEY_CURRENT_USER, path, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        ASSERT_EQ(rs::SetValue(key, name, type, bytes), ERROR_SUCCESS);
        rs::CloseKey(key);
    }
};

TEST_F(RegistryTest, DwordsTravelAsHexadecimalText) {
    struct Case { const char* written; const char* read; std::int32_t stored; };
    const Case cases[] = {
        {"0", "0", 0},          {"FFFFFFFF", "FFFFFFFF", -1}, {"00000095", "95", 149},
        {"1", "1", 1},          {"10", "10", 16},             {"3ffffff", "3FFFFFF", 0x3FFFFFF},
        {"not hex", "0", 0},    {"", "0", 0},                 {"123456789", "0", 0},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Save("DisableTaskMgr", std::string(c.written), REG_DWORD)) << c.written;
        const Read r = Get("DisableTaskMgr");
        EXPECT_TRUE(r.success) << c.written;
        EXPECT_EQ(r.text, c.read) << c.written;
        EXPECT_EQ(r.type, REG_DWORD);
        Registry reg;
        EXPECT_EQ(reg.GetValue(HKEY_CURRENT_USER, kPolicy, "DisableTaskMgr"), Variant(c.stored)) << c.written;
    }
    // A number handed in is read as hexadecimal text too.
    ASSERT_TRUE(Save("N", std::int32_t{10}, REG_DWORD));
    EXPECT_EQ(Get("N").text, "10");
}

TEST_F(RegistryTest, FailTextAndUnreadableValuesReportNoSuccess) {
    for (const char* text : {"fail", "FAIL", "  Fail ", "fAiL"}) {
        ASSERT_TRUE(Save("Last Login", std::string(text)));
        const Read r = Get("Last Login");
        EXPECT_FALSE(r.success) << text;
        EXPECT_EQ(r.text, text);
    }
    const Read missing = Get("No Such Value");
    EXPECT_FALSE(missing.success);
    EXPECT_EQ(missing.text, "Fail");
    EXPECT_EQ(missing.type, -1);  // the type is set only when data was read
    EXPECT_FALSE(Get("x", HKEY_CURRENT_USER, "No\\Such\\Key").success);
    // Zero-length data cannot be read either; an empty text (just its NUL) can.
    Raw("Zero", REG_SZ, "");
    EXPECT_FALSE(Get("Zero").success);
    ASSERT_TRUE(Save("Blank", std::string()));
    EXPECT_TRUE(Get("Blank").success);
    EXPECT_EQ(Get("Blank").text, "");
}

TEST_F(RegistryTest, LongValuesAreReadWhole) {
    const std::string longText(1025, 'x');
    ASSERT_TRUE(Save("Long", longText));
    const Read r = Get("Long");
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.text, longText);
    const std::string huge = std::string(70000, 'y') + "\xC3\xA9";  // beyond any fixed buffer, with an é
    ASSERT_TRUE(Save("Huge", huge));
    EXPECT_EQ(Get("Huge").text, huge);
    std::string text;
    EXPECT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, kPolicy, "Huge", text));
    EXPECT_EQ(text, huge);
}

TEST_F(RegistryTest, OtherTypesReadEmptyAndWriteNothing) {
    Raw("Path", REG_EXPAND_SZ, std::string("%HOME%\\x\0", 9));
    const Read r = Get("Path");
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.type, REG_EXPAND_SZ);

    EXPECT_TRUE(Save("Bin", std::string("AB"), REG_BINARY));
    Registry reg;
    EXPECT_FALSE(reg.ValueExists(HKEY_CURRENT_USER, kPolicy, "Bin"));
    EXPECT_TRUE(reg.KeyExists(HKEY_CURRENT_USER, kPolicy));
}

TEST_F(RegistryTest, FailedSaveEmptiesTheValue) {
    Registry reg;
    reg.SetKeyRoot(0x1234);  // no such root
    reg.SetKeyName("Software");
    reg.SetSubKeyRef("x");
    reg.SetKeyValue(std::string("kept?"));
    reg.SaveKey();
    EXPECT_FALSE(reg.Success());
    EXPECT_EQ(reg.KeyValue(), Variant(std::string()));
    Variant value = std::string("abc");
    EXPECT_FALSE(SetRegistryValue(0x1234, "Software", "x", value, REG_SZ));
    EXPECT_EQ(value, Variant(std::string()));
}

TEST_F(RegistryTest, TextCrossesAsWindows1252) {
    ASSERT_TRUE(Save("Caption", std::string("Caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD")));  // "Café € 中"
    EXPECT_EQ(Get("Caption").text, "Caf\xC3\xA9 \xE2\x82\xAC ?");
    RegKey key = 0;
    ASSERT_EQ(rs::OpenKey(HKEY_CURRENT_USER, kPolicy, KEY_READ, &key), ERROR_SUCCESS);
    std::string bytes;
    std::uint32_t size = 64;
    ASSERT_EQ(rs::QueryValue(key, "caption", nullptr, &bytes, &size), ERROR_SUCCESS);
    EXPECT_EQ(bytes, std::string("Caf\xE9 \x80 ?\0", 9));
    rs::CloseKey(key);
}

TEST_F(RegistryTest, EnumValuesGivesEachTypeItsListedForm) {
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\RestrictRun";
    ::setenv("CORVANE_TEST_FOLDER", "/opt/x", 1);
    Raw("", REG_SZ, std::string("unnamed\0", 8), key);
    Raw(" 1 ", REG_SZ, std::string("corvane\0", 8), key);
    Raw("bin", REG_BINARY, std::string("\x0A\xFF\x10", 3), key);
    Raw("dw", REG_DWORD, DwordBytes(-2), key);
    Raw("multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5), key);
    Raw("exp", REG_EXPAND_SZ, std::string("%CORVANE_TEST_FOLDER%\\bin\0", 26), key);
    Raw("none", REG_LINK, "zz", key);

    Registry reg;
    std::vector<std::string> reported;
    reg.ValueEnumerated = [&](RegistryValue& v) { reported.push_back(v.ValueName()); };
    RegistryValues values = reg.EnumValues(HKEY_CURRENT_USER, key);
    ASSERT_EQ(values.Count(), 7);
    EXPECT_EQ(reported, (std::vector<std::string>{"", "1", "bin", "dw", "multi", "exp", "none"}));
    EXPECT_TRUE(values.Item(1).Default());
    EXPECT_EQ(values.Item(1).Value(), Variant(std::string("unnamed")));
    EXPECT_FALSE(values.Item(2).Default());
    EXPECT_EQ(values.Item(2).Value(), Variant(std::string("corvane")));
    EXPECT_EQ(values.Item(3).Value(), Variant(std::string("0A FF 10")));
    EXPECT_EQ(values.Item(4).Value(), Variant(std::int32_t{-2}));
    EXPECT_EQ(values.Item(5).Value(), Variant(std::string("a,b")));
    EXPECT_EQ(values.Item(6).Value(), Variant(std::string("/opt/x\\bin")));
    EXPECT_TRUE(IsEmpty(values.Item(7).Value()));
    EXPECT_EQ(values.Item(7).GetTypeWord(true), "Link");
    EXPECT_EQ(values.Item(5).GetTypeWord(false), "MULTISZ");
    EXPECT_THROW(values.Item(8), RaisedError);

    // A listener may stop the listing.
    reported.clear();
    reg.ValueEnumerated = [&](RegistryValue& v) {
        reported.push_back(v.ValueName());
        if (reported.size() == 2) reg.AbortEnum();
    };
    EXPECT_EQ(reg.EnumValues(HKEY_CURRENT_USER, key).Count(), 2);

    reported.clear();
    EXPECT_EQ(reg.EnumValues(HKEY_CURRENT_USER, "No\\Such\\Key").Count(), 0);
    EXPECT_TRUE(reported.empty());
    EXPECT_TRUE(reg.ListKeys(HKEY_CURRENT_USER, "No\\Such\\Key").empty());
}

TEST_F(RegistryTest, RestrictRunListIsKeptWithSaveKeyAndDelSubKeyRef) {
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\RestrictRun";
    for (const char* name : {"1", "2", "3"})
        ASSERT_TRUE(Save(name, std::string("prog") + name + ".exe", REG_SZ, HKEY_CURRENT_USER, key));
    Registry reg;
    EXPECT_TRUE(reg.DelSubKeyRef(HKEY_CURRENT_USER, key, "2"));
    EXPECT_FALSE(reg.DelSubKeyRef(HKEY_CURRENT_USER, key, "2"));
    EXPECT_FALSE(reg.DelSubKeyRef(HKEY_CURRENT_USER, "No\\Such", "1"));
    std::vector<std::string> left;
    for (const auto& v : reg.EnumValues(HKEY_CURRENT_USER, key)) left.push_back(v->ValueName());
    EXPECT_EQ(left, (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(reg.ListKeys(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies"),
              (std::vector<std::string>{"Explorer"}));
    EXPECT_TRUE(reg.CreateKey(HKEY_CURRENT_USER, "Software\\Temp\\Deep"));
    EXPECT_FALSE(reg.DeleteKey(HKEY_CURRENT_USER, "Software\\Temp"));
    EXPECT_TRUE(reg.DeleteKey(HKEY_CURRENT_USER, "Software\\Temp\\Deep"));
}

TEST_F(RegistryTest, GetValueAndSetValueChooseTypesByKind) {
    const char* key = "Software\\Kinds";
    Registry reg;
    ASSERT_TRUE(reg.CreateKey(HKEY_LOCAL_MACHINE, key));
    struct Case { const char* name; Variant written; std::int32_t type; Variant read; };
    const Case cases[] = {
        {"text", std::string("abc"), REG_SZ, std::string("abc")},
        {"small", std::int32_t{200}, REG_BINARY, std::uint8_t{200}},
        {"large", std::int32_t{70000}, REG_DWORD, std::int32_t{70000}},
        {"negative", std::int16_t{-5}, REG_DWORD, std::int32_t{-5}},
        {"flag", true, REG_BINARY, std::uint8_t{1}},
        {"fraction", 2.5, REG_SZ, std::string("2.5")},
        {"list", std::vector<std::string>{"a", "b"}, REG_MULTI_SZ, std::vector<std::string>{"a", "b", "", ""}},
        {"bytes", std::vector<std::uint8_t>{1, 2, 3}, REG_BINARY, std::vector<std::uint8_t>{1, 2, 3}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(reg.SetValue(HKEY_LOCAL_MACHINE, key, c.name, c.written), ERROR_SUCCESS) << c.name;
        std::int32_t type = 0;
        EXPECT_EQ(reg.GetValue(HKEY_LOCAL_MACHINE, key, c.name, std::nullopt, &type), c.read) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
    }
    EXPECT_EQ(reg.GetValue(HKEY_LOCAL_MACHINE, key, "missing", Variant(std::string("dflt"))),
              Variant(std::string("dflt")));
    EXPECT_TRUE(IsEmpty(reg.GetValue(HKEY_LOCAL_MACHINE, "No\\Key", "x", Variant(std::string("dflt")))));
    EXPECT_EQ(reg.SetValue(HKEY_LOCAL_MACHINE, "No\\Key", "x", std::string("y")), 0);
    EXPECT_FALSE(reg.KeyExists(HKEY_LOCAL_MACHINE, "No\\Key"));
}

TEST_F(RegistryTest, OpenKeysAreTrackedUntilClosed) {
    Registry reg;
    EXPECT_EQ(reg.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Missing", true), -1);
    const RegKey a = reg.OpenKey(HKEY_LOCAL_MACHINE, "Software\\A", false, "first");
    const RegKey b = reg.OpenKey(HKEY_LOCAL_MACHINE, "Software\\A", true);
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_EQ(rs::SetValue(a, "v", REG_SZ, std::string("1\0", 2)), ERROR_SUCCESS);
    reg.CloseKey("FIRST");
    EXPECT_EQ(rs::SetValue(a, "v", REG_SZ, ""), ERROR_INVALID_HANDLE);
    reg.CloseKey(b);
    EXPECT_EQ(rs::CloseKey(b), ERROR_INVALID_HANDLE);
    RegKey c = 0;
    {
        Registry scoped;
        c = scoped.OpenKey(HKEY_LOCAL_MACHINE, "Software\\A");
        EXPECT_EQ(rs::EnumKey(c, 0, nullptr), ERROR_NO_MORE_ITEMS);
    }
    EXPECT_EQ(rs::CloseKey(c), ERROR_INVALID_HANDLE);  // closed with its object
}

TEST_F(RegistryTest, RemoteRegistryReachesOnlyThisComputer) {
    Registry reg;
    reg.SetKeyName("Software\\Remote");
    EXPECT_EQ(reg.ReadRemoteRegistryValue("\\\\ELSEWHERE", HKEY_LOCAL_MACHINE, "v"), Variant(std::string("Error!")));
    EXPECT_FALSE(reg.WriteRemoteRegistryValue("\\\\ELSEWHERE", HKEY_LOCAL_MACHINE, "v", std::string("x"), REG_SZ));
    ASSERT_TRUE(reg.CreateKey(HKEY_LOCAL_MACHINE, "Software\\Remote"));
    EXPECT_TRUE(reg.WriteRemoteRegistryValue("", HKEY_LOCAL_MACHINE, "dw", std::string("12"), REG_DWORD));
    EXPECT_EQ(reg.ReadRemoteRegistryValue("", HKEY_LOCAL_MACHINE, "dw"), Variant(std::int32_t{12}));
    EXPECT_TRUE(IsEmpty(reg.ReadRemoteRegistryValue("", HKEY_LOCAL_MACHINE, "missing")));
}

TEST_F(RegistryTest, FileAssociationFollowsTheFileTypeToItsOpenCommand) {
    // A key below HKEY_CLASSES_ROOT, with its unnamed value when text is given.
    const auto classKey = [](const char* path, const char* text) {
        RegKey key = 0;
        ASSERT_EQ(rs::CreateKey(HKEY_CLASSES_ROOT, path, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        if (text) {
            ASSERT_EQ(rs::SetValue(key, "", REG_SZ, std::string(text) + '\0'), ERROR_SUCCESS);
        }
        rs::CloseKey(key);
    };
    classKey(".txt", "txtfile");
    classKey("txtfile\\shell\\open\\command", "/usr/bin/editor \"%1\"");
    classKey(".odd", "oddfile");
    classKey(".bare", nullptr);

    const File f;
    struct Case { const char* ext; const char* result; };
    const Case cases[] = {
        {".txt", "/usr/bin/editor \"%1\""},
        {".TXT", "/usr/bin/editor \"%1\""},
        {".zzz", "Unregistered file extension .zzz"},
        {".odd", "File type is not associated with a program."},
        {".bare", ""},  // the extension has no file type to follow
    };
    for (const auto& c : cases) EXPECT_EQ(f.GetFileAssociation(c.ext), c.result) << c.ext;
}

TEST(HexToLong, ReadsUpToEightHexadecimalDigits) {
    struct Case { Variant value; std::int32_t expected; };
    const Case cases[] = {
        {std::string("FF"), 255},        {std::string("ffffffff"), -1},
        {std::string("00000095"), 149},  {std::string("B5000000"), static_cast<std::int32_t>(0xB5000000u)},
        {std::string(""), 0},            {std::string("G1"), 0},
        {std::string("123456789"), 0},   {Variant{}, 0},
        {std::int32_t{10}, 16},          {std::vector<std::string>{"a"}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(HexToLong(c.value), c.expected) << (&c - cases);
}

}  // namespace
