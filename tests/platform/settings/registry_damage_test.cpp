#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/settings/global_settings.h"
#include "platform/settings/hive_damage_replay.h"
#include "platform/settings/registry.h"
#include "platform/settings/registry_hive.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/settings_fixture.h"
#include "platform/settings/settings_store.h"

using namespace corvane;
using namespace corvane::testing;
namespace rs = corvane::registry_store;

namespace {

class RegistryDamageTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        previous_ = rs::SetHiveDamageReport([this](const RaisedError& error, const std::string& place) {
            reports_.push_back(std::to_string(error.Number()) + " " + place + " " + error.Description());
        });
    }
    void TearDown() override {
        rs::SetHiveDamageReport(previous_);
        SettingsTest::TearDown();
    }

    // Changes every copy of a text in the hive and its log to another of the
    // same length; false when the text is nowhere.
    bool Damage(const std::string& from, const std::string& to) {
        bool found = false;
        for (const char* suffix : {"", "-wal"}) {
            const std::string file = Path("machine.db") + suffix;
            std::string bytes = ReadFile(file);
            for (auto at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + 1)) {
                bytes.replace(at, from.size(), to);
                found = true;
            }
            WriteFile(file, bytes);
        }
        return found;
    }

    rs::HiveDamageReport previous_;
    std::vector<std::string> reports_;
};

