#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "errors/error_test_support.h"
#include "platform/core/raised_error.h"
#include "ui_core/date_text.h"
#include "errors/error_log_file.h"

using namespace corvane;

namespace {

class ErrorLogFile : public test::ErrorReportingTest {};

const DateTimeParts kJustAfterMidnight{2026, 12, 9, 0, 47, 3};

}  // namespace

TEST(DateText, TheFormsTheLogsAndReportsUse) {
    const OleDate d = *FromParts({2026, 12, 9, 0, 47, 3});
    const OleDate pm = *FromParts({2026, 3, 14, 17, 45, 9});
    EXPECT_EQ(ui::GeneralDateText(d), "12/9/2026 12:47:03 AM");
    EXPECT_EQ(ui::GeneralDateText(pm), "3/14/2026 5:45:09 PM");
    EXPECT_EQ(ui::ShortDateText(pm), "3/14/2026");
    EXPECT_EQ(ui::HoursMinutesText(pm), "17:45");
    EXPECT_EQ(ui::HoursMinutesText(d), "00:47");
    EXPECT_EQ(ui::DayMonthYearTimeText(d), "09-Dec-2026 00:47:03");
    EXPECT_EQ(ui::GeneralDateText(1e12), "");
}

TEST_F(ErrorLogFile, WritesTheExactLineAndTheSameTextToTheSystemLog) {
    test::FakeClock clock(kJustAfterMidnight);
    std::string place = "Subs.WriteActivityLog";
    const RaisedError error(vbObjectError + 20, "ActivityLog.BOF",
                            "Operation is not allowed when the object is closed");
    const std::string line = FormatErrorLine(error, place);
    EXPECT_TRUE(WriteErrorLog(line, ErrorLogPath()));
    EXPECT_EQ(ErrorLogPath(), LogPath());
    EXPECT_EQ(ReadFile(LogPath()),
              "[-2147221484],Operation is not allowed when the object is closed,ActivityLog.BOF,"
              "Subs.WriteActivityLog,12/9/2026 12:47:03 AM\r\n");
    ASSERT_EQ(systemLog_->entries.size(), 1u);
    EXPECT_EQ(systemLog_->entries[0],
              "[-2147221484],Operation is not allowed when the object is closed,ActivityLog.BOF,"
              "Subs.WriteActivityLog");
}

TEST_F(ErrorLogFile, PlacesAndDescriptionsAreWrittenAsTheyCome) {
    test::FakeClock clock(kJustAfterMidnight);
    struct Case {
        std::string place, expectedPlace, description, expectedLine;
    } cases[] = {
        {"", "Unknown Module", "Bad", "[5],Bad,Src,Unknown Module"},
        {" ", " ", "Bad", "[5],Bad,Src, "},
        {"A.B", "A.B", "one, two, three", "[5],one, two, three,Src,A.B"},
        {"A.B", "A.B", "Data Engine Misbehaved on SaveChanges, Error Number: [70]\r\nDescription: x",
         "[5],Data Engine Misbehaved on SaveChanges, Error Number: [70]\r\nDescription: x,Src,A.B"},
    };
    std::string expectedFile;
    for (auto& c : cases) {
        std::string place = c.place;
        const std::string line = FormatErrorLine(RaisedError(5, "Src", c.description), place);
        EXPECT_EQ(line, c.expectedLine);
        EXPECT_EQ(place, c.expectedPlace) << "the caller's place follows the log";
        WriteErrorLog(line, LogPath());
        expectedFile += c.expectedLine + ",12/9/2026 12:47:03 AM\r\n";
    }
    EXPECT_EQ(ReadFile(LogPath()), expectedFile) << "each error appends exactly one entry";
}

TEST_F(ErrorLogFile, AnEmptyPathWritesNothingAtAll) {
    EXPECT_TRUE(WriteErrorLog("[1],x,y,z", ""));
    EXPECT_TRUE(systemLog_->entries.empty());
}

TEST_F(ErrorLogFile, AFileThatCannotBeWrittenReportsFalseAndTheSystemLogStillHearsOfIt) {
    // A folder where the file should be, and a program folder that is not
    // there: neither can be written, whoever runs the test.
    std::filesystem::create_directory(LogPath());
    for (const std::string& path : {LogPath(), Path("missing/Corvane_ErrorLog.txt")}) {
        systemLog_->entries.clear();
        EXPECT_FALSE(WriteErrorLog("[1],x,y,z", path)) << path;
        EXPECT_EQ(systemLog_->entries, std::vector<std::string>{"[1],x,y,z"});
    }
    EXPECT_TRUE(std::filesystem::is_directory(LogPath()));
}

