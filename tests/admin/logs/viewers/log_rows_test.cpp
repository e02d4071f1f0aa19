// The viewers' rows of the user and website logs: cells, icons, dimming,
// order and sorting, read straight from the files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numeric>

#include "admin/logs/viewers/folded_text_ranks.h"
#include "admin/logs/viewers/log_rows.h"
#include "admin/logs/viewers/log_viewers_test_support.h"
#include "logs/user_log.h"
#include "logs/website_log.h"
#include "platform/core/cp1252.h"
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

// The text the log windows showed before it was written digit by digit.
std::string PrintedStamp(OleDate d) {
    const auto p = ToParts(d);
    if (!p) return {};
    char text[64];
    if (p->hour == 0 && p->minute == 0 && p->second == 0)
        std::snprintf(text, sizeof text, "%d/%d/%04d", p->month, p->day, p->year);
    else
        std::snprintf(text, sizeof text, "%d/%d/%04d %02d:%02d:%02d", p->month, p->day, p->year, p->hour, p->minute,
                      p->second);
    return text;
}

TEST(LogStampText, ReadsAsPrintedAcrossTheWholeRange) {
    std::vector<OleDate> dates = {kMinOleDate, kMaxOleDate, 0, -0.5, 1e-9, 0.999999999, -1.999999999,
                                  std::numeric_limits<double>::quiet_NaN(), 1e12};
    for (OleDate d = kMinOleDate; d < kMaxOleDate; d += 997.123457) dates.push_back(d);
    for (const OleDate d : dates) {
        EXPECT_EQ(ui::LogStampText(d), PrintedStamp(d)) << d;
        std::string appended = "x";
        ui::AppendLogStampText(appended, d);
        EXPECT_EQ(appended, "x" + PrintedStamp(d)) << d;
    }
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
    // The open sessions among the rows read, as a scan of their own counts
    // them: ben and gus (an unknown login), not the deleted eve nor fay
    // without a login.
    EXPECT_EQ(rows.ActiveCount(), 2);
    EXPECT_EQ(rows.ActiveCount(), UserLog().GetActiveUserCount());
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

// A loop of symbolic links at the log's path is an error, not an empty log.
TEST_F(LogRowsTest, ASymlinkLoopAtTheLogsPathRaises75) {
    for (LogRows::Kind kind : {LogRows::Kind::User, LogRows::Kind::Website}) {
        const std::string path = kind == LogRows::Kind::User ? UserLog().GetPathName("") : WebsiteLog().GetPathName("");
        std::filesystem::remove(path);
        std::filesystem::create_symlink(path, path);
        try {
            LogRows::Load(kind, path, 0);
            ADD_FAILURE() << path << " read as a log";
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), 75) << e.Description();
        }
        std::filesystem::remove(path);
    }
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

// The order the viewers gave before sort keys: a stable sort of the
// newest-first rows comparing the cells' texts with letter case folded.
std::vector<std::int32_t> ReferenceOrder(const LogRows& loaded, int column, bool ascending) {
    std::vector<std::string> cells;
    for (std::int32_t r = 0; r < loaded.Count(); ++r) cells.push_back(loaded.CellBytes(r, column));
    std::vector<std::int32_t> rows(cells.size());
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [&](std::int32_t a, std::int32_t b) {
        const int c = log_sort::CompareFolded(cells[static_cast<std::size_t>(a)], cells[static_cast<std::size_t>(b)]);
        return ascending ? c < 0 : c > 0;
    });
    std::vector<std::int32_t> ids;
    for (const std::int32_t r : rows) ids.push_back(loaded.LogID(r));
    return ids;
}

// Every column both ways, once after another, as header clicks do.
void ExpectSortsAsTheReference(LogRows rows) {
    const LogRows loaded = rows;
    for (int column = 0; column < rows.ColumnCount(); ++column)
        for (const bool ascending : {true, false}) {
            SCOPED_TRACE("column " + std::to_string(column) + (ascending ? " ascending" : " descending"));
            rows.Sort(column, ascending);
            std::vector<std::int32_t> ids;
            for (std::int32_t r = 0; r < rows.Count(); ++r) ids.push_back(rows.LogID(r));
            EXPECT_EQ(ids, ReferenceOrder(loaded, column, ascending));
        }
}

