// The access-level, group and membership tables against bytes typed from their formats.
#include <gtest/gtest.h>

#include <string>

#include "platform/core/program_globals.h"
#include "recordstore/keyed_contract.h"
#include "recordstore/link_contract.h"
#include "recordstore/user_access.h"
#include "recordstore/user_group.h"
#include "recordstore/user_member.h"

namespace corvane::testing {

template <>
struct KeyedTraits<UserAccess>
    : KeyedAccess<UserAccess, &UserAccess::Name, &UserAccess::SetName, &UserAccess::AccessID, &UserAccess::AccessCount> {
    static constexpr const char* kFile = "access.sec";
    static constexpr std::size_t kSlot = 196, kData = 106, kKeyWidth = 20, kDeleted = 24, kLock = 26;
    static constexpr const char* kClass = "UserAccess";
    static constexpr const char* kTableName = "UserAccess";
    static std::vector<Span> Spaces() { return {{0, 20}}; }
    static std::string* Override() { return &gAccessFile; }
};

template <>
struct KeyedTraits<UserGroup>
    : KeyedAccess<UserGroup, &UserGroup::Name, &UserGroup::SetName, &UserGroup::GroupID, &UserGroup::GroupCount> {
    static constexpr const char* kFile = "groups.sec";
    static constexpr std::size_t kSlot = 704, kData = 359, kKeyWidth = 20, kDeleted = 277, kLock = 279;
    static constexpr const char* kClass = "UserGroup";
    static constexpr const char* kTableName = "UserGroup";
    static std::vector<Span> Spaces() { return {{0, 20}, {20, 255}}; }
    static std::string* Override() { return &gGroupFile; }
};

template <>
struct LinkTraits<UserMember>
    : LinkAccess<UserMember, &UserMember::Group, &UserMember::SetGroup, &UserMember::MemberID, &UserMember::LoadGroup,
                 &UserMember::LoadMembers, &UserMember::UserMembers, &UserMember::SetUserMembers> {
    static constexpr const char* kFile = "members.sec";
    static constexpr std::size_t kSlot = 84, kData = 44, kKeyWidth = 20, kActive = 40, kDeleted = 42;
    static constexpr const char* kClass = "UserMember";
    static constexpr const char* kTableName = "UserMembership";
    static constexpr const char* kByLogin = "LoadGroup";
    static constexpr const char* kByKey = "LoadMembers";
    static constexpr const char* kSaveWord = "SaveMembers";
    static std::string* Override() { return &gMemberFile; }
};

using AccountKeyedTables = ::testing::Types<UserAccess, UserGroup>;
INSTANTIATE_TYPED_TEST_SUITE_P(Accounts, KeyedContract, AccountKeyedTables);
using AccountLinkTables = ::testing::Types<UserMember>;
INSTANTIATE_TYPED_TEST_SUITE_P(Accounts, LinkContract, AccountLinkTables);

namespace {

class AccountTables : public ContractTest {};

TEST_F(AccountTables, AccessLevelFieldsAtTheirOffsets) {
    RawRecord stored(106);
    stored.Text(0, 20, "Auditors").Int16(20, -300).Int16(22, -1).Int16(26, -1).Text(28, 20, "root")
        .Text(48, 50, "PC-9").Double(98, 45000.5);
    WriteSlots("access.sec", 196, {stored});
    UserAccess a;
    ASSERT_TRUE(a.Load("auditors"));
    EXPECT_EQ(a.AccessID(), 1);
    EXPECT_EQ(a.Name(), "Auditors");
    EXPECT_EQ(a.Level(), -300);
    EXPECT_EQ(a.Default(), -1);
    EXPECT_EQ(a.RecordLocked(), -1);
    EXPECT_EQ(a.RecordLockedBy(), "root");
    EXPECT_EQ(a.RecordLockedOn(), "PC-9");
    EXPECT_EQ(a.RecordLockedAt(), 45000.5);

    // A change is written over the same slot; the lock stays as it was.
    a.SetLevel(7);
    a.SetDefault(0);
    a.SaveChanges();
    stored.Int16(20, 7).Int16(22, 0);
    EXPECT_EQ(SlotData("access.sec", 196, 106, 1), stored.Data());

    UserAccess fresh;
    fresh.SetName("Guests");
    fresh.SetLevel(2);
    fresh.SetDefault(-1);
    fresh.AddNew();
    EXPECT_EQ(fresh.AccessID(), 2);
    EXPECT_EQ(SlotData("access.sec", 196, 106, 2), RawRecord(106).Text(0, 20, "Guests").Int16(20, 2).Int16(22, -1).Data());
}

TEST_F(AccountTables, GroupFieldsAtTheirOffsets) {
    RawRecord stored(359);
    stored.Text(0, 20, "Staff").Text(20, 255, "Everyone on the payroll").Int16(275, -1).Int16(279, 1)
        .Text(281, 20, "admin").Text(301, 50, "HOST").Double(351, 1.25);
    WriteSlots("groups.sec", 704, {stored});
    UserGroup g;
    ASSERT_TRUE(g.Load(" STAFF "));
    EXPECT_EQ(g.GroupID(), 1);
    EXPECT_EQ(g.Description(), "Everyone on the payroll");
    EXPECT_EQ(g.Default(), -1);
    EXPECT_EQ(g.RecordLocked(), 1);
    EXPECT_EQ(g.RecordLockedBy(), "admin");
    EXPECT_EQ(g.RecordLockedOn(), "HOST");
    EXPECT_EQ(g.RecordLockedAt(), 1.25);

    g.SetDescription(std::string(300, 'd'));  // cut to 255
    g.SaveChanges();
    stored.Text(20, 255, std::string(255, 'd'));
    EXPECT_EQ(SlotData("groups.sec", 704, 359, 1), stored.Data());
    EXPECT_EQ(g.Description(), std::string(300, 'd'));  // the member keeps what was set

    UserGroup copy;
    copy.CopyObject(&g);
    EXPECT_EQ(copy.GroupID(), 1);
    EXPECT_EQ(copy.Name(), "Staff");
    EXPECT_FALSE(copy.IsDirty());
    EXPECT_EQ(copy.RecordLocked(), 0);  // locks live in the buffer, which is not copied
    copy.Clear();
    EXPECT_EQ(copy.GroupID(), 0);
    EXPECT_EQ(copy.Name(), "");
    EXPECT_EQ(copy.Default(), 0);
}

TEST_F(AccountTables, MembershipActiveIsStoredAndCopied) {
    WriteSlots("members.sec", 84, {RawRecord(44).Text(0, 20, "ann").Text(20, 20, "Staff").Int16(40, -1)});
    UserMember m;
    ASSERT_TRUE(m.Load("staff", "ANN"));
    EXPECT_EQ(m.Active(), -1);
    m.SetActive(0);
    m.SetGroup("Office");
    m.SaveChanges();
    EXPECT_EQ(SlotData("members.sec", 84, 44, 1), RawRecord(44).Text(0, 20, "ann").Text(20, 20, "Office").Data());
    m.SetActive(-1);
    m.AddNew();
    ASSERT_TRUE(m.LoadMembers("office"));
    ASSERT_EQ(m.UserMembers()->Count(), 2);
    EXPECT_EQ(m.UserMembers()->Item(1)->Active(), 0);
    EXPECT_EQ(m.UserMembers()->Item(2)->Active(), -1);
    EXPECT_EQ(m.UserMembers()->Item(2)->MemberID(), 2);
}

}  // namespace
}  // namespace corvane::testing
