// Clearing the user log and the website log: emptied in place, permissions kept, one
// activity line, and never another file than the one named.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "logs/activity_log.h"
#include "logs/log_clearing.h"
#include "logs/log_writers.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "logs_test_support.h"
#include "platform/settings/settings_fixture.h"
#include "recordstore/file_system.h"
#include "recordstore/user_log_clearer.h"

namespace corvane {
namespace {

using namespace testing;

struct ClearCase {
    const char* file;
    std::size_t slot;
    const char* line;
    const char* place;
    void (*clear)(std::string_view);
};

const ClearCase kClears[] = {
    {"userlog.sec", kUserLogSlot, "Clear User Log", "Subs.ClearUserLogFile", ClearUserLogFile},
    {"websiteslog.sec", kWebsiteLogSlot, "Clear Website Log", "ProSubs.ClearWebsiteLogFile", ClearWebsiteLogFile},
};

class LogClearing : public LogsTest {
protected:
    void WriteThreeRecords(const ClearCase& c) {
        RawRecord r(c.slot == kUserLogSlot ? kUserLogData : kWebsiteLogData);
        r.Text(0, 20, "someone");
        WriteFile(Path(c.file), r.Slot(c.slot) + r.Slot(c.slot) + r.Data());
    }
    // The activity lines written so far, as "login|app|computer|details".
    std::vector<std::string> ActivityLines() {
        std::vector<std::string> lines;
        if (!Exists("activity.sec")) return lines;
        ActivityLog log;
        for (log.MoveFirst(); !log.IsEOF(); log.MoveNext())
            lines.push_back(log.UserLogin() + "|" + log.AppName() + "|" + log.Computer() + "|" + log.Details());
        return lines;
    }
    static mode_t Mode(const std::string& path) {
        struct stat st{};
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
};

TEST_F(LogClearing, EmptiesTheLogAndWritesOneActivityLine) {
    gAuthenticatedUser = "admin";
    for (const ClearCase& c : kClears) {
        SCOPED_TRACE(c.file);
        WriteThreeRecords(c);
        c.clear("  ");  // blank: the default file
        EXPECT_TRUE(Exists(c.file));
        EXPECT_EQ(ReadFile(Path(c.file)), "");
        EXPECT_EQ(ActivityLines().back(), std::string("admin|") + kAppName + "|" + kComputer + "|" + c.line);
    }
    EXPECT_EQ(ActivityLines().size(), 2u);
    EXPECT_TRUE(errors.empty());
    // Numbering starts again at 1.
    EXPECT_EQ(WriteUserLog("nobody", false), -1);
    UserLog log;
    EXPECT_TRUE(log.Load(1));
}

TEST_F(LogClearing, AMissingLogStaysMissingAndNothingIsWritten) {
    for (const ClearCase& c : kClears) {
        c.clear("");
        c.clear(Path("elsewhere.sec"));
        EXPECT_FALSE(Exists(c.file));
    }
    std::filesystem::create_directory(Path("folder.sec"));  // a folder is no log file
    ClearUserLogFile(Path("folder.sec"));
    EXPECT_FALSE(Exists("activity.sec"));
    EXPECT_FALSE(Exists("elsewhere.sec"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(LogClearing, AReadOnlyLogIsEmptiedAndStaysReadOnly) {
    for (const ClearCase& c : kClears) {
        SCOPED_TRACE(c.file);
        WriteThreeRecords(c);
        ASSERT_EQ(::chmod(Path(c.file).c_str(), 0444), 0);
        c.clear("");
        EXPECT_TRUE(Exists(c.file));
        EXPECT_EQ(ReadFile(Path(c.file)), "");
        EXPECT_EQ(Mode(Path(c.file)), 0444u);
    }
    EXPECT_EQ(ActivityLines().size(), 2u);

    // The same for an ordinary user, for whom read-only really forbids writing.
    ASSERT_EQ(::chmod(folder_.c_str(), 0777), 0);
    std::filesystem::remove(Path("activity.sec"));
    std::filesystem::remove(Path("userlog.sec"));
    const int code = RunInChild(
        [&] {
            WriteFile(Path("userlog.sec"), UserLogRecord("ann", "", 0, 0, 0).Data());
            if (::chmod(Path("userlog.sec").c_str(), 0444) != 0) return 10;
            ClearUserLogFile("");
            if (!errors.empty()) return 11;
            if (!Exists("userlog.sec") || !ReadFile(Path("userlog.sec")).empty()) return 12;
            if (Mode(Path("userlog.sec")) != 0444) return 13;
            return ActivityLines().size() == 1 ? 0 : 14;
        },
        /*asNobody=*/::getuid() == 0);
    EXPECT_EQ(code, 0);
}

TEST_F(LogClearing, TheNamedFileIsClearedAndNoOther) {
    std::filesystem::create_directory(Path("copy"));
    WriteFile(Path("userlog.sec"), UserLogRecord("keep", "", 0, 0, 0).Data());
    WriteFile(Path("copy/userlog.sec"), UserLogRecord("gone", "", 0, 0, 0).Data());
    ClearUserLogFile(Path("copy/userlog.sec"));
    EXPECT_EQ(ReadFile(Path("copy/userlog.sec")), "");
    EXPECT_EQ(ReadFile(Path("userlog.sec")), UserLogRecord("keep", "", 0, 0, 0).Data());

    // A file the table cannot open: the error goes to the handler, and going on past it must
    // not empty the default file instead.
    ASSERT_EQ(::mkfifo(Path("copy/pipe.sec").c_str(), 0644), 0);
    answer = [](std::size_t) { return kErrorResume; };
    ClearUserLogFile(Path("copy/pipe.sec"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, vbObjectError + 11);
    EXPECT_EQ(errors[0].source, "UserLog.OpenTable");
    EXPECT_EQ(errors[0].place, "Subs.ClearUserLogFile");
    EXPECT_EQ(ReadFile(Path("userlog.sec")), UserLogRecord("keep", "", 0, 0, 0).Data());
}

TEST_F(LogClearing, ALogCopiedWithCapitalsIsTheOneCleared) {
    WriteFile(Path("WEBSITESLOG.SEC"), WebsiteRecord("ann", "http://a/", "URL ACCEPTED").Data());
    ClearWebsiteLogFile("");
    EXPECT_EQ(ReadFile(Path("WEBSITESLOG.SEC")), "");
    EXPECT_FALSE(Exists("websiteslog.sec"));
    EXPECT_EQ(ActivityLines().size(), 1u);
}

TEST_F(LogClearing, NoActivityLineWhenActivityLoggingIsOff) {
    gEnableActivityLogging = false;
    WriteThreeRecords(kClears[0]);
    ClearUserLogFile("");
    EXPECT_EQ(ReadFile(Path("userlog.sec")), "");
    EXPECT_FALSE(Exists("activity.sec"));
}

TEST_F(LogClearing, TheFileSystemFacadeClearsThroughThisClearer) {
    SetUserLogClearer(ClearUserLogFile);  // what start-up installs
    WriteThreeRecords(kClears[0]);
    IFileSystem().ClearUserLog();
    SetUserLogClearer(nullptr);
    EXPECT_EQ(ReadFile(Path("userlog.sec")), "");
    EXPECT_EQ(ActivityLines().size(), 1u);
}

}  // namespace
}  // namespace corvane
