// A session's user-log record under a clear by another workstation: the logout's save never
// writes the old record back into the emptied log.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "logs/log_clearing.h"
#include "logs/user_log.h"
#include "logs_test_support.h"
#include "recordstore/contract_support.h"

namespace corvane {
namespace {

using namespace testing;

class SessionUnderClear : public LogsTest {
protected:
    // Records 1..5 of five logins, as five sessions would have left them.
    void WriteFive() {
        std::string bytes;
        for (const char* login : {"ann", "bob", "cat", "dan", "eve"})
            bytes += UserLogRecord(login, "", 0, -1, 0).Slot(kUserLogSlot);
        WriteFile(Path("userlog.sec"), bytes);
    }
    static void AppendSession(const char* login) {
        UserLog log;
        log.SetUserLogin(login);
        log.SetActive(kFlagTrue);
        log.AddNew();
    }
    std::uintmax_t LogLength() const { return std::filesystem::file_size(Path("userlog.sec")); }
};

TEST_F(SessionUnderClear, TheLogoutSaveOfAClearedRecordWritesNothing) {
    // Sessions that log in after the clear, before the old session logs out.
    for (int sessionsSince : {0, 2}) {
        WriteFive();
        UserLog session;
        ASSERT_TRUE(session.Load(5));
        ClearUserLogFile("");
        for (int i = 0; i < sessionsSince; ++i) AppendSession(i == 0 ? "new1" : "new2");
        const auto length = LogLength();

        session.SetLogoutStamp(kNow);
        session.SetActive(kFlagFalse);
        ExpectRaised("SaveChanges", vbObjectError + 4, "UserLog.SaveChanges", [&] { session.SaveChanges(); });
        EXPECT_TRUE(session.IsDirty());
        EXPECT_EQ(LogLength(), length) << sessionsSince << " sessions since: no phantom records";
        UserLog reader;
        EXPECT_EQ(reader.RecordCount(), sessionsSince);
    }
}

TEST_F(SessionUnderClear, AClearWhileTheSaveWaitsForTheLockWinsWholly) {
    WriteFive();
    UserLog session;
    ASSERT_TRUE(session.Load(5));
    session.SetActive(kFlagFalse);
    const auto raised = WhileWaitingForTheAppendLock(
        Path("userlog.sec"), [&] { session.SaveChanges(); },
        [&] { std::filesystem::resize_file(Path("userlog.sec"), 0); });
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->Number(), vbObjectError + 4);
    EXPECT_EQ(LogLength(), 0u);
}

}  // namespace
}  // namespace corvane
