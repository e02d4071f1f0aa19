#include <gtest/gtest.h>

#include <unistd.h>

#include <set>
#include <vector>

#include "platform/settings/registry_access.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/settings_store.h"
#include "platform/settings/product_info.h"
#include "platform/settings/registry.h"
#include "platform/settings/settings_fixture.h"

using namespace corvane;
using namespace corvane::testing;
namespace rs = corvane::registry_store;

namespace {

class RegistryStoreTest : public SettingsTest {
protected:
    // Creates the key and returns an open handle with full access.
    RegKey Create(RegKey root, const char* path) {
        RegKey key = 0;
        EXPECT_EQ(rs::CreateKey(root, path, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        return key;
    }

    std::vector<std::string> ValueNames(RegKey key) {
        std::vector<std::string> names;
        std::string name;
        for (std::uint32_t i = 0; rs::EnumValue(key, i, &name, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i)
            names.push_back(name);
        return names;
    }
};

TEST_F(RegistryStoreTest, CreatesIntermediateKeysAndFindsNamesWithoutCase) {
    RegKey key = Create(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer");
    ASSERT_EQ(rs::SetValue(key, "NoRun", REG_DWORD, DwordBytes(1)), ERROR_SUCCESS);
    rs::CloseKey(key);

    // The same policy key written in another spelling is the same key, and
    // keeps the spelling it was created with.
    RegKey again = 0;
    ASSERT_EQ(rs::OpenKey(HKEY_CURRENT_USER, "software\\microsoft\\windows\\currentversion\\policies\\EXPLORER",
                          KEY_READ, &again),
              ERROR_SUCCESS);
    std::int32_t type = 0;
    std::string data;
    std::uint32_t size = 16;
    EXPECT_EQ(rs::QueryValue(again, "norun", &type, &data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(DwordFromBytes(data), 1);
    rs::CloseKey(again);

    RegKey policies = 0;
    ASSERT_EQ(rs::OpenKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies", KEY_READ,
                          &policies),
              ERROR_SUCCESS);
    std::string name;
    EXPECT_EQ(rs::EnumKey(policies, 0, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, "Explorer");
    EXPECT_EQ(rs::EnumKey(policies, 1, &name), ERROR_NO_MORE_ITEMS);
    rs::CloseKey(policies);
}

TEST_F(RegistryStoreTest, ValuesListInCreationOrderAndKeepTheirFirstSpelling) {
    RegKey key = Create(HKEY_LOCAL_MACHINE, "Order");
    for (const char* name : {"zeta", "Alpha", "mid", ""}) rs::SetValue(key, name, REG_SZ, std::string("x\0", 2));
    // Rewriting a value in another spelling keeps its place and its name.
    rs::SetValue(key, "ALPHA", REG_DWORD, DwordBytes(7));
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"zeta", "Alpha", "mid", ""}));

    // A deleted and re-created value goes to the end.
    EXPECT_EQ(rs::DeleteValue(key, "ZETA"), ERROR_SUCCESS);
    EXPECT_EQ(rs::DeleteValue(key, "zeta"), ERROR_FILE_NOT_FOUND);
    rs::SetValue(key, "Zeta", REG_SZ, "");
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"Alpha", "mid", "", "Zeta"}));

