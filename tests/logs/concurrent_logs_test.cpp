// Several processes (workstations sharing one data folder) logging at once, and a log cleared
// while another process holds it open.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "logs/activity_log.h"
#include "logs/log_clearing.h"
#include "logs/log_writers.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "logs_test_support.h"

namespace corvane {
namespace {

using namespace testing;

// A child process running body; its exit code is body's result (99 when it throws).
pid_t Spawn(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void Signal(int fd) { (void)!::write(fd, "x", 1); }
void Await(int fd) {
    char c;
    (void)!::read(fd, &c, 1);
}

// The trimmed logins of every slot of a log, valid or not ("" for a blank or torn slot).
template <typename Log>
std::vector<std::string> Logins() {
    Log log;
    std::vector<std::string> logins;
    log.OpenTable();
    for (std::int32_t n = 1;; ++n) {
        if (log.Exists(n)) {
            log.Load(n);
            logins.push_back(log.UserLogin());
        } else if (log.Loc() == n) {
            logins.push_back("");  // read, but not valid
        } else {
            break;  // past the last slot
        }
    }
    return logins;
}

class ConcurrentLogs : public LogsTest {};

TEST_F(ConcurrentLogs, EightProcessesLoggingAtOnceLoseNoRecord) {
    constexpr int kProcesses = 8;
    constexpr int kEach = 100;
    WriteUsers(UsersPath(), {UserRecord("ann", "Ann Lee")});
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(Spawn([&, p] {
            ::close(start[1]);
            Await(start[0]);
            for (int i = 0; i < kEach; ++i) {
                const std::string tag = "p" + std::to_string(p) + "-" + std::to_string(i);
                if (WriteUserLog(tag, false) != -1) return 1;
                WriteActivityLog(tag, kAppName, kComputer, "Edit User - " + tag);
                WriteWebsiteLog(tag, kAppName, kComputer, "http://example.org/" + tag, "URL ACCEPTED");
            }
            return errors.empty() ? 0 : 2;
        }));
        ASSERT_GT(children.back(), 0);
    }
    ::close(start[0]);
    ::close(start[1]);  // every process starts now
    for (pid_t pid : children) EXPECT_EQ(Wait(pid), 0);

    const auto check = [](const std::vector<std::string>& logins, const std::string& file, std::size_t slot,
                          std::size_t data) {
        SCOPED_TRACE(file);
        EXPECT_EQ(logins.size(), static_cast<std::size_t>(kProcesses * kEach));
        EXPECT_EQ(std::set<std::string>(logins.begin(), logins.end()).size(), logins.size());
        EXPECT_EQ(ReadFile(file).size(), (logins.size() - 1) * slot + data);
    };
    check(Logins<UserLog>(), Path("userlog.sec"), kUserLogSlot, kUserLogData);
    check(Logins<ActivityLog>(), Path("activity.sec"), kActivitySlot, kActivityData);
    check(Logins<WebsiteLog>(), Path("websiteslog.sec"), kWebsiteLogSlot, kWebsiteLogData);
}

TEST_F(ConcurrentLogs, AClearLosesNothingTheHolderWritesAfterwards) {
    constexpr int kAfter = 50;
    int ready[2], go[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(go), 0);
    const pid_t child = Spawn([&] {
        UserLog log;  // held open across the clear, like another workstation's session table
        log.SetUserLogin("before");
        log.AddNew();
        log.AddNew();
        Signal(ready[1]);
        Await(go[0]);
        for (int i = 0; i < kAfter; ++i) {
            log.SetUserLogin("after-" + std::to_string(i));
            log.AddNew();
            if (log.LogID() != i + 1) return 1;
        }
        return 0;
    });
    ASSERT_GT(child, 0);
    Await(ready[0]);
    ClearUserLogFile("");
    Signal(go[1]);
    EXPECT_EQ(Wait(child), 0);

    std::vector<std::string> expected;
    for (int i = 0; i < kAfter; ++i) expected.push_back("after-" + std::to_string(i));
    EXPECT_EQ(Logins<UserLog>(), expected);
    EXPECT_EQ(ReadFile(Path("userlog.sec")).size(), (kAfter - 1) * kUserLogSlot + kUserLogData);
    for (int fd : {ready[0], ready[1], go[0], go[1]}) ::close(fd);
}

// The clear races appends of another process: each append lands wholly before the clear (and
// is gone) or wholly after it (and is kept); no gap, torn slot or stray record remains.
TEST_F(ConcurrentLogs, AppendsRacingAClearLeaveAnUnbrokenTail) {
    constexpr int kBeforeSignal = 200;
    constexpr int kAfterClearSeen = 500;
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        std::filesystem::remove(Path("websiteslog.sec"));
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = Spawn([&] {
            WebsiteLog log;
            std::int32_t last = 0;
            int remaining = -1;
            for (int i = 0; i < 200000 && remaining != 0; ++i) {
                log.SetUserLogin("r" + std::to_string(i));
                log.AddNew();
                if (i + 1 == kBeforeSignal) Signal(ready[1]);
                if (remaining > 0) --remaining;
                if (log.LogID() < last && remaining < 0) remaining = kAfterClearSeen;
                last = log.LogID();
            }
            return remaining == 0 ? 0 : 1;
        });
        ASSERT_GT(child, 0);
        Await(ready[0]);
        ClearWebsiteLogFile("");
        EXPECT_EQ(Wait(child), 0);
        ::close(ready[0]);
        ::close(ready[1]);

        const std::vector<std::string> logins = Logins<WebsiteLog>();
        ASSERT_GE(logins.size(), static_cast<std::size_t>(kAfterClearSeen));
        const int first = std::stoi(logins.front().substr(1));
        EXPECT_GE(first, kBeforeSignal);
        for (std::size_t n = 0; n < logins.size(); ++n)
            ASSERT_EQ(logins[n], "r" + std::to_string(first + static_cast<int>(n))) << "slot " << n + 1;
        EXPECT_EQ(ReadFile(Path("websiteslog.sec")).size(),
                  (logins.size() - 1) * kWebsiteLogSlot + kWebsiteLogData);
    }
}

}  // namespace
}  // namespace corvane
