// The viewers' rows of the user and website logs: cells, icons, dimming,
// order and sorting, read straight from the files.
#include <gtest/gtest.h>

#include <fstream>

#include "admin/logs/viewers/log_rows.h"
#include "admin/logs/viewers/log_viewers_test_support.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "ui_core/date_text.h"

using namespace corvane;
using namespace corvane::test;

namespace {

class LogRowsTest : public LogFolderTest {};

std::vector<std::string> RowCells(const LogRows& rows, std::int32_t r) {
    std::vector<std::string> cells;
    for (int c = 0; c < rows.ColumnCount(); ++c) cells.push_back(rows.Cell(r, c));
    return cells;
}

TEST(LogStampText, TwentyFourHourTimeAndNoTimeAtMidnight) {
    struct Case {
        DateTimeParts parts;
        const char* text;
    };
    const Case cases[] = {
        {{2026, 12, 31, 23, 59, 59}, "12/31/2026 23:59:59"},
        {{2026, 1, 2, 0, 0, 1}, "1/2/2026 00:00:01"},
        {{2026, 12, 9, 0, 0, 0}, "12/9/2026"},
        {{2026, 12, 9, 12, 5, 0}, "12/9/2026 12:05:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(ui::LogStampText(*FromParts(c.parts)), c.text);
    // The longest, with the refused attempt's "*", stays inside the 21-character columns.
    EXPECT_LE(1 + ui::LogStampText(*FromParts({2026, 12, 31, 23, 59, 59})).size(), 20u);
}

TEST_F(LogRowsTest, UserLogCellsIconsAndDimming) {
    const OleDate in = Stamp(2026, 12, 9, 17, 48, 5);
    const OleDate out = Stamp(2026, 12, 9, 18, 0, 0);
    AddUserLog({"stranger", "", "Corvane", "pc1", in, 0, false, false, true});     // unknown login
    AddUserLog({"ann", "Ann Lee", "Corvane", "pc1", in, 0, true, false, false});   // refused
    AddUserLog({"ben", "Ben Ode", "Corvane", "pc2", in, 0, false, true, false});   // open session
    AddUserLog({"cat", "Cat Ray", "Corvane", "pc3", in, out, false, false, false});  // ended
    AddUserLog({"dan", "Dan Fox", "Corvane", "pc4", 0, 0, true, false, false});      // stamp 0, refused
    const std::int32_t gone = AddUserLog({"eve", "Eve", "Corvane", "pc5", in, 0, false, true, false});
    UserLog().Delete(gone);
    BlankLogin(AddUserLog({"fay", "Fay", "Corvane", "pc6", in, 0, false, true, false}));
    AddUserLog({"gus", "Gus", "Corvane", "pc7", Stamp(2026, 12, 10, 0, 0, 0), 0, false, true, true});

    const LogRows rows = LogRows::Load(LogRows::Kind::User, UserLog().GetPathName(""), 0);
    struct Row {
        std::vector<std::string> cells;
        int icon;
        bool dimmed;
        std::int32_t id;
    };
    const Row expected[] = {
        {{"gus", "Gus", "Corvane", "pc7", "12/10/2026", "-", "-"}, 3, false, 8},
        {{"dan", "Dan Fox", "Corvane", "pc4", "-", "-", "-"}, 2, false, 5},
        {{"cat", "Cat Ray", "Corvane", "pc3", "12/9/2026 17:48:05", "12/9/2026 18:00:00", "No"}, 1, true, 4},
        {{"ben", "Ben Ode", "Corvane", "pc2", "12/9/2026 17:48:05", "-", "Yes"}, 1, false, 3},
        {{"ann", "Ann Lee", "Corvane", "pc1", "*12/9/2026 17:48:05", "-", "-"}, 2, false, 2},
        {{"stranger", "", "Corvane", "pc1", "12/9/2026 17:48:05", "-", "-"}, 3, false, 1},
    };
    ASSERT_EQ(rows.Count(), 6);
    for (std::int32_t r = 0; r < rows.Count(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(RowCells(rows, r), expected[r].cells);
        EXPECT_EQ(rows.Icon(r), expected[r].icon);
        EXPECT_EQ(rows.Dimmed(r), expected[r].dimmed);
        EXPECT_EQ(rows.LogID(r), expected[r].id);
    }
}

TEST_F(LogRowsTest, WebsiteLogCellsAndStatuses) {
    const OleDate at = Stamp(2026, 12, 9, 9, 30, 0);
    AddWebsiteLog({"ann", "Corvane", "pc1", "https://a.example/", at, "URL ACCEPTED"});
    AddWebsiteLog({"ben", "Corvane", "pc2", "https://b.example/", at, "url denied"});
    AddWebsiteLog({"cat", "Corvane", "pc3", "https://c.example/", at, "LOGIN SUCCESS"});
    AddWebsiteLog({"dan", "Corvane", "pc4", "https://d.example/", at, "whatever"});
    const LogRows rows = LogRows::Load(LogRows::Kind::Website, WebsiteLog().GetPathName(""), 0);
    ASSERT_EQ(rows.Count(), 4);
    EXPECT_EQ(RowCells(rows, 0), (std::vector<std::string>{"dan", "Corvane", "pc4", "https://d.example/",
                                                           "12/9/2026 09:30:00", ""}));
    EXPECT_EQ(rows.Cell(2, 5), "URL Denied");
    EXPECT_EQ(rows.Cell(3, 5), "URL Accepted");
    for (std::int32_t r = 0; r < 4; ++r) {
        EXPECT_EQ(rows.Icon(r), 5);
        EXPECT_FALSE(rows.Dimmed(r));
    }
}

// The rows are those of the table's own walk from the last record back.
TEST_F(LogRowsTest, OrderMatchesTheBackwardWalk) {
    for (int i = 0; i < 300; ++i) {
        const std::int32_t id = AddWebsiteLog({"u" + std::to_string(i % 7), "App", "pc", "https://x/" + std::to_string(i),
                                               Stamp(2026, 1, 1, 0, 0, i % 60), "URL ACCEPTED"});
        if (i % 11 == 0) WebsiteLog().Delete(id);
    }
    std::vector<std::int32_t> walked;
    WebsiteLog log;
    if (!log.IsEmpty()) {
        log.MoveLast();
        for (;;) {
            if (log.ValidRecord()) walked.push_back(log.LogID());
            if (log.IsBOF()) break;
            log.MovePrevious();
        }
    }
    const LogRows rows = LogRows::Load(LogRows::Kind::Website, WebsiteLog().GetPathName(""), 0);
    std::vector<std::int32_t> loaded;
    for (std::int32_t r = 0; r < rows.Count(); ++r) loaded.push_back(rows.LogID(r));
    EXPECT_EQ(loaded, walked);
    EXPECT_EQ(loaded.size(), 300u - 28u);
}

TEST_F(LogRowsTest, MissingEmptyAndTornFilesGiveNoRows) {
    const std::string path = UserLog().GetPathName("");
    EXPECT_EQ(LogRows::Load(LogRows::Kind::User, path, 0).Count(), 0);  // missing
    std::ofstream(path, std::ios::binary).close();
    EXPECT_EQ(LogRows::Load(LogRows::Kind::User, path, 0).Count(), 0);  // empty
    std::ofstream(path, std::ios::binary) << std::string(100, 'x');
    EXPECT_EQ(LogRows::Load(LogRows::Kind::User, path, 0).Count(), 0);  // torn single slot
}

TEST_F(LogRowsTest, SortingFlipsKeepsTiesAndSurvivesReload) {
    const OleDate at = Stamp(2026, 12, 9, 9, 0, 0);
    for (const char* login : {"bob", "Ann", "carl", "ann"}) AddUserLog({login, "", "App", "pc", at, 0, false, true, false});
    LogRows rows = LogRows::Load(LogRows::Kind::User, UserLog().GetPathName(""), 0);
    auto logins = [&] {
        std::vector<std::string> out;
        for (std::int32_t r = 0; r < rows.Count(); ++r) out.push_back(rows.Cell(r, 0));
        return out;
    };
    rows.Sort(0, true);
    EXPECT_EQ(logins(), (std::vector<std::string>{"ann", "Ann", "bob", "carl"}));  // ties newest first
    rows.Sort(0, false);
    EXPECT_EQ(logins(), (std::vector<std::string>{"carl", "bob", "ann", "Ann"}));
    AddUserLog({"abe", "", "App", "pc", at, 0, false, true, false});
    rows.SetRecords(LogRows::Load(LogRows::Kind::User, UserLog().GetPathName(""), 0));
    EXPECT_EQ(logins().back(), "abe");
    rows.SetSortingOff();
    rows.SetRecords(LogRows::Load(LogRows::Kind::User, UserLog().GetPathName(""), 0));
    EXPECT_EQ(logins().front(), "abe");
}

}  // namespace