    // Subkeys list in name order without regard to case.
    for (const char* sub : {"b", "C", "a"}) rs::CloseKey(Create(key, sub));
    std::vector<std::string> subkeys;
    std::string name;
    for (std::uint32_t i = 0; rs::EnumKey(key, i, &name) == ERROR_SUCCESS; ++i) subkeys.push_back(name);
    EXPECT_EQ(subkeys, (std::vector<std::string>{"a", "b", "C"}));
    rs::CloseKey(key);
}

TEST_F(RegistryStoreTest, TypedBytesComeBackExactlyWithRoomRules) {
    RegKey key = Create(HKEY_LOCAL_MACHINE, "Types");
    const std::string binary("\x00\xFF\x10\x00", 4);
    const std::string multi("one\0two\0\0", 9);
    ASSERT_EQ(rs::SetValue(key, "bin", REG_BINARY, binary), ERROR_SUCCESS);
    ASSERT_EQ(rs::SetValue(key, "multi", REG_MULTI_SZ, multi), ERROR_SUCCESS);
    ASSERT_EQ(rs::SetValue(key, "empty", REG_BINARY, ""), ERROR_SUCCESS);

    std::int32_t type = 0;
    std::string data;
    std::uint32_t size = 0;
    EXPECT_EQ(rs::QueryValue(key, "multi", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 9u);
    size = 4;
    EXPECT_EQ(rs::QueryValue(key, "multi", &type, &data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 9u);
    EXPECT_EQ(rs::QueryValue(key, "multi", &type, &data, &size), ERROR_SUCCESS);
    EXPECT_EQ(data, multi);
    EXPECT_EQ(type, REG_MULTI_SZ);
    size = 4;
    EXPECT_EQ(rs::QueryValue(key, "bin", &type, &data, &size), ERROR_SUCCESS);
    EXPECT_EQ(data, binary);
    size = 4;
    EXPECT_EQ(rs::QueryValue(key, "empty", &type, &data, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(rs::QueryValue(key, "missing", &type, &data, &size), ERROR_FILE_NOT_FOUND);
    rs::CloseKey(key);
}

TEST_F(RegistryStoreTest, AnswersTheCodesCallersTest) {
    RegKey key = 0;
    EXPECT_EQ(rs::OpenKey(HKEY_LOCAL_MACHINE, "No\\Such\\Key", KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(rs::OpenKey(0x12345, "x", KEY_READ, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(rs::SetValue(0x12345, "x", REG_SZ, ""), ERROR_INVALID_HANDLE);
    EXPECT_EQ(rs::CloseKey(0x12345), ERROR_INVALID_HANDLE);

    RegKey parent = Create(HKEY_LOCAL_MACHINE, "Parent\\Child");
    rs::CloseKey(parent);
    // A key with subkeys is not deleted; once empty it is.
    EXPECT_EQ(rs::DeleteKey(HKEY_LOCAL_MACHINE, "Parent"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(rs::DeleteKey(HKEY_LOCAL_MACHINE, "Parent\\Child"), ERROR_SUCCESS);
    EXPECT_EQ(rs::DeleteKey(HKEY_LOCAL_MACHINE, "Parent\\Child"), ERROR_FILE_NOT_FOUND);

    // A handle opened to read may not write; a handle of a deleted key says so.
    RegKey reader = 0;
    ASSERT_EQ(rs::OpenKey(HKEY_LOCAL_MACHINE, "Parent", KEY_READ, &reader), ERROR_SUCCESS);
    EXPECT_EQ(rs::SetValue(reader, "v", REG_SZ, ""), ERROR_ACCESS_DENIED);
    EXPECT_EQ(rs::DeleteKey(HKEY_LOCAL_MACHINE, "Parent"), ERROR_SUCCESS);
    std::string name;
    EXPECT_EQ(rs::EnumValue(reader, 0, &name, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    rs::CloseKey(reader);

    RegKey remote = 0;
    EXPECT_EQ(rs::ConnectRegistry("\\\\SOMEWHERE-ELSE", HKEY_LOCAL_MACHINE, &remote), ERROR_BAD_NETPATH);
    EXPECT_EQ(rs::ConnectRegistry("", HKEY_LOCAL_MACHINE, &remote), ERROR_SUCCESS);
    EXPECT_EQ(remote, HKEY_LOCAL_MACHINE);
}

TEST_F(RegistryStoreTest, RootsLiveInTheirOwnHives) {
    RegKey key = Create(HKEY_CLASSES_ROOT, ".sec");
    rs::SetValue(key, "", REG_SZ, std::string("Corvane.Table\0", 14));
    rs::CloseKey(key);
    // The classes root is the machine hive's Software\Classes.
    RegKey machine = 0;
    EXPECT_EQ(rs::OpenKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\.sec", KEY_READ, &machine), ERROR_SUCCESS);
    rs::CloseKey(machine);
    EXPECT_EQ(rs::OpenKey(HKEY_CURRENT_USER, "Software\\Classes\\.sec", KEY_READ, &machine), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(rs::HivePath(HKEY_LOCAL_MACHINE), Path("machine.db"));
    EXPECT_EQ(rs::HivePath(HKEY_USERS), Path("users.db"));
    EXPECT_NE(rs::HivePath(HKEY_CURRENT_USER).find(dir_ + "/user-"), std::string::npos);
    EXPECT_EQ(rs::HivePath(key), "");
}

TEST_F(RegistryStoreTest, ReadingAFreshHiveCreatesNothing) {
    EXPECT_EQ(GetMachineSetting("Global", "Require Login", "False"), "False");
    RegKey key = 0;
    EXPECT_EQ(rs::OpenKey(HKEY_LOCAL_MACHINE, "", KEY_READ, &key), ERROR_SUCCESS);
    std::string name;
    EXPECT_EQ(rs::EnumKey(key, 0, &name), ERROR_NO_MORE_ITEMS);
    rs::CloseKey(key);
    EXPECT_FALSE(std::filesystem::exists(Path("machine.db")));
}

TEST_F(RegistryStoreTest, DamagedHiveReadsAsCorruptAndIsLeftAlone) {
    const std::string garbage = "this is not a database, just forty bytes.";
    WriteFile(Path("machine.db"), garbage);
    RegKey key = 0;
    EXPECT_EQ(rs::OpenKey(HKEY_LOCAL_MACHINE, "Software", KEY_READ, &key), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(rs::CreateKey(HKEY_LOCAL_MACHINE, "Software", KEY_ALL_ACCESS, &key), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(GetMachineSetting("Global", "Language", "0"), "0");
    SaveMachineSetting("Global", "Language", "1");
    EXPECT_EQ(ReadFile(Path("machine.db")), garbage);
}

// Several processes write one key at the same moment; no write may be lost,
// including the race to create the hive file itself.
TEST_F(RegistryStoreTest, ConcurrentProcessesKeepEveryWrite) {
    constexpr int kWriters = 3;
    constexpr int kValues = 40;
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(gate[1]);
            char c;
            (void)::read(gate[0], &c, 1);  // wait until every writer is ready
            for (int i = 0; i < kValues; ++i) {
                SaveMachineSetting("Race", "W" + std::to_string(w) + "-" + std::to_string(i), std::to_string(i));
                SaveMachineSetting("Race", "Shared", std::to_string(w));
            }
            ::_exit(0);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);  // opens the gate
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kValues; ++i)
            EXPECT_EQ(GetMachineSetting("Race", "W" + std::to_string(w) + "-" + std::to_string(i), "lost"),
                      std::to_string(i));
    const std::set<std::string> writers = {"0", "1", "2"};
    EXPECT_TRUE(writers.count(GetMachineSetting("Race", "Shared", "lost")));
    Registry reg;
    EXPECT_EQ(reg.EnumValues(HKEY_LOCAL_MACHINE, SettingsKeyPath("Race")).Count(), kWriters * kValues + 1);
}

// A user who may only read the machine hive still gets its settings; writes
// are refused and change nothing.
TEST_F(RegistryStoreTest, ReadOnlyMachineHiveIsStillRead) {
    SaveMachineSetting("Global", "Require Login", "True");
    SaveMachineSetting("Global", "Client Port", "2002");
    const bool root = ::geteuid() == 0;
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    if (!root) {
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            if (entry.is_regular_file()) ::chmod(entry.path().c_str(), 0444);
        ::chmod(dir_.c_str(), 0555);
    }
    const int failures = RunInChild([] {
        int bad = 0;
        if (GetMachineSetting("Global", "Require Login", "False") != "True") bad |= 1;
        LoadGlobalSettingsFromRegistry();
        if (!gRequireLogin || gClientPort != 2002) bad |= 2;
        RegKey key = 0;
        if (rs::OpenKey(HKEY_LOCAL_MACHINE, SettingsKeyPath("Global"), KEY_ALL_ACCESS, &key) != ERROR_ACCESS_DENIED)
            bad |= 4;
        if (rs::OpenKey(HKEY_LOCAL_MACHINE, SettingsKeyPath("Global"), KEY_READ, &key) != ERROR_SUCCESS) bad |= 8;
        rs::CloseKey(key);
        Registry reg;
        reg.SetKeyRoot(HKEY_LOCAL_MACHINE);
        reg.SetKeyName(SettingsKeyPath("Global"));
        reg.SetSubKeyRef("Require Login");
        reg.SetKeyValue(std::string("False"));
        reg.SaveKey();
        if (reg.Success() || reg.KeyValueText() != "") bad |= 16;
        SaveMachineSetting("Global", "Client Port", "9");
        return bad;
    }, root);
    if (!root) ::chmod(dir_.c_str(), 0755);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(GetMachineSetting("Global", "Client Port", ""), "2002");
}

// Per-user values belong to the Linux user who saved them.
TEST_F(RegistryStoreTest, UserValuesAreNotSharedBetweenUsers) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs a second Linux user";
    ASSERT_EQ(::chmod(dir_.c_str(), 0777), 0);
    SaveMachineSetting("Security", "NoTaskbar", "1");
    const int failures = RunInChild([] {
        SaveUserSetting("Form Metrics\\frmMain", "Height", "4000");
        int bad = GetUserSetting("Form Metrics\\frmMain", "Height", "") == "4000" ? 0 : 1;
        if (GetMachineSetting("Security", "NoTaskbar", "0") != "1") bad |= 2;
        return bad;
    }, true);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(GetUserSetting("Form Metrics\\frmMain", "Height", "none"), "none");
}

}  // namespace