TEST_F(ErrorLogFile, SpecialFilesInTheLogsPlaceAreRefusedWithoutWaiting) {
    // A FIFO nobody reads would block a plain open for ever; a device would
    // take the entry or pour out bytes without end.
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0666), 0);
    std::filesystem::create_symlink("/dev/zero", Path("zero"));
    std::filesystem::create_symlink("/dev/null", Path("null"));
    for (const char* name : {"fifo", "zero", "null"}) {
        systemLog_->entries.clear();
        EXPECT_FALSE(WriteErrorLog("[1],x,y,z", Path(name))) << name;
        EXPECT_EQ(systemLog_->entries, std::vector<std::string>{"[1],x,y,z"}) << name;
        const ErrorLogLines read = ReadErrorLogLines(Path(name));
        EXPECT_TRUE(read.failed) << name;
        EXPECT_TRUE(read.lines.empty()) << name;
    }
    EXPECT_TRUE(ReadErrorLogLines(Path("missing")).failed);
}

// Another account that can write the program folder plants a link to one of
// the user's files, or a file of its own to read what is logged: neither gets
// a line, and the error still reaches the system log.
TEST_F(ErrorLogFile, APlantedLinkOrAnotherAccountsFileGetsNothing) {
    const std::string victim = Path("bashrc");
    {
        std::ofstream(victim) << "alias ls=ls\n";
    }
    std::filesystem::create_symlink(victim, LogPath());
    EXPECT_FALSE(WriteErrorLog("[1],x,y,z", LogPath()));
    EXPECT_EQ(systemLog_->entries, std::vector<std::string>{"[1],x,y,z"});
    EXPECT_EQ(std::filesystem::file_size(victim), 12u);
    // A link to a file that does not exist yet is not followed to create it either.
    std::filesystem::remove(LogPath());
    std::filesystem::create_symlink(Path("made-through-link"), LogPath());
    EXPECT_FALSE(WriteErrorLog("[1],x,y,z", LogPath()));
    EXPECT_FALSE(std::filesystem::exists(Path("made-through-link")));
    std::filesystem::remove(LogPath());

    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can give a file to another account";
    struct Row {
        const char* name;
        std::filesystem::perms folder;
        bool written;
    } const rows[] = {
        {"a folder anyone may write (1777)", std::filesystem::perms::all | std::filesystem::perms::sticky_bit, false},
        {"a folder its group may write, not group-shared (0770)",
         std::filesystem::perms::owner_all | std::filesystem::perms::group_all, false},
        {"a private folder (0700)", std::filesystem::perms::owner_all, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(LogPath());
        {
            std::ofstream(LogPath()) << "";
        }
        ASSERT_EQ(::chown(LogPath().c_str(), 65534, 65534), 0);
        ::chmod(LogPath().c_str(), 0666);
        std::filesystem::permissions(Path(""), row.folder);
        EXPECT_EQ(WriteErrorLog("[1],x,y,z", LogPath()), row.written);
        std::filesystem::permissions(Path(""), std::filesystem::perms::owner_all);
        EXPECT_EQ(std::filesystem::file_size(LogPath()) > 0, row.written);
    }
}

TEST_F(ErrorLogFile, TheViewerReadsLinesAndOnlyTheLastPartOfAHugeLog) {
    struct Case {
        std::string content;
        std::size_t limit;
        std::vector<std::string> lines;
    } cases[] = {
        {"", 100, {}},
        {"a\r\nb\r\n", 100, {"a", "b"}},
        {"a\r\n\r\nb", 100, {"a", "", "b"}},
        {"one\r\ntwo\nthree\r\r\n", 100, {"one", "two", "three\r"}},
        // Cut: the line the limit falls inside is dropped, one starting right at it is kept.
        {"first\r\nsecond\r\nthird\r\n", 10, {"third"}},
        {"first\r\nsecond\r\nthird\r\n", 15, {"second", "third"}},
        {"first\r\nsecond\r\nthird\r\n", 16, {"second", "third"}},
        {std::string(64, 'x'), 8, {}},
    };
    for (const Case& c : cases) {
        WriteFile(LogPath(), c.content);
        const ErrorLogLines read = ReadErrorLogLines(LogPath(), c.limit);
        EXPECT_FALSE(read.failed);
        EXPECT_EQ(read.lines, c.lines) << c.content << " / " << c.limit;
    }
}
