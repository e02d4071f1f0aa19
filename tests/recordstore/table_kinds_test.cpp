// The link-table and log-table kinds, on small tables shaped like members.sec and userlog.sec.
#include <gtest/gtest.h>

#include <vector>

#include "platform/core/event_loop.h"
#include "platform/core/program_globals.h"
#include "recordstore/link_table.h"
#include "recordstore/log_table.h"
#include "recordstore/test_support.h"

namespace corvane {
namespace {

using testing::DataFolderTest;
using testing::RawRecord;

// A membership: login 0/20, group 20/20, Active 40, Deleted 42; slot 84, data 44.
class Membership : public LinkTable {
public:
    enum Field : int { kUserLogin, kGroup, kActive, kDeleted };
    Membership() : LinkTable(Table()) {}
    static const RecordDescription& Table() {
        static const RecordDescription d = RecordDescription::Build({
            .className = "UserMember",
            .tableName = "UserMembership",
            .defaultFileName = "members.sec",
            .fileNameOverride = &gMemberFile,
            .slotLength = 84,
            .dataLength = 44,
            .fields = {{kUserLogin, "UserLogin", FieldKind::Text, 0, 20},
                       {kGroup, "Group", FieldKind::Text, 20, 20},
                       {kActive, "Active", FieldKind::Flag, 40, 2},
                       {kDeleted, "Deleted", FieldKind::Flag, 42, 2, FieldRole::BufferOnly}},
            .keyFields = {"Group", "UserLogin"},
            .identityName = "MemberID",
            .deleteSpaceFields = {"UserLogin", "Group"},
            .addNewKeyField = "UserLogin",
        });
        return d;
    }
    std::int32_t MemberID() const { return Identity(); }
    std::string UserLogin() const { return TextField(kUserLogin); }
    void SetUserLogin(std::string v) { SetTextField(kUserLogin, std::move(v)); }
    std::string Group() const { return TextField(kGroup); }
    void SetGroup(std::string v) { SetTextField(kGroup, std::move(v)); }
    bool LoadGroup(std::string_view login, std::vector<std::int32_t>& ids) {
        ids.clear();
        return LoadMatching("LoadGroup", kUserLogin, login, [&] { ids.push_back(MemberID()); });
    }
};

RawRecord Link(std::string_view login, std::string_view group, std::int16_t deleted = 0) {
    RawRecord r(44);
    r.Text(0, 20, login).Text(20, 20, group).Int16(42, deleted);
    return r;
}

// A log entry: login 0/20, name 20/50, ..., Active 188, Deleted 192; slot 364, data 194.
class Log : public LogTable {
public:
    enum Field : int { kUserLogin, kUserName, kAppName, kComputer, kLoginStamp, kLogoutStamp, kFailed,
                       kActive, kInvalid, kDeleted };
    Log() : LogTable(Table()) {}
    static const RecordDescription& Table() {
        using K = FieldKind;
        static const RecordDescription d = RecordDescription::Build({
            .className = "UserLog",
            .tableName = "UserLog",
            .defaultFileName = "userlog.sec",
            .fileNameOverride = &gUserLogFile,
            .slotLength = 364,
            .dataLength = 194,
            .fields = {{kUserLogin, "UserLogin", K::Text, 0, 20},  {kUserName, "UserName", K::Text, 20, 50},
                       {kAppName, "AppName", K::Text, 70, 50},      {kComputer, "Computer", K::Text, 120, 50},
                       {kLoginStamp, "LoginStamp", K::Date, 170, 8}, {kLogoutStamp, "LogoutStamp", K::Date, 178, 8},
                       {kFailed, "Failed", K::Flag, 186, 2},         {kActive, "Active", K::Flag, 188, 2},
                       {kInvalid, "Invalid", K::Flag, 190, 2},
                       {kDeleted, "Deleted", K::Flag, 192, 2, FieldRole::BufferOnly}},
            .keyFields = {"UserLogin"},
            .identityName = "LogID",
            .deleteSpaceFields = {"UserLogin", "UserName", "AppName", "Computer"},
            .addNewKeyField = "UserLogin",
            .keyPolicy = KeyPolicy::RecordNumber,
            .yieldBeforeEnumerate = true,
        .reverseWalkAnnouncesFirst = true,
        });
        return d;
    }
    std::int32_t LogID() const { return Identity(); }
    std::string UserLogin() const { return TextField(kUserLogin); }
    void SetUserLogin(std::string v) { SetTextField(kUserLogin, std::move(v)); }
};

RawRecord Entry(std::string_view login, std::int16_t deleted = 0) {
    RawRecord r(194);
    r.Text(0, 20, login).Int16(192, deleted);
    return r;
}

class TableKinds : public DataFolderTest {};

TEST_F(TableKinds, LinkKeysArePairsAndBlankOnlyWhenBothAre) {
    WriteSlots("members.sec", 84,
               {Link("jsmith", "ADMINS", -1), Link("  ", "  "), Link("jsmith", "ADMINS"), Link("jsmith", "ADMINS"),
                Link("", "lonely"), Link("kim", "")});
    Membership m;
    EXPECT_TRUE(m.Exists(" admins ", "JSmith"));
    EXPECT_EQ(m.Loc(), 3);  // the lowest valid match
    EXPECT_FALSE(m.Exists("admins", "kim"));
    EXPECT_TRUE(m.Load("", "kim"));  // a blank group alone is still a key
    EXPECT_EQ(m.MemberID(), 6);
    EXPECT_EQ(m.RecordCount(), 4);

    std::vector<std::int32_t> ids;
    EXPECT_TRUE(m.LoadGroup("JSMITH", ids));
    EXPECT_EQ(ids, (std::vector<std::int32_t>{3, 4}));
    EXPECT_EQ(m.Loc(), 7);  // past the last slot
    EXPECT_TRUE(m.IsSynchronised());
    EXPECT_FALSE(m.IsDirty());
    EXPECT_EQ(m.MemberID(), 4);  // the last match

    EXPECT_FALSE(m.LoadGroup("nobody", ids));
    EXPECT_TRUE(m.NoMatch());
    EXPECT_FALSE(m.IsSynchronised());
    EXPECT_EQ(m.MemberID(), 4);  // unchanged
}

TEST_F(TableKinds, LinkTombstoneAndAppend) {
    WriteSlots("members.sec", 84, {Link("a", "g")});
    Membership m;
    m.Delete(1);
    EXPECT_EQ(ReadFile(Path("members.sec")).substr(0, 44), std::string(40, ' ') + std::string("\0\0\xFF\xFF", 4));
    m.SetGroup("g");
    EXPECT_THROW(m.AddNew(), RaisedError);  // the login alone decides
    m.SetGroup("");
    m.SetUserLogin("b");
    m.AddNew();
    EXPECT_EQ(m.MemberID(), 2);
    EXPECT_TRUE(m.Exists("", "b"));
}

TEST_F(TableKinds, LinkLoaderErrorsCarryTheirOwnWord) {
    gDataPath = Path("missing");
    Membership m;
    std::vector<std::int32_t> ids;
    try {
        m.LoadGroup("x", ids);
        FAIL();
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), vbObjectError + 11);
        EXPECT_EQ(e.Source(), "UserMember.LoadGroup");
    }
}

