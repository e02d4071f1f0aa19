// Writes over a record another workstation deleted or renamed since this object read it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/core/raised_error.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"

namespace corvane {
namespace {

using testing::DataFolderTest;
using testing::Int16At;
using testing::kUserData;
using testing::kUserSlot;
using testing::UserRecord;

// The engine's buffer write, as the lock operations use it between their search and write.
struct EngineUser : User {
    using RecordTable::Engine;
};

class StaleWrites : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        WriteAccounts();
    }
    void WriteAccounts() {
        testing::WriteUsers(UsersPath(), {UserRecord("ann", "Ann").Int32(515, 2), UserRecord("bob", "Bob")});
    }
    std::string SlotBytes(int n) { return SlotData("users.sec", kUserSlot, kUserData, n); }

    // What another workstation does to ann between this one's load and its write.
    static void DeleteAnn() { User().Delete(1); }
    static void RenameAnn() {
        User other;
        ASSERT_TRUE(other.Load("ann"));
        other.SetLogin("anna");
        other.SaveChanges();
    }
};

TEST_F(StaleWrites, AWriteOverARecordDeletedOrRenamedMeanwhileIsRefused) {
    struct Case {
        const char* name;
        std::function<void()> meanwhile;
        std::function<void(User&)> write;
        std::int32_t number;  // vbObjectError + number
        const char* source;
    };
    const std::function<void()> kMeanwhile[] = {DeleteAnn, RenameAnn};
    const Case cases[] = {
        {"SaveChanges", nullptr, [](User& u) {
             u.SetDescription("stale");
             u.SaveChanges();
         }, 4, "User.SaveChanges"},
        {"Delete", nullptr, [](User& u) { u.Delete(); }, 10, "User.Delete"},
    };
    for (const auto& meanwhile : kMeanwhile) {
        for (const Case& c : cases) {
            WriteAccounts();
            SCOPED_TRACE(c.name);
            User user;
            ASSERT_TRUE(user.Load("ann"));
            meanwhile();
            const std::string before = ReadFile(UsersPath());
            try {
                c.write(user);
                ADD_FAILURE() << "the stale write was accepted";
            } catch (const RaisedError& e) {
                EXPECT_EQ(e.Number(), vbObjectError + c.number);
                EXPECT_EQ(e.Source(), c.source);
                EXPECT_NE(e.Description().find("[63]"), std::string::npos) << e.Description();
            }
            EXPECT_EQ(ReadFile(UsersPath()), before);
        }
    }
}

TEST_F(StaleWrites, ALockWriteOverARecordDeletedOrRenamedSinceItWasFoundIsRefused) {
    for (const auto& meanwhile : {DeleteAnn, RenameAnn}) {
        WriteAccounts();
        EngineUser user;
        ASSERT_TRUE(user.Exists("ann"));
        meanwhile();
        const std::string before = ReadFile(UsersPath());
        EXPECT_THROW(user.Engine().WriteBuffer(user.Loc()), RaisedError);
        EXPECT_EQ(ReadFile(UsersPath()), before);
    }
    // Found and still there: written.
    EngineUser user;
    ASSERT_TRUE(user.Exists("bob"));
    user.Engine().WriteBuffer(user.Loc());
    user.LockRecord("bob", "admin");
    EXPECT_EQ(Int16At(SlotBytes(2), 2080), -1);
}

TEST_F(StaleWrites, ARenameThroughTheLoadedObjectStaysASave) {
    User user;
    ASSERT_TRUE(user.Load("ann"));
    user.SetLogin("anna");
    user.SaveChanges();
    user.SetName("Anna");
    user.SaveChanges();  // the slot holds the key this object wrote
    EXPECT_EQ(SlotBytes(1).substr(0, 70), UserRecord("anna", "Anna").Data().substr(0, 70));
    user.Delete();
    EXPECT_EQ(Int16At(SlotBytes(1), 2078), -1);
}

TEST_F(StaleWrites, UpdateFieldsChangesOnlyWhatTheCallerSetsOnTheRecordAsItStandsNow) {
    User first;
    User second;
    ASSERT_TRUE(first.Load("ann"));
    ASSERT_TRUE(second.Load("ann"));
    {
        User admin;  // another workstation's edit after both loads
        ASSERT_TRUE(admin.Load("ann"));
        admin.SetDisabled(kFlagTrue);
        admin.SaveChanges();
    }
    for (User* u : {&first, &second}) {
        EXPECT_TRUE(u->UpdateFields([](User& fresh) { fresh.SetFailedLogins(fresh.FailedLogins() + 1); }));
        EXPECT_FALSE(u->IsDirty());
    }
    EXPECT_EQ(second.FailedLogins(), 4);
    EXPECT_EQ(second.Disabled(), kFlagTrue);
    User check;
    ASSERT_TRUE(check.Load("ann"));
    EXPECT_EQ(check.FailedLogins(), 4);
    EXPECT_EQ(check.Disabled(), kFlagTrue);
}

TEST_F(StaleWrites, UpdateFieldsWritesNothingForAnAccountDeletedRenamedOrNeverLoaded) {
    for (const auto& meanwhile : {DeleteAnn, RenameAnn}) {
        WriteAccounts();
        User user;
        ASSERT_TRUE(user.Load("ann"));
        meanwhile();
        const std::string before = ReadFile(UsersPath());
        bool called = false;
        EXPECT_FALSE(user.UpdateFields([&](User& fresh) {
            called = true;
            fresh.SetFailedLogins(9);
        }));
        EXPECT_FALSE(called);
        EXPECT_EQ(user.FailedLogins(), 2);  // the members as loaded
        EXPECT_EQ(ReadFile(UsersPath()), before);
    }
    User never;
    EXPECT_FALSE(never.UpdateFields([](User& u) { u.SetFailedLogins(1); }));
    EXPECT_FALSE(never.Load("nobody"));
    EXPECT_FALSE(never.UpdateFields([](User& u) { u.SetFailedLogins(1); }));
}

TEST_F(StaleWrites, DeleteValidNamesWhatItDeletedAndDeletesOnlyOnce) {
    User user;
    EXPECT_EQ(user.DeleteValid(2), std::optional<std::string>("bob"));
    EXPECT_EQ(Int16At(SlotBytes(2), 2078), -1);
    const std::string before = ReadFile(UsersPath());
    for (std::int32_t n : {2, 3, 0, -1}) EXPECT_EQ(user.DeleteValid(n), std::nullopt) << n;
    EXPECT_EQ(ReadFile(UsersPath()), before);
}

TEST_F(StaleWrites, WhileValidRunsOnlyForTheRecordStillHoldingThatKey) {
    struct Case {
        std::int32_t number;
        const char* key;
        bool runs;
    };
    const Case cases[] = {{1, " ANN ", true}, {1, "bob", false}, {2, "bob", true}, {3, "ann", false}, {0, "ann", false}};
    User user;
    for (const Case& c : cases) {
        bool ran = false;
        EXPECT_EQ(user.WhileValid(c.number, c.key, [&] { ran = true; }), c.runs) << c.number << c.key;
        EXPECT_EQ(ran, c.runs);
    }
    DeleteAnn();
    EXPECT_FALSE(user.WhileValid(1, "ann", [] { ADD_FAILURE(); }));
}

}  // namespace
}  // namespace corvane
