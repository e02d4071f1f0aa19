// The account the new-user wizard creates, without the window.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "admin/users/wizard/account_creation.h"
#include "platform/core/ole_date.h"
#include "recordstore/user.h"
#include "session/login/account_table_check.h"
#include "support/fake_clock.h"
#include "support/own_registry.h"
#include "support/faulty_record_io.h"
#include "support/password_hash_check.h"
#include "support/user_admin_test.h"

using namespace corvane;

namespace {

class AccountCreationTest : public test::UserAdminTest {
protected:
    static NewAccount Account(const std::string& login, std::int32_t access = 1) {
        return NewAccount{login, "Full Name", "line one\nline two", "pa ss", access};
    }
    // The set-up record goes to a machine hive of this test's own.
    test_support::OwnRegistry registry_{folder_.Path(), test_support::OwnRegistry::kRegistryOnly};
};

TEST_F(AccountCreationTest, TheLoginTypedOnTheFirstStep) {
    AddUser("alice");
    struct Row {
        const char* login;
        NewLoginCheck check;
    };
    const Row rows[] = {
        {"", NewLoginCheck::kBlank},          {"ALICE", NewLoginCheck::kTaken},
        {"aNoNyMoUs", NewLoginCheck::kTaken}, {"bob", NewLoginCheck::kFree},
    };
    for (const Row& row : rows) EXPECT_EQ(CheckNewLogin(row.login), row.check) << row.login;
    EXPECT_TRUE(errors_.empty());

    gUserFile = folder_.Path();  // a folder: the table cannot be read
    EXPECT_EQ(CheckNewLogin("bob"), NewLoginCheck::kFailed);
    EXPECT_EQ(errors_, (std::vector<std::string>{"frmWizard.ValidateSteps 11"}));
}

TEST_F(AccountCreationTest, StoresEveryFieldWithAHashedPasswordStampedNow) {
    test::FakeClock clock({2026, 3, 4, 10, 20, 30});
    for (std::int32_t access : {0, 1}) {
        SCOPED_TRACE(access);
        const std::string login = access == 0 ? "boss" : "worker";
        const AccountCreation created = CreateAccount(Account(login, access), "");
        EXPECT_TRUE(created.added);
        EXPECT_FALSE(created.taken);
        EXPECT_EQ(created.login, login);
        User u;
        ASSERT_TRUE(u.Load(login));
        EXPECT_EQ(u.Name(), "Full Name");
        EXPECT_EQ(u.Description(), "line one\nline two");
        EXPECT_TRUE(test_support::IsHashOf(u.Password(), "pa ss"));
        EXPECT_EQ(u.PasswordStamp(), *FromParts({2026, 3, 4, 10, 20, 30}));
        EXPECT_EQ(u.AccessLevel(), access);
        EXPECT_EQ(u.IsAdministrator(), Flag(access == 0));
    }
    EXPECT_EQ(UserCount(), 2);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(AccountCreationTest, NeverOverAnAccountAddedElsewhereSinceTheCheck) {
    const std::int32_t theirs = AddUser({"DORA", 2});
    const AccountCreation created = CreateAccount(Account("dora"), "");
    EXPECT_FALSE(created.added);
    EXPECT_TRUE(created.taken);
    User u;
    ASSERT_TRUE(u.Load("dora"));
    EXPECT_EQ(u.UserID(), theirs);
    EXPECT_EQ(u.AccessLevel(), 2);
    EXPECT_EQ(UserCount(), 1);
}

// The first account in the data folder's own table marks the folder as set up, so an empty
// table later is damage; an account written to another table does not.
TEST_F(AccountCreationTest, TheFirstAccountOfTheDataFolderRecordsItsSetUp) {
    ASSERT_FALSE(DataFolderSetUp());
    const std::string elsewhere = folder_.Path() + "/other.sec";
    EXPECT_TRUE(CreateAccount(Account("eve"), elsewhere).added);
    EXPECT_FALSE(DataFolderSetUp());
    EXPECT_TRUE(CreateAccount(Account("admin", 0), "").added);
    EXPECT_TRUE(DataFolderSetUp());
}

TEST_F(AccountCreationTest, AFailureAddsNothingAndIsReported) {
    EXPECT_FALSE(CreateAccount(Account("eve"), folder_.Path()).added);  // a folder, not a table
    EXPECT_EQ(errors_, (std::vector<std::string>{"frmWizard.SaveData 11"}));
    EXPECT_FALSE(DataFolderSetUp());

    for (const auto& fault : test_support::DiskFaults()) {
        SCOPED_TRACE(fault.what);
        std::filesystem::remove(folder_.Path() + "/users.sec");
        errors_.clear();
        test_support::FaultyRecordIo io;
        fault.arm(io);
        AccountCreation created;
        {
            test_support::RecordIoScope scope(io);
            created = CreateAccount(Account("eve"), "");
        }
        EXPECT_EQ(created.added, fault.appendLands);
        EXPECT_EQ(errors_.empty(), fault.appendLands);
        EXPECT_EQ(User().Exists("eve"), fault.appendLands);
    }
}

}  // namespace