// A FIFO or a device where a hive or its log belongs is refused at once:
// reads give the default, writes change nothing, nothing waits.
TEST_F(RegistryDamageTest, SpecialFilesAreRefusedWithoutWaiting) {
    struct Row {
        const char* name;
        std::function<void(const std::string& hive)> make;
    };
    const Row rows[] = {
        {"hive is a FIFO", [](const std::string& hive) { ::mkfifo(hive.c_str(), 0666); }},
        {"hive leads to a device", [](const std::string& hive) { ::symlink("/dev/zero", hive.c_str()); }},
        {"log is a FIFO",
         [](const std::string& hive) {
             SaveMachineSetting("Global", "Language", "1");
             ::unlink((hive + "-wal").c_str());
             ::mkfifo((hive + "-wal").c_str(), 0666);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string hive = Path("machine.db");
        for (const char* suffix : {"", "-wal", "-shm"}) ::unlink((hive + suffix).c_str());
        row.make(hive);
        const int code = RunInChild([] {
            ::alarm(10);  // a hang ends the child with SIGALRM
            int bad = 0;
            RegKey key = 0;
            if (rs::OpenKey(HKEY_LOCAL_MACHINE, "Software", KEY_READ, &key) != ERROR_ACCESS_DENIED) bad |= 1;
            if (rs::CreateKey(HKEY_LOCAL_MACHINE, "Software", KEY_ALL_ACCESS, &key) != ERROR_ACCESS_DENIED) bad |= 2;
            SaveMachineSetting("Global", "Language", "2");
            if (GetMachineSetting("Global", "Language", "def") != "def") bad |= 4;
            return bad;
        });
        EXPECT_EQ(code, 0);
    }
}

// A damaged value, value name or key name reads as an error, never as
// another value, and the damage is reported once.
TEST_F(RegistryDamageTest, DamagedRowsReadAsErrorsNeverAsOtherValues) {
    struct Row {
        const char* from;
        const char* to;
        const char* readName;  // the value that must not read as stored
    };
    const Row rows[] = {
        {"Welcome to the lab", "Welcome to the lob", "Login Caption"},
        {"Login Caption", "Login Cbption", "Login Cbption"},
        {"Invalid Login Message", "Invalid Login Massage", "Invalid Login Massage"},
        {"Glob", "Glib", "Login Caption"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.from);
        for (const char* suffix : {"", "-wal", "-shm"}) ::unlink((Path("machine.db") + suffix).c_str());
        rs::SetHiveDamageReport(rs::SetHiveDamageReport(nullptr));  // tell again for this row
        reports_.clear();
        gLoginCaption = "Welcome to the lab";
        gInvalidLoginMessage = "Welcome to the lab";
        SaveGlobalSettingsToRegistry();
        ASSERT_TRUE(Damage(row.from, row.to));
        const std::string read = GetMachineSetting("Global", row.readName, "<default>");
        EXPECT_TRUE(read == "<default>") << read;
        // The key's listing holds no damaged value either.
        Registry reg;
        for (const auto& value : reg.EnumValues(HKEY_LOCAL_MACHINE, SettingsKeyPath("Global")))
            EXPECT_NE(value->ValueName(), row.to);
        ASSERT_EQ(reports_.size(), 1u);
        EXPECT_NE(reports_[0].find("1015 RegistryStore.OpenHive The registry hive " + Path("machine.db")),
                  std::string::npos)
            << reports_[0];
    }
}

// Pages that no longer hold together refuse the whole hive: every global
// setting loads its default.
TEST_F(RegistryDamageTest, StructuralDamageRefusesTheHive) {
    gClientPort = 2002;
    gLoginCaption = "Welcome";
    SaveGlobalSettingsToRegistry();
    // Fold the log into the file, then spoil its second page.
    { std::unique_ptr<RegistryHive> hive; ASSERT_EQ(RegistryHive::Open(Path("machine.db"), true, &hive), ERROR_SUCCESS); }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Path("machine.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    std::string bytes = ReadFile(Path("machine.db"));
    ASSERT_GE(bytes.size(), 3 * 4096u);
    for (std::size_t i = 4096 + 8; i < 2 * 4096; i += 7) bytes[i] = static_cast<char>(0xA5);
    WriteFile(Path("machine.db"), bytes);

    ResetSettings();
    LoadGlobalSettingsFromRegistry();
    EXPECT_EQ(gClientPort, 1001);
    EXPECT_EQ(gLoginCaption, "");
    SaveMachineSetting("Global", "Language", "1");
    EXPECT_TRUE(ReadFile(Path("machine.db")) == bytes);
    EXPECT_EQ(reports_.size(), 1u);
}

// Inputs on which the hive fuzz target once found a wrong answer (each sets
// bytes of the same seed hive): they must read as written or as errors.
TEST_F(RegistryDamageTest, DamageOnceFoundByFuzzingReadsAsWrittenOrError) {
    const std::vector<std::vector<std::uint8_t>> inputs = {
        {0x3f, 0xc2, 0xa7},  // a value's bytes changed in place
    };
    const std::string seed = hive_damage::BuildSeedHive();
    ASSERT_FALSE(seed.empty());
    for (const auto& input : inputs) {
        SCOPED_TRACE(::testing::PrintToString(input));
        EXPECT_EQ(hive_damage::Replay(seed, input.data(), input.size()), "");
    }
    EXPECT_EQ(hive_damage::Replay(seed, nullptr, 0), "");
}

// A hive of the first format (no row sums) is brought up to date by the
// first writer and keeps every value.
TEST_F(RegistryDamageTest, FirstFormatHiveIsUpgradedByAWriter) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Path("machine.db").c_str(), &db), SQLITE_OK);
    std::string sql =
        "PRAGMA journal_mode = WAL;"
        "CREATE TABLE keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name TEXT NOT NULL,"
        " folded TEXT NOT NULL, UNIQUE(parent, folded));"
        "CREATE TABLE entries(id INTEGER PRIMARY KEY, key INTEGER NOT NULL, name TEXT NOT NULL,"
        " folded TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL, UNIQUE(key, folded));"
        "PRAGMA user_version = 1;";
    std::int64_t parent = 0;
    for (const auto& part : SplitRegistryPath(SettingsKeyPath("Global"))) {
        sql += "INSERT INTO keys VALUES(" + std::to_string(parent + 1) + ", " + std::to_string(parent) + ", '" +
               part + "', '" + FoldRegistryName(part) + "');";
        ++parent;
    }
    sql += "INSERT INTO entries VALUES(1, " + std::to_string(parent) +
           ", 'Login Caption', 'login caption', 1, CAST('Hello' || char(0) AS BLOB));";
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);

    SaveMachineSetting("Global", "Language", "1");
    EXPECT_EQ(GetMachineSetting("Global", "Login Caption", ""), "Hello");
    EXPECT_EQ(GetMachineSetting("Global", "Language", ""), "1");
    Registry reg;
    const auto values = reg.EnumValues(HKEY_LOCAL_MACHINE, SettingsKeyPath("Global"));
    ASSERT_EQ(values.Count(), 2);
    EXPECT_EQ(values.Item(1).ValueName(), "Login Caption");
    EXPECT_TRUE(reports_.empty());
}

}  // namespace
