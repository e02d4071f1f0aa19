// The writers of the three logs: what they store, their switches, and their error traps.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <functional>
#include <optional>
#include <string>

#include "logs/log_writers.h"
#include "logs/user_log.h"
#include "logs_test_support.h"
#include "support/faulty_record_io.h"
#include "support/pass_through_record_io.h"

namespace corvane {
namespace {

using namespace testing;

class LogWriters : public LogsTest {
protected:
    void SetUp() override {
        LogsTest::SetUp();
        WriteUsers(UsersPath(), {UserRecord("ann", "Ann Lee"), UserRecord("jsmith", "John Smith")});
    }
    std::string UserLogBytes() const { return ReadFile(Path("userlog.sec")); }
};

// A disk that fails under the user log: the writer reports once and answers 0 when the
// record is not there, and an append that landed whole stays a record.
TEST_F(LogWriters, FailingDiskUnderTheUserLogIsReportedAndLeavesNoHalfRecord) {
    using test_support::FaultyRecordIo;
    for (const auto& row : test_support::DiskFaults()) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(Path("userlog.sec"));
        ASSERT_EQ(WriteUserLog("ann", true), 1);
        errors.clear();
        FaultyRecordIo io;
        row.arm(io);
        std::int32_t id = -2;
        {
            test_support::RecordIoScope scope(io);
            id = WriteUserLog("jsmith", true);
        }
        EXPECT_EQ(id, row.appendLands ? 2 : 0);
        EXPECT_EQ(errors.size(), row.appendLands ? 0u : 1u);
        UserLog log;
        EXPECT_EQ(log.Exists(2), row.appendLands);
        // The next attempt takes the slot a torn append left.
        EXPECT_EQ(WriteUserLog("ann", false), row.appendLands ? 3 : 2);
    }
}

TEST_F(LogWriters, UserLogRecordsEachKindOfAttempt) {
    EXPECT_EQ(WriteUserLog(" JSmith ", true), 1);  // found trimmed, without letter case
    EXPECT_EQ(WriteUserLog("ann", false), 2);
    EXPECT_EQ(WriteUserLog("A-login-much-longer-than-twenty", true), -1);
    const std::string expected =
        Slots(kUserLogSlot, {UserLogRecord(" JSmith ", "John Smith", 0, -1, 0),  // the login as passed
                             UserLogRecord("ann", "Ann Lee", -1, 0, 0)}) +
        UserLogRecord("A-login-much-longer-", "", 0, 0, -1).Data();
    EXPECT_EQ(UserLogBytes(), expected);
    UserLog log;
    EXPECT_EQ(log.GetActiveUserCount(), 1);
}

TEST_F(LogWriters, ActivityAndWebsiteRecordsAreCutToTheirFields) {
    const std::string longText(300, 'x');
    const std::string wide(60, 'W');
    WriteActivityLog("Anonymous", wide, wide, longText);
    WriteWebsiteLog("ann", kAppName, kComputer, "http://example.org/" + longText, "URL ACCEPTED");

    RawRecord first(kActivityData);
    first.Text(0, 20, "Anonymous").Text(20, 50, wide).Text(70, 50, wide).Text(120, 255, longText).Double(375, kNow);
    EXPECT_EQ(SlotData("activity.sec", kActivitySlot, kActivityData, 1), first.Data());
    EXPECT_EQ(SlotData("websiteslog.sec", kWebsiteLogSlot, kWebsiteLogData, 1),
              WebsiteRecord("ann", ("http://example.org/" + longText).substr(0, 255), "URL ACCEPTED").Data());
}

TEST_F(LogWriters, LongTextsAreCutByCharactersNotBytes) {
    std::string accents;
    for (int i = 0; i < 300; ++i) accents += "\xC3\xA9";  // é in UTF-8, one byte in the file
    WriteActivityLog("ann", kAppName, kComputer, accents);
    EXPECT_EQ(SlotData("activity.sec", kActivitySlot, kActivityData, 1).substr(120, 255), std::string(255, '\xE9'));
}

TEST_F(LogWriters, SwitchedOffWritersTouchNoFile) {
    gDisableUserLogging = true;
    gEnableActivityLogging = false;
    gEnableWebsiteLogging = false;
    EXPECT_EQ(WriteUserLog("ann", true), 0);
    EXPECT_EQ(WriteUserLog("nobody", false), 0);
    WriteActivityLog("ann", kAppName, kComputer, "New User - bob");
    WriteWebsiteLog("ann", kAppName, kComputer, "http://a/", "URL ACCEPTED");
    WriteWebsiteLog("ann", kAppName, kComputer, "http://b/", "URL DENIED");
    EXPECT_FALSE(Exists("userlog.sec"));
    EXPECT_FALSE(Exists("activity.sec"));
    EXPECT_FALSE(Exists("websiteslog.sec"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(LogWriters, ErrorsGoToTheHandlerUnderEachWritersPlace) {
    struct Case {
        const char* place;
        const char* source;
        std::function<void()> write;
    };
    const Case cases[] = {
        {"Subs.WriteUserLog", "User.Load", [] { EXPECT_EQ(WriteUserLog("ann", true), 0); }},
        {"Subs.WriteActivityLog", "ActivityLog.AddNew", [] { WriteActivityLog("ann", "a", "c", "d"); }},
        {"Subs.WriteWebsiteLog", "WebsiteLog.AddNew", [] { WriteWebsiteLog("ann", "a", "c", "u", "s"); }},
    };
    gDataPath = Path("missing");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.place);
        errors.clear();
        c.write();
        ASSERT_EQ(errors.size(), 1u);  // the answer "leave" ends the writer at its first error
        EXPECT_EQ(errors[0].number, vbObjectError + 11);
        EXPECT_EQ(errors[0].source, c.source);
        EXPECT_EQ(errors[0].place, c.place);
    }
    EXPECT_FALSE(Exists("missing"));
}

TEST_F(LogWriters, UserLogResultIsSetOnlyOnceTheRecordIsWritten) {
    gDataPath = Path("missing");
    answer = [](std::size_t) { return kErrorResume; };  // go on after every failed step
    EXPECT_EQ(WriteUserLog("ann", true), 0);             // the lookup and the append both fail
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1].source, "UserLog.AddNew");

