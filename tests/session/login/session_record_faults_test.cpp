#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <functional>

#include "login_test_support.h"
#include "logs/log_writers.h"
#include "session/login/login_validator.h"
#include "session/login/security.h"
#include "ui_core/msgbox/scripted_msgbox.h"

namespace corvane::testing {
namespace {

// A login whose session record cannot be written is no login, and a logout
// whose close cannot be written is reported once and leaves the record as the
// login wrote it: what the caller hears matches userlog.sec.
const LogEntry kActiveAnn{"ann", 0, -1, 0};

class SessionRecordFaults : public LoginTest {
public:
    void SetUp() override {
        LoginTest::SetUp();
        ::getrlimit(RLIMIT_FSIZE, &limit_);
        previousXfsz_ = ::signal(SIGXFSZ, SIG_IGN);
        previousOpener_ = SetLoginWindowOpener([this] {
            LoginValidator v;
            const bool granted = v.ValidateLogin({"ann", "secret", "", false, true, ""});
            return LoginWindowResult{granted, v.AuthenticatedUser, "", v.LogID, v.SessionRecord};
        });
        // One failed attempt stands, so the grant's booking has a change to write.
        AddUser({.failed = 1, .hashed = true});
    }
    void TearDown() override {
        SetUserLogWriteHook(nullptr);
        ::setrlimit(RLIMIT_FSIZE, &limit_);
        ::signal(SIGXFSZ, previousXfsz_);
        SetLoginWindowOpener(previousOpener_);
        LoginTest::TearDown();
    }

    // The nth user-log write from now on fails before a byte is written (1: the next one).
    void FailUserLogWrite(int nth) {
        SetUserLogWriteHook([this, nth] {
            if (++writes_ == nth) throw RaisedError(61, "RecordFile", "Disk full");
        });
    }
    // Every write of this process fails (EFBIG) from now on, as on a disk that refuses all.
    void NoWriteGoesThrough() {
        rlimit none = limit_;
        none.rlim_cur = 0;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    }

protected:
    // An empty user log, no error yet, the error window answering handlerAnswer.
    void StartRow(int handlerAnswer) {
        std::filesystem::remove(Path("userlog.sec"));
        errors.clear();
        writes_ = 0;
        answer = handlerAnswer;
    }
    std::vector<std::string> Places() const {
        std::vector<std::string> places;
        for (const auto& e : errors) places.push_back(e.place);
        return places;
    }
    // Record 1 as it stands on disk.
    static std::optional<UserLogEntry> FirstRecord(OleDate* logout = nullptr, std::int16_t* active = nullptr) {
        UserLog log;
        if (!log.Load(1)) return std::nullopt;
        if (logout) *logout = log.LogoutStamp();
        if (active) *active = log.Active();
        return UserLogEntry{log.LogID(), log.UserLogin(), log.Computer(), log.LoginStamp()};
    }

    int writes_ = 0;

private:
    rlimit limit_{};
    void (*previousXfsz_)(int) = SIG_DFL;
    LoginWindowOpener previousOpener_;
};

// The booking and the append, each failed, against the controls of a
// failure only at the logout and of user logging off: granted only with its
// record, each failure reported once where it happened.
TEST_F(SessionRecordFaults, LoginIsGrantedOnlyWithItsRecord) {
    struct Row {
        const char* name;
        std::function<void(SessionRecordFaults&)> arm;
        bool loggingOff = false;
        bool granted;
        std::vector<std::string> reported;
        std::vector<LogEntry> log;
    };
    const std::vector<Row> rows = {
        {"booking fails at once (every write refused)", [](SessionRecordFaults& t) { t.NoWriteGoesThrough(); }, false,
         false, {"frmLogin.WriteLoginStatus"}, {}},
        {"booking written, the next write (the append) fails", [](SessionRecordFaults& t) { t.FailUserLogWrite(1); },
         false, false, {"Subs.WriteUserLog"}, {}},
        {"append written, only a later write would fail", [](SessionRecordFaults& t) { t.FailUserLogWrite(2); },
         false, true, {}, {kActiveAnn}},
        {"user logging off", [](SessionRecordFaults&) {}, true, true, {}, {}},
    };
    for (const Row& row : rows)
    for (const int handlerAnswer : {kErrorLeave, kErrorResume}) {
        SCOPED_TRACE(std::string(row.name) + ", answer " + std::to_string(handlerAnswer));
        StartRow(handlerAnswer);
        gDisableUserLogging = row.loggingOff;
        auto box = ScriptedMsgBox::Install();
        row.arm(*this);
        Security s;
        EXPECT_EQ(s.Login(), row.granted);
        SetUserLogWriteHook(nullptr);
        EXPECT_EQ(gAuthenticated, row.granted);
        EXPECT_EQ(s.AuthenticatedUser(), row.granted ? "ann" : "");
        EXPECT_EQ(s.LogID(), row.granted && !row.loggingOff ? 1 : 0);
        EXPECT_EQ(Places(), row.reported);
        EXPECT_EQ(box->Count(), 0);
        EXPECT_EQ(UserLogEntries(), row.log);
        rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        gDisableUserLogging = false;
    }
}

// A userlog.sec that cannot be opened at all refuses the login the same way.
TEST_F(SessionRecordFaults, UserLogThatCannotBeOpenedRefusesTheLogin) {
    std::filesystem::create_directory(Path("userlog.sec"));
    Security s;
    EXPECT_FALSE(s.Login());
    EXPECT_FALSE(gAuthenticated);
    EXPECT_EQ(s.LogID(), 0);
    EXPECT_EQ(Places(), std::vector<std::string>{"Subs.WriteUserLog"});
    EXPECT_TRUE(std::filesystem::is_directory(Path("userlog.sec")));
}

// The close at logout, failed at once or (as a control) after a write that
// worked: reported once, the record left active and still this session's.
TEST_F(SessionRecordFaults, LogoutThatCannotBeWrittenIsReportedOnce) {
    struct Row {
        const char* name;
        int failingWrite;  // counted from the login's append
        bool closed;
    };
    for (const Row row : {Row{"logout fails at once", 2, false}, Row{"logout fails on the next write", 3, true}})
    for (const int handlerAnswer : {kErrorLeave, kErrorResume}) {
        SCOPED_TRACE(std::string(row.name) + ", answer " + std::to_string(handlerAnswer));
        StartRow(handlerAnswer);
        FailUserLogWrite(row.failingWrite);
        Security s;
        ASSERT_TRUE(s.Login());
        const auto written = FirstRecord();
        ASSERT_TRUE(written);
        EXPECT_EQ(*written, (UserLogEntry{1, "ann", "WS-07", written->stamp}));

        SetNow({2024, 5, 6, 9, 0, 0});
        s.Logout();
        SetNow({2024, 5, 6, 7, 8, 9});
        SetUserLogWriteHook(nullptr);
        EXPECT_FALSE(gAuthenticated);
        EXPECT_EQ(s.LogID(), 0);
        OleDate logout = 0;
        std::int16_t active = 0;
        EXPECT_EQ(FirstRecord(&logout, &active), written);
        if (row.closed) {
            EXPECT_TRUE(errors.empty());
            EXPECT_EQ(active, 0);
            EXPECT_EQ(logout, *FromParts({2024, 5, 6, 9, 0, 0}));
        } else {
            EXPECT_EQ(Places(), std::vector<std::string>{"Security.Logout"});
            EXPECT_NE(active, 0);
            EXPECT_EQ(logout, 0);
            EXPECT_EQ(UserLog().GetActiveUserCount(), 1);
        }
    }
}

}  // namespace
}  // namespace corvane::testing