TEST_F(TableKinds, LogRecordsAreFoundByNumber) {
    WriteSlots("userlog.sec", 364, {Entry("ann"), Entry("bob", -1), Entry("  "), Entry("cat")});
    Log log;
    log.OpenTable();
    for (std::int32_t n : {0, -1, 5, 2, 3}) {
        EXPECT_FALSE(log.Exists(n)) << n;
        EXPECT_TRUE(log.NoMatch());
    }
    EXPECT_FALSE(log.Load(0));
    EXPECT_EQ(log.Loc(), 3);  // out-of-range numbers read nothing
    ASSERT_TRUE(log.Load(4));
    EXPECT_EQ(log.LogID(), 4);
    EXPECT_EQ(log.UserLogin(), "cat");
    EXPECT_FALSE(log.Load(2));
    EXPECT_FALSE(log.IsSynchronised());
    EXPECT_EQ(log.UserLogin(), "cat");
    EXPECT_TRUE(log.Exists(1));
    EXPECT_FALSE(log.NoMatch());
    EXPECT_EQ(log.UserLogin(), "cat");
}

TEST_F(TableKinds, LogAppendsCountAndYieldBeforeEnumerating) {
    std::string bytes = Entry("a").Slot(364) + Entry("b").Slot(364) + Entry("c").Slot(364) + Entry("d").Slot(364) +
                        Entry("e").Data();
    WriteFile(Path("userlog.sec"), bytes);
    Log log;
    EXPECT_EQ(log.RecordCount(), 5);
    log.SetUserLogin("f");
    log.AddNew();
    EXPECT_EQ(log.LogID(), 6);
    log.Delete(6);
    const std::string tomb = ReadFile(Path("userlog.sec")).substr(5 * 364, 194);
    EXPECT_EQ(tomb.substr(0, 170), std::string(170, ' '));
    EXPECT_EQ(tomb.substr(170, 24), std::string(22, '\0') + "\xFF\xFF");

    int yields = 0, announced = 0;
    SetYieldHook([&] { ++yields; });
    log.SetObserver([&](TableNotification n) { announced += n == TableNotification::Enumerated; });
    log.Enumerate(true);
    EXPECT_EQ(yields, 1);
    EXPECT_EQ(announced, 5);
}

TEST(RecordDescriptions, MistakesFailAtBuild) {
    const auto build = [](std::uint32_t secondOffset, const char* key) {
        return RecordDescription::Build({
            .className = "Bad",
            .tableName = "Bad",
            .defaultFileName = "bad.sec",
            .slotLength = 8,
            .dataLength = 4,
            .fields = {{0, "Key", FieldKind::Text, 0, 2}, {1, "Deleted", FieldKind::Flag, secondOffset, 2, FieldRole::BufferOnly}},
            .keyFields = {key},
            .identityName = "ID",
            .addNewKeyField = "Key",
        });
    };
    EXPECT_NO_THROW(build(2, "Key"));
    EXPECT_THROW(build(3, "Key"), std::logic_error);  // a gap
    EXPECT_THROW(build(2, "Nope"), std::logic_error);  // an unknown key
    EXPECT_THROW(build(2, "Deleted"), std::logic_error);  // a key that is no text
}

}  // namespace
}  // namespace corvane