    // Retry: the folder is back by the second attempt of the failed step.
    errors.clear();
    answer = [this](std::size_t) {
        std::filesystem::create_directories(Path("missing"));
        WriteUsers(Path("missing/users.sec"), {UserRecord("ann", "Ann Lee")});
        return kErrorRetry;
    };
    EXPECT_EQ(WriteUserLog("ANN", true), 1);
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(ReadFile(Path("missing/userlog.sec")), UserLogRecord("ANN", "Ann Lee", 0, -1, 0).Data());
}

TEST_F(LogWriters, NobodyLoggedInIsAnonymous) {
    EXPECT_EQ(GetCurrentUser(), "Anonymous");
    gAuthenticatedUser = "   ";
    EXPECT_EQ(GetCurrentUser(), "Anonymous");
    gAuthenticatedUser = " ann";
    EXPECT_EQ(GetCurrentUser(), " ann");
}

// Counts flushes and the journals made.
class FlushCount final : public test_support::PassThroughRecordIo {
public:
    int Open(const char* path, int flags, mode_t mode) override {
        if ((flags & O_CREAT) && std::string(path).ends_with("-journal")) ++journals;
        return Real().Open(path, flags, mode);
    }
    int Sync(int fd) override {
        ++flushes;
        return Real().Sync(fd);
    }
    int flushes = 0;
    int journals = 0;
};

// A session's close writes its stamp and flag in place with one flush and no journal, for
// every record, also one whose 12 changed bytes straddle a 512-byte block of the file
// (records 23, 68 and 106 here). A close the disk refuses puts the old bytes back and fails,
// or, when even they cannot be written back, says the close may stand.
TEST_F(LogWriters, TheCloseOfASessionIsWrittenInPlaceWithOneFlush) {
    constexpr int kRecords = 110;
    const auto session = [] { return UserLogRecord("ann", "Ann Lee", 0, -1, 0); };
    const auto fill = [&] {
        std::string bytes;
        for (int n = 0; n < kRecords; ++n) bytes += session().Slot(kUserLogSlot);
        WriteFile(Path("userlog.sec"), bytes);
    };
    const auto entry = [](int n) {
        UserLog log;
        EXPECT_TRUE(log.Load(n));
        return EntryOf(log);
    };
    const auto closed = [](int n) {
        UserLog log;
        EXPECT_TRUE(log.Load(n));
        return log.Active() == 0 && log.LogoutStamp() == kNow;
    };
    fill();
    for (int n = 1; n <= kRecords; ++n) {
        SCOPED_TRACE(n);
        FlushCount io;
        {
            test_support::RecordIoScope scope(io);
            ASSERT_TRUE(CloseUserLogEntry(entry(n)));
        }
        EXPECT_EQ(io.flushes, 1);
        EXPECT_EQ(io.journals, 0);
        EXPECT_TRUE(closed(n));
    }

    using test_support::FaultyRecordIo;
    struct Row {
        const char* what;
        std::function<void(FaultyRecordIo&)> arm;
        bool mayStand;  // else the record reads as the login wrote it
    };
    const Row rows[] = {
        {"cut short, the old bytes written back", [](FaultyRecordIo& io) { io.CutTableWriteAfter(1, 5, EIO, true); },
         false},
        {"written, its flush and all after refused", [](FaultyRecordIo& io) { io.BreakAfterTableWrite(1, ENOSPC); },
         true},
    };
    for (const int n : {2, 23})
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.what) + ", record " + std::to_string(n));
        fill();
        const UserLogEntry open = entry(n);
        FaultyRecordIo io;
        row.arm(io);
        std::optional<RaisedError> error;
        try {
            test_support::RecordIoScope scope(io);
            CloseUserLogEntry(open);
        } catch (const RaisedError& e) {
            error = e;
        }
        ASSERT_TRUE(error) << "the close was reported done";
        EXPECT_EQ(error->Description().find("may stand") != std::string::npos, row.mayStand) << error->Description();
        EXPECT_FALSE(io.Opened().contains(Path("userlog.sec-journal")));
        if (row.mayStand) EXPECT_TRUE(closed(n));
        else EXPECT_EQ(ReadFile(Path("userlog.sec")).substr((n - 1) * kUserLogSlot, kUserLogData), session().Data());
    }
}

}  // namespace
}  // namespace corvane