// The entry of list that case i takes, stepping through it step at a time.
template <typename List>
auto Pick(const List& list, int i, int step) {
    return list[static_cast<std::size_t>(i * step) % list.size()];
}

// Stamps at month and day digit boundaries, midnight beside the first
// second, zero, and stamps that give no text.
std::vector<OleDate> VariedStamps() {
    std::vector<OleDate> stamps = {0, std::numeric_limits<double>::quiet_NaN(), 1e10};
    const DateTimeParts parts[] = {
        {2026, 1, 1, 0, 0, 0},   {2026, 1, 1, 0, 0, 1}, {2026, 1, 2, 8, 0, 0},  {2026, 1, 10, 8, 0, 0},
        {2026, 1, 19, 8, 0, 0},  {2026, 1, 20, 0, 0, 0}, {2026, 1, 3, 23, 59, 59}, {2026, 1, 30, 10, 0, 0},
        {2026, 1, 31, 9, 59, 59}, {2026, 2, 1, 0, 0, 0}, {2026, 9, 30, 12, 0, 0}, {2026, 10, 1, 12, 0, 0},
        {2026, 11, 9, 12, 0, 0}, {2026, 12, 31, 23, 59, 59}, {999, 12, 31, 0, 0, 0}, {1000, 1, 1, 0, 0, 0},
    };
    for (const DateTimeParts& p : parts) stamps.push_back(*FromParts(p));
    return stamps;
}

TEST_F(LogRowsTest, UserLogSortsAsTheTextComparisonDid) {
    // Logins alike but for letter case (accented capitals too, but not the
    // multiplication sign), names empty or prefixes of each other, and every
    // mix of refused, active and unknown.
    const std::vector<std::string> logins = {"ann", "Ann", "ANN", "bob", "Émile", "émile", "emile",
                                             "zoë", "ZoË", "×", "÷", "ann2", "an"};
    const std::vector<std::string> names = {"", "Lee", "lee", "LEE", "Lee Ann", "Le", "-", "*"};
    const std::vector<std::string> computers = {"pc1", "PC1", "pc10", "pc2", ""};
    const std::vector<OleDate> stamps = VariedStamps();
    for (int i = 0; i < 64; ++i)
        AddUserLog({Pick(logins, i, 1), Pick(names, i, 3), i % 4 == 0 ? "Corvane" : "corvane", Pick(computers, i, 7),
                    Pick(stamps, i, 1), Pick(stamps, i, 5), i % 5 == 0, i % 3 == 0, i % 7 == 0});
    ExpectSortsAsTheReference(LogRows::Load(LogRows::Kind::User, UserLog().GetPathName(""), 0));
}

TEST_F(LogRowsTest, WebsiteLogSortsAsTheTextComparisonDid) {
    // Statuses that translate alike, one unknown (an empty cell) and one empty.
    const std::vector<std::string> statuses = {"URL ACCEPTED", "url accepted", "URL DENIED", "LOGIN SUCCESS",
                                               "whatever", ""};
    const std::vector<std::string> urls = {"https://a.example/", "HTTPS://A.EXAMPLE/", "https://a.example/x",
                                           "https://b.example/", "", "https://A.example/"};
    const std::vector<OleDate> stamps = VariedStamps();
    for (int i = 0; i < 60; ++i)
        AddWebsiteLog({i % 3 ? "ann" : "Ann", "Corvane", i % 2 ? "pc1" : "PC1", Pick(urls, i, 5), Pick(stamps, i, 1),
                       Pick(statuses, i, 7)});
    ExpectSortsAsTheReference(LogRows::Load(LogRows::Kind::Website, WebsiteLog().GetPathName(""), 0));
}

