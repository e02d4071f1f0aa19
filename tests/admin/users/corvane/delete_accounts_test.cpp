// The user window's Delete without the window: accounts in list order, each with its links,
// a line in the activity log for each one deleted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "admin/users/corvane/account_delete.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"
#include "support/activity_lines.h"
#include "support/faulty_record_io.h"
#include "support/user_admin_test.h"

using namespace corvane;

namespace {

class DeleteAccountsTest : public test::UserAdminTest {
protected:
    void SetUp() override {
        UserAdminTest::SetUp();
        gEnableActivityLogging = true;
    }
    void TearDown() override {
        gEnableActivityLogging = false;
        UserAdminTest::TearDown();
    }
};

TEST_F(DeleteAccountsTest, EachAccountGoesWithItsLinksAndALine) {
    std::vector<std::int32_t> ids;
    for (const char* login : {"ann", "bob", "cat", "dan"}) {
        ids.push_back(AddUser(login));
        LinkEverywhere(login);
    }
    DeleteAccounts({ids[3], ids[2], ids[1]});
    for (const char* gone : {"bob", "cat", "dan"}) {
        EXPECT_FALSE(User().Exists(gone)) << gone;
        EXPECT_EQ(Links(gone), (std::vector<int>{0, 0, 0, 0})) << gone;
    }
    EXPECT_EQ(Links("ann"), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(test_support::ActivityLines(),
              (std::vector<std::string>{"Delete User(s) - dan", "Delete User(s) - cat", "Delete User(s) - bob"}));
    EXPECT_TRUE(errors_.empty());
}

// Another workstation renamed one account and deleted another since the list was read.
TEST_F(DeleteAccountsTest, GoesByTheRecordAsItStandsAtTheDelete) {
    const std::int32_t ann = AddUser("ann");
    const std::int32_t bob = AddUser("bob");
    const std::int32_t cat = AddUser("cat");
    {
        User other;
        ASSERT_TRUE(other.Load("bob"));
        other.SetLogin("rob");
        other.SaveChanges();
    }
    LinkEverywhere("rob");
    User().Delete(ann);
    DeleteAccounts({ann, bob, cat});
    EXPECT_EQ(UserCount(), 0);
    EXPECT_EQ(Links("rob"), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(test_support::ActivityLines(), (std::vector<std::string>{"Delete User(s) - rob", "Delete User(s) - cat"}));
    EXPECT_TRUE(errors_.empty());
}

// The handler answers "leave": the first failure ends the Delete, the rest stand.
TEST_F(DeleteAccountsTest, AFailureIsReportedAndEndsTheDelete) {
    const std::int32_t ann = AddUser("ann");
    const std::int32_t bob = AddUser("bob");
    LinkEverywhere("ann");
    test_support::FaultyRecordIo io;
    io.FailWrite(1, ENOSPC);
    {
        test_support::RecordIoScope scope(io);
        DeleteAccounts({ann, bob});
    }
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_.front().rfind("frmCorvane.DeleteUsers", 0), 0u) << errors_.front();
    EXPECT_TRUE(User().Exists("ann"));
    EXPECT_TRUE(User().Exists("bob"));
    EXPECT_EQ(Links("ann"), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_TRUE(test_support::ActivityLines().empty());
}

}  // namespace
