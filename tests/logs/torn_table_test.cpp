// Fault injection: another process keeps cutting a table inside a record and putting the cut
// bytes back, as an interrupted write and its repair would (each change of length under the
// append lock, as every writer of the tables takes it), while this one loads, walks and counts.
// A reader sees each record whole or not at all: never half of one, never an empty row.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "logs/user_log.h"
#include "logs_test_support.h"
#include "recordstore/record_file.h"
#include "recordstore/user.h"

namespace corvane {
namespace {

using namespace testing;

constexpr int kRecords = 24;

// A text filling the whole field, different for every record and field.
std::string Filled(char field, int n, std::size_t width) {
    std::string text = std::string(1, field) + std::to_string(n) + "-";
    while (text.size() < width) text += static_cast<char>('a' + (text.size() + n) % 26);
    return text.substr(0, width);
}

std::string Login(int n) { return "login" + std::to_string(n); }

// Cuts the file at random places inside a record's data and, after a moment in which readers
// find it cut, writes the cut bytes back; until killed. Returns the child's process id.
pid_t StartCutter(const std::string& path, const std::string& bytes, std::size_t slot, std::size_t data) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    RecordFile file(static_cast<std::uint32_t>(slot), static_cast<std::uint32_t>(data));
    file.Open(path);
    const int fd = ::open(path.c_str(), O_RDWR);
    std::mt19937 random(static_cast<unsigned>(::getpid()));
    for (;;) {
        const std::size_t record = random() % kRecords;
        const std::size_t cut = record * slot + 1 + random() % (data - 1);
        {
            RecordFile::AppendLock lock(file);
            if (::ftruncate(fd, static_cast<off_t>(cut)) != 0) ::_exit(1);
        }
        // Long enough for readers to meet the cut file.
        ::usleep(static_cast<useconds_t>(random() % 500));
        RecordFile::AppendLock lock(file);
        std::size_t done = cut;
        while (done < bytes.size()) {
            const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            if (n <= 0) ::_exit(1);
            done += static_cast<std::size_t>(n);
        }
    }
}

struct TornCase {
    const char* file;
    std::size_t slot, data;
    std::function<RawRecord(int)> record;
    // Walks, counts and loads once; "" when every record seen was whole.
    std::function<std::string()> read;
};

// Walks the table forwards and checks each row against the record of its number; loads one
// record by its own key the same way.
template <typename Table>
std::string ReadOnce(const std::function<std::string(const Table&)>& compare,
                     const std::function<bool(Table&, int)>& load, std::mt19937& random) {
    std::string faults;
    Table walker;
    std::int32_t last = 0;
    int rows = 0;
    for (walker.MoveFirst(); !walker.IsEOF(); walker.MoveNext()) {
        if (!walker.IsSynchronised()) faults += "an empty row; ";
        if (walker.Identity() <= last) faults += "rows out of order; ";
        last = walker.Identity();
        faults += compare(walker);
        if (++rows > kRecords) return faults + "a walk past the records; ";
    }
    Table counter;
    if (counter.RecordCount() > kRecords) faults += "a count past the records; ";
    Table loader;
    const int n = 1 + static_cast<int>(random() % kRecords);
    if (load(loader, n)) faults += compare(loader);
    return faults;
}

// Gives the walks the record number under one name for both tables.
class WalkUser : public User {
public:
    std::int32_t Identity() const { return UserID(); }
};
class WalkUserLog : public UserLog {
public:
    std::int32_t Identity() const { return LogID(); }
};

class TornTable : public LogsTest {};

TEST_F(TornTable, ReadersSeeEachRecordWholeOrNotAtAll) {
    std::mt19937 random(7);
    const TornCase cases[] = {
        {"users.sec", kUserSlot, kUserData,
         [](int n) {
             RawRecord r(kUserData);
             r.Text(0, 50, Filled('N', n, 50)).Text(50, 20, Login(n)).Text(70, 255, Filled('D', n, 255));
             r.Text(788, 1000, Filled('M', n, 1000));
             return r;
         },
         [&] {
             return ReadOnce<WalkUser>(
                 [](const WalkUser& u) {
                     const int n = u.UserID();
                     return u.Login() == Login(n) && u.Name() == Filled('N', n, 50) &&
                                    u.Description() == Filled('D', n, 255) &&
                                    u.DisplayMessage() == Filled('M', n, 1000)
                                ? std::string()
                                : "half of user " + std::to_string(n) + "; ";
                 },
                 [](WalkUser& u, int n) { return u.Load(Login(n)); }, random);
         }},
        {"userlog.sec", kUserLogSlot, kUserLogData,
         [](int n) {
             RawRecord r(kUserLogData);
             r.Text(0, 20, Login(n)).Text(20, 50, Filled('N', n, 50)).Text(70, 50, Filled('A', n, 50));
             r.Text(120, 50, Filled('C', n, 50)).Double(170, kNow + n).Int16(188, -1);
             return r;
         },
         [&] {
             return ReadOnce<WalkUserLog>(
                 [](const WalkUserLog& l) {
                     const int n = l.LogID();
                     return l.UserLogin() == Login(n) && l.UserName() == Filled('N', n, 50) &&
                                    l.AppName() == Filled('A', n, 50) && l.Computer() == Filled('C', n, 50) &&
                                    l.LoginStamp() == kNow + n && l.Active() == -1
                                ? std::string()
                                : "half of log record " + std::to_string(n) + " [" + l.UserLogin() + "|" + l.UserName() + "|" + l.AppName() + "|" + l.Computer() + "]; ";
                 },
                 [](WalkUserLog& l, int n) { return l.Load(n); }, random);
         }},
    };
    for (const TornCase& c : cases) {
        std::string bytes;
        for (int n = 1; n <= kRecords; ++n) bytes += c.record(n).Slot(c.slot);
        WriteFile(Path(c.file), bytes);
        const pid_t cutter = StartCutter(Path(c.file), bytes, c.slot, c.data);
        ASSERT_GT(cutter, 0);
        std::string faults;
        int reads = 0;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
        while (std::chrono::steady_clock::now() < end && faults.empty()) {
            faults = c.read();
            ++reads;
        }
        ::kill(cutter, SIGKILL);
        int status = 0;
        ::waitpid(cutter, &status, 0);
        EXPECT_EQ(faults, "") << c.file << " after " << reads << " reads";
        EXPECT_TRUE(WIFSIGNALED(status)) << c.file << ": the cutter stopped on its own";
    }
}

}  // namespace
}  // namespace corvane