// A log large enough to be read in pieces: deleted slots and blank logins
// here and there, 301 spellings of one status that first appear one after
// another through the file (only the first 255 get a cell), and a last slot
// that holds its data part but not its padding.
// A reload in the memory of the rows it replaces reads what a fresh load
// reads, and rows still held elsewhere (a report printing them) are left
// whole.
TEST_F(LogRowsTest, AReloadInTheOldRowsMemoryReadsAsAFreshLoadAndSparesHeldRows) {
    const OleDate in = Stamp(2026, 12, 9, 17, 48, 5);
    for (int i = 0; i < 40; ++i)
        AddUserLog({"user" + std::to_string(i), "Name " + std::to_string(i), "Corvane", "pc", in, 0, i % 3 == 0,
                    i % 4 == 0, false});
    const std::string path = UserLog().GetPathName("");
    LogRows shown = LogRows::Load(LogRows::Kind::User, path, 0);
    const LogRows held = shown;  // a report's copy
    const std::vector<std::string> heldFirst = RowCells(held, 0);
    AddUserLog({"zed", "A much longer name than any before it", "Corvane", "pc9", in, 0, false, true, false});
    for (const bool stillHeld : {true, false}) {
        SCOPED_TRACE(stillHeld ? "a copy still held" : "nothing else holds them");
        LogRows reloaded = LogRows::Load(LogRows::Kind::User, path, 0, std::move(shown));
        const LogRows fresh = LogRows::Load(LogRows::Kind::User, path, 0);
        ASSERT_EQ(reloaded.Count(), fresh.Count());
        for (std::int32_t r = 0; r < fresh.Count(); ++r) {
            ASSERT_EQ(RowCells(reloaded, r), RowCells(fresh, r)) << r;
            ASSERT_EQ(reloaded.LogID(r), fresh.LogID(r));
        }
        EXPECT_EQ(reloaded.ActiveCount(), UserLog().GetActiveUserCount());
        EXPECT_EQ(held.Count(), 40);
        EXPECT_EQ(RowCells(held, 0), heldFirst);
        shown = std::move(reloaded);
    }
}

TEST_F(LogRowsTest, ALogReadInPiecesGivesTheRowsOfOneReader) {
    const RecordDescription& d = WebsiteLog::Table();
    const std::int32_t slots = 50000;
    auto spelling = [](std::int32_t n) {
        const int v = (n - 1) / 166;
        std::string s = "url denied";
        for (std::size_t i = 0, bit = 0; i < s.size(); ++i)
            if (s[i] != ' ' && (v >> bit++ & 1)) s[i] = static_cast<char>(s[i] - 0x20);
        return std::make_pair(v, s);
    };
    const OleDate start = Stamp(2026, 1, 1, 0, 0, 0);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(slots + 1) * d.slotLength);
    for (std::int32_t n = 1; n <= slots + 1; ++n) {
        std::string slot(d.slotLength, '\0');
        std::copy(d.blankRecord.begin(), d.blankRecord.end(), slot.begin());
        auto put = [&](int field, const std::string& text) {
            const FieldSpec& f = d.fields[static_cast<std::size_t>(field)];
            slot.replace(f.offset, f.width, cp1252::ToField(text, f.width));
        };
        put(WebsiteLog::kUserLogin, n % 89 == 0 ? "" : "u" + std::to_string(n % 13));
        put(WebsiteLog::kURL, "https://x/" + std::to_string(n));
        // Hundreds of distinct statuses, and the one that matters among them.
        put(WebsiteLog::kStatus, n % 5 == 0 ? "URL ACCEPTED" : spelling(n).second);
        const double stamp = start + n / 1440.0;
        std::memcpy(slot.data() + d.fields[WebsiteLog::kTimeStamp].offset, &stamp, sizeof stamp);
        const std::size_t deleted = d.fields[WebsiteLog::kDeleted].offset;
        if (n % 97 == 0) slot[deleted] = slot[deleted + 1] = '\xFF';  // -1
        bytes += n <= slots ? slot : slot.substr(0, d.dataLength + 10);
    }
    std::ofstream(WebsiteLog().GetPathName(""), std::ios::binary) << bytes;

    const LogRows rows = LogRows::Load(LogRows::Kind::Website, WebsiteLog().GetPathName(""), 0);
    std::int32_t r = 0;
    for (std::int32_t n = slots + 1; n >= 1; --n) {
        if (n % 97 == 0 || n % 89 == 0) continue;
        ASSERT_LT(r, rows.Count());
        ASSERT_EQ(rows.LogID(r), n);
        ASSERT_EQ(rows.Cell(r, 0), "u" + std::to_string(n % 13));
        ASSERT_EQ(rows.Cell(r, 3), "https://x/" + std::to_string(n));
        ASSERT_EQ(rows.Cell(r, 4), ui::LogStampText(start + n / 1440.0));
        ASSERT_EQ(rows.Cell(r, 5), n % 5 == 0 ? "URL Accepted" : "URL Denied") << n;
        ++r;
    }
    EXPECT_EQ(r, rows.Count());
    ExpectSortsAsTheReference(rows);
}

}  // namespace
