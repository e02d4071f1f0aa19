// Missing folders, folders in place of files, damaged files: clear errors, nothing written,
// nothing crashes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <random>

#include "recordstore/user.h"
#include "recordstore/test_support.h"

namespace corvane {
namespace {

using testing::DataFolderTest;
using testing::kUserData;
using testing::kUserSlot;
using testing::UserRecord;

class BadInput : public DataFolderTest {};

struct Call {
    const char* source;
    std::int32_t number;  // what the caller receives for an unopenable file
    std::function<void(User&)> run;
};

const Call kOpeningCalls[] = {
    {"User.OpenTable", 11, [](User& u) { u.OpenTable(); }},
    {"User.Load", 11, [](User& u) { u.Load("ann"); }},
    {"User.Exists", 11, [](User& u) { u.Exists("ann"); }},
    {"User.AccessLevelExists", 11, [](User& u) { u.AccessLevelExists("x"); }},
    {"User.Delete", 11, [](User& u) { u.Delete(1); }},
    {"User.AddNew", 11, [](User& u) { u.SetLogin("ann"); u.AddNew(); }},
    {"User.OpenTable", 11, [](User& u) { u.MoveFirst(); }},  // unwrapped: passes through
    {"User.OpenTable", 11, [](User& u) { u.RecordCount(); }},
    {"User.OpenTable", 11, [](User& u) { u.UserCount(); }},
    {"User.Exists", 11, [](User& u) { u.IsRecordLocked("ann"); }},  // as Exists raised it
};

void ExpectOpenFailure(const std::string& what, const std::string& detail) {
    for (const auto& call : kOpeningCalls) {
        User user;
        try {
            call.run(user);
            ADD_FAILURE() << what << ": " << call.source << " did not fail";
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), vbObjectError + call.number) << what << " " << call.source;
            EXPECT_EQ(e.Source(), call.source) << what;
            EXPECT_EQ(e.Description().rfind("Data Engine Misbehaved on OpenTable, Error Number: [", 0), 0u)
                << e.Description();
            EXPECT_NE(e.Description().find(detail), std::string::npos) << e.Description();
        }
        EXPECT_THROW(user.Loc(), RaisedError);  // left closed
    }
}

TEST_F(BadInput, MissingDataFolder) {
    gDataPath = Path("no/such/folder");
    ExpectOpenFailure("missing folder", "Path not found");
    EXPECT_FALSE(std::filesystem::exists(Path("no")));
}

TEST_F(BadInput, FolderInPlaceOfTheTableFile) {
    std::filesystem::create_directory(UsersPath());
    ExpectOpenFailure("folder", "Path/File access error");
    EXPECT_TRUE(std::filesystem::is_directory(UsersPath()));
}

TEST_F(BadInput, FifoInPlaceOfTheTableFile) {
    ASSERT_EQ(::mkfifo(UsersPath().c_str(), 0600), 0);
    ExpectOpenFailure("fifo", "not a regular file");
}

TEST_F(BadInput, DataPathThroughAFile) {
    WriteFile(Path("plain"), "x");
    gDataPath = Path("plain");
    ExpectOpenFailure("file as folder", "Path not found");
}

TEST_F(BadInput, OpenFailureInsideLoadKeepsTheBusyNumber) {
    gDataPath = Path("missing");
    User user;
    try {
        user.Load("ann");
        FAIL();
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Description().rfind("Data Engine Misbehaved on OpenTable, Error Number: [-2147221493]\r\n"
                                        "Description: Data Engine Misbehaved on OpenTable, Error Number: [76]\r\n"
                                        "Description: Path not found (",
                                        0),
                  0u)
            << e.Description();
    }
    EXPECT_EQ(user.TablePathName(), Path("missing") + "/users.sec");  // keeps the path it tried
}

TEST_F(BadInput, RefreshOnANeverOpenedTableIsWrapped) {
    User user;
    try {
        user.Refresh();
        FAIL();
    } catch (const RaisedError& e) {
        EXPECT_EQ(e.Number(), vbObjectError + 13);
        EXPECT_EQ(e.Source(), "User.Refresh");
        EXPECT_EQ(e.Description().rfind("Data Engine Misbehaved on Refresh, Error Number: [52]", 0), 0u);
    }
}

TEST_F(BadInput, TornLastSlotIsNeverAHalfRecord) {
    // Slot 2 holds only 2,100 of its 2,160 data bytes: counted as a slot, read as blank.
    std::string bytes = UserRecord("ann").Slot(kUserSlot) + UserRecord("torn").Data().substr(0, 2100);
    WriteFile(UsersPath(), bytes);
    User user;
    EXPECT_FALSE(user.Load("torn"));
    EXPECT_EQ(user.RecordCount(), 1);
    user.MoveLast();
    EXPECT_EQ(user.Login(), "ann");

    // An append takes the torn slot rather than zero-filling it into a half record.
    user.SetLogin("new");
    user.AddNew();
    EXPECT_EQ(user.UserID(), 2);
    EXPECT_FALSE(user.Load("torn"));
    EXPECT_EQ(user.RecordCount(), 2);
    EXPECT_EQ(ReadFile(UsersPath()).size(), kUserSlot + kUserData);
}

TEST_F(BadInput, GarbageBytesNeverCrashTheReader) {
    std::mt19937 random(12345);
    for (std::size_t length : {std::size_t{1}, std::size_t{3000}, 3 * kUserSlot + 2500, 7 * kUserSlot}) {
        std::string bytes(length, '\0');
        for (auto& c : bytes) c = static_cast<char>(random());
        WriteFile(UsersPath(), bytes);
        User user;
        user.Load("x");
        user.Enumerate();
        user.Enumerate(true);
        user.MoveFirst();
        while (!user.IsEOF()) {
            (void)user.PasswordStamp();
            (void)user.RecordLockedAt();
            (void)user.Name();
            user.MoveNext();
        }
        EXPECT_GE(user.RecordCount(), 0);
        EXPECT_GE(user.UserCount(), 0);
        EXPECT_EQ(ReadFile(UsersPath()), bytes);  // reading writes nothing
    }
}

}  // namespace
}  // namespace corvane
