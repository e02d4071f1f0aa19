// The advisory record locks in the last 80 data bytes of users.sec.
#include <gtest/gtest.h>

#include "platform/core/ole_date.h"
#include "recordstore/user.h"
#include "recordstore/test_support.h"

namespace corvane {
namespace {

using testing::DataFolderTest;
using testing::Int16At;
using testing::kUserData;
using testing::kUserSlot;
using testing::UserRecord;

class RecordLocks : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        UseComputerName(kComputer);
        // 2024-05-06 07:08:09.600 local time.
        UseClock(*FromParts({2024, 5, 6, 7, 8, 9, 600}));
        testing::WriteUsers(UsersPath(), {UserRecord("ann", "Ann"), UserRecord("bob", "Bob").Int16(2080, 1)});
    }
    std::string SlotBytes(int n) { return SlotData("users.sec", kUserSlot, kUserData, n); }

    // 60 characters: stored cut to 50.
    static constexpr const char* kComputer = "WORKSTATION-0123456789-0123456789-0123456789-0123456789-ABCD";
};

TEST_F(RecordLocks, LockWritesWhoWhereAndWhenAndLeavesTheMembers) {
    User user;
    ASSERT_TRUE(user.Load("bob"));
    user.LockRecord("ANN", "a-very-long-login-name-indeed");

    const std::string ann = SlotBytes(1);
    EXPECT_EQ(Int16At(ann, 2080), -1);
    EXPECT_EQ(ann.substr(2082, 20), "a-very-long-login-na");
    EXPECT_EQ(ann.substr(2102, 50), std::string(kComputer).substr(0, 50));
    EXPECT_EQ(ann.substr(0, 70), UserRecord("ann", "Ann").Data().substr(0, 70));
    EXPECT_EQ(user.Login(), "bob");
    EXPECT_EQ(user.Loc(), 1);

    EXPECT_EQ(user.IsRecordLocked("ann"), -1);
    EXPECT_EQ(user.RecordLockedBy(), "a-very-long-login-na");
    EXPECT_EQ(user.RecordLockedOn(), std::string(kComputer).substr(0, 50));
    EXPECT_EQ(FormatIso(user.RecordLockedAt()), "2024-05-06 07:08:10");  // to whole seconds
}

TEST_F(RecordLocks, ReleaseClearsTheLock) {
    User user;
    user.LockRecord("ann", "admin");
    user.ReleaseRecordLock("ann");
    const std::string ann = SlotBytes(1);
    EXPECT_EQ(Int16At(ann, 2080), 0);
    EXPECT_EQ(ann.substr(2082, 70), std::string(70, ' '));
    EXPECT_EQ(ann.substr(2152, 8), std::string(8, '\0'));
    EXPECT_EQ(user.IsRecordLocked("ann"), 0);
    EXPECT_EQ(user.RecordLockedBy(), "");
    EXPECT_EQ(user.RecordLockedOn(), "");
    EXPECT_EQ(user.RecordLockedAt(), 0.0);
}

TEST_F(RecordLocks, StoredValuesAreHandedOutAsStored) {
    User user;
    EXPECT_EQ(user.IsRecordLocked("bob"), 1);  // any non-zero value is locked
    EXPECT_EQ(user.IsRecordLocked("ann"), 0);
    EXPECT_EQ(user.RecordLockedAt(), 0.0);
}

TEST_F(RecordLocks, UnknownKeyWritesNothing) {
    const std::string before = ReadFile(UsersPath());
    User user;
    EXPECT_FALSE(user.LockRecord("nobody", "admin"));
    EXPECT_TRUE(user.NoMatch());
    EXPECT_EQ(user.IsRecordLocked("nobody"), 0);
    user.ReleaseRecordLock("nobody");
    EXPECT_EQ(ReadFile(UsersPath()), before);
}

}  // namespace
}  // namespace corvane
