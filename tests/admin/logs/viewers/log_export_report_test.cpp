// The exported list file and the printed report's lines, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "admin/logs/viewers/log_export.h"
#include "admin/logs/viewers/log_report.h"
#include "admin/logs/viewers/log_viewers_test_support.h"

using namespace corvane;
using namespace corvane::test;

namespace {

const std::vector<std::string> kUserCaptions = {"User Login", "User Name", "Application", "Computer",
                                                "Login Time", "Logout Time", "Active"};
const std::vector<std::string> kUserTags = {"20", "30", "30", "20", "21", "21", "15"};
const std::vector<std::string> kWebCaptions = {"User Login", "Application", "Computer", "URL", "Time", "Status"};
const std::vector<std::string> kWebTags = {"20", "30", "20", "255", "21", "21"};

std::string Pad(const std::string& s, std::size_t w) { return s.substr(0, w) + std::string(w - std::min(w, s.size()), ' '); }

class ExportTest : public LogFolderTest {
protected:
    std::string Export(const LogRows& rows, const std::vector<std::string>& captions,
                       const std::vector<std::string>& tags) {
        const std::string path = Path("out.txt");
        std::FILE* file = std::fopen(path.c_str(), "wb");
        WriteExportFile(file, rows, captions, tags);
        std::fclose(file);
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(ExportTest, UserLogFileByteForByte) {
    AddUserLog({"ann", std::string(31, 'n'), "Corvane", "pc1", Stamp(2026, 12, 31, 23, 59, 59), 0, true});
    AddUserLog({"ben", "Ben", "Corvane", "pc2", Stamp(2026, 12, 9, 8, 0, 0), 0, false, true});
    const LogRows rows = LogRows::Load(LogRows::Kind::User, UserLog().GetPathName(""), 0);
    const std::string file = Export(rows, kUserCaptions, kUserTags);

    const std::string header = "User Login          \tUser Name                     \tApplication                   \t"
                               "Computer            \tLogin Time           \tLogout Time          \tActive         \t"
                               "\r\n\r\n";
    ASSERT_EQ(header.size(), 168u);
    const std::string ben = Pad("ben", 20) + "\t" + Pad("Ben", 30) + "\t" + Pad("Corvane", 30) + "\t" + Pad("pc2", 20) +
                            "\t" + Pad("12/9/2026 08:00:00", 21) + "\t" + Pad("-", 21) + "\t" + Pad("Yes", 15) + "\t\r\n";
    // The 31-character name is cut to 30; the refused stamp keeps its "*" and its seconds.
    const std::string ann = Pad("ann", 20) + "\t" + std::string(30, 'n') + "\t" + Pad("Corvane", 30) + "\t" +
                            Pad("pc1", 20) + "\t" + Pad("*12/31/2026 23:59:59", 21) + "\t" + Pad("-", 21) + "\t" +
                            Pad("-", 15) + "\t\r\n";
    ASSERT_EQ(ben.size(), 166u);
    EXPECT_EQ(file, header + ben + ann);
}

TEST_F(ExportTest, WebsiteLogKeepsTheWholeAddressAndEncodesForTheCodePage) {
    const std::string url = "https://example.org/" + std::string(235, 'p');
    AddWebsiteLog({"zoë", "Corvane", "pc1", url, Stamp(2026, 12, 9, 0, 0, 0), "URL DENIED"});
    const LogRows rows = LogRows::Load(LogRows::Kind::Website, WebsiteLog().GetPathName(""), 0);
    // A caption the code page cannot hold comes out with "?".
    std::vector<std::string> captions = kWebCaptions;
    captions[0] = "Login ✓";
    const std::string file = Export(rows, captions, kWebTags);
    const std::string header = Pad("Login ?", 20) + "\t" + Pad("Application", 30) + "\t" + Pad("Computer", 20) + "\t" +
                               Pad("URL", 255) + "\t" + Pad("Time", 21) + "\t" + Pad("Status", 21) + "\t\r\n\r\n";
    ASSERT_EQ(header.size(), 377u);
    const std::string row = Pad("zo\xEB", 20) + "\t" + Pad("Corvane", 30) + "\t" + Pad("pc1", 20) + "\t" + url + "\t" +
                            Pad("12/9/2026", 21) + "\t" + Pad("URL Denied", 21) + "\t\r\n";
    ASSERT_EQ(row.size(), 375u);
    EXPECT_EQ(file, header + row);
}

TEST_F(ExportTest, EmptyListGivesTheHeaderAndTheEmptyLine) {
    const LogRows rows = LogRows::Load(LogRows::Kind::User, UserLog().GetPathName(""), 0);
    EXPECT_EQ(Export(rows, kUserCaptions, kUserTags), ExportHeaderLine(kUserCaptions, kUserTags));
}

// Ten thousand rows in a shown order, past the blocks the rows are formatted
// in: every line in its place, each the same length.
TEST_F(ExportTest, ManyRowsComeOutInTheShownOrder) {
    const RecordDescription& desc = UserLog::Table();
    std::string slot(desc.slotLength, '\0');
    std::copy(desc.blankRecord.begin(), desc.blankRecord.end(), slot.begin());
    std::string bytes;
    for (int i = 0; i < 10000; ++i) {
        std::string s = slot;
        const std::string login = "user" + std::to_string(i % 1000) + std::string(static_cast<std::size_t>(i % 9), 'x');
        s.replace(desc.fields[UserLog::kUserLogin].offset, login.size(), login);
        const OleDate in = Stamp(2026, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 0);
        std::memcpy(s.data() + desc.fields[UserLog::kLoginStamp].offset, &in, sizeof in);
        bytes += s;
    }
    std::ofstream(UserLog().GetPathName(""), std::ios::binary) << bytes;
    LogRows rows = LogRows::Load(LogRows::Kind::User, UserLog().GetPathName(""), 0);
    rows.Sort(4, false);

    std::string expected = ExportHeaderLine(kUserCaptions, kUserTags);
    const std::size_t widths[] = {20, 30, 30, 20, 21, 21, 15};
    for (std::int32_t r = 0; r < rows.Count(); ++r) {
        for (int c = 0; c < 7; ++c) expected += Pad(rows.CellBytes(r, c), widths[c]) + "\t";
        expected += "\r\n";
    }
    EXPECT_EQ(Export(rows, kUserCaptions, kUserTags), expected);
}

class ReportTest : public LogFolderTest {
protected:
    static std::vector<PrintedLine> AllLines(LogReport& report) {
        std::vector<PrintedLine> lines;
        while (report.Next(lines)) {}
        return lines;
    }
};

TEST_F(ReportTest, FormatReportLineCutsAndPads) {
    struct Case {
        std::vector<std::string> cells;
        std::vector<int> widths;
        int indent;
        std::string line;
    };
    const Case cases[] = {
        {{"abc", "de"}, {5, 4}, 1, "abc  de  "},
        {{"abcdef", "defgh"}, {5, 4}, 1, "abcd def "},   // rows: width - 1 and a space
        {{"abcdef", "defgh"}, {5, 4}, 0, "abcdedefg"},   // headings: up to width, no space
        {{"", ""}, {2, 3}, 1, "     "},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatReportLine(c.cells, c.widths, " ", c.indent), c.line);
}

TEST_F(ReportTest, WebsiteReportLinesAndFonts) {
    const std::string url(100, 'u');
    AddWebsiteLog({"ann", "Corvane", "pc1", url, Stamp(2026, 12, 9, 8, 0, 0), "URL ACCEPTED"});
    const LogRows rows = LogRows::Load(LogRows::Kind::Website, WebsiteLog().GetPathName(""), 0);
    std::vector<std::string> headings = kWebCaptions;
    headings[1] = "ApplicationNameHeadingLongerThanThirty";
    LogReport report("Website Log", headings, kWebsiteLogReportWidths, rows, Stamp(2026, 12, 9, 17, 48, 30), 0);
    const std::vector<PrintedLine> lines = AllLines(report);
    const std::string rule(153, '-');
    const std::vector<PrintedLine> expected = {
        {"", 10, true},
        {"Website Log, Printed 12/9/2026 at 17:48", 8, true},
        {rule, 6, false},
        {"", 6, false},
        {Pad("User Login", 20) + "ApplicationNameHeadingLongerTh" + Pad("Computer", 20) + Pad("URL", 42) +
             Pad("Time", 21) + Pad("Status", 20), 6, true},
        {"", 6, true},
        {Pad("ann", 20) + Pad("Corvane", 30) + Pad("pc1", 20) + url.substr(0, 41) + " " +
             Pad("12/9/2026 08:00:00", 21) + Pad("URL Accepted", 20), 6, false},
        {"", 6, false},
        {rule, 6, false},
        {"", 6, false},
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(lines[4].text.size(), 153u);
    EXPECT_EQ(lines[6].text.size(), 153u);
}

TEST_F(ReportTest, ManyRowsAllPrintedAtFullWidthAndAnEmptyListHasNoRowLines) {
    const LogRows none = LogRows::Load(LogRows::Kind::User, UserLog().GetPathName(""), 0);
    LogReport empty("User Log", kUserCaptions, kUserLogReportWidths, none, Stamp(2026, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(AllLines(empty).size(), 9u);

    // 40,000 rows, past the old 16-bit counter.
    const RecordDescription& desc = UserLog::Table();
    std::string slot(desc.slotLength, '\0');
    std::copy(desc.blankRecord.begin(), desc.blankRecord.end(), slot.begin());
    const FieldSpec& login = desc.fields[UserLog::kUserLogin];
    std::string bytes;
    bytes.reserve(slot.size() * 40000);
    for (int i = 0; i < 40000; ++i) {
        std::string s = slot;
        const std::string name = "user" + std::to_string(i);
        s.replace(login.offset, name.size(), name);
        bytes += s;
    }
    std::ofstream(UserLog().GetPathName(""), std::ios::binary) << bytes;
    const LogRows rows = LogRows::Load(LogRows::Kind::User, UserLog().GetPathName(""), 0);
    ASSERT_EQ(rows.Count(), 40000);
    LogReport report("User Log", kUserCaptions, kUserLogReportWidths, rows, Stamp(2026, 1, 1, 0, 0, 0), 0);
    const std::vector<PrintedLine> lines = AllLines(report);
    EXPECT_EQ(report.RowsPrinted(), 40000);
    ASSERT_EQ(lines.size(), 40009u);
    for (std::size_t i = 2; i < lines.size(); ++i)
        if (!lines[i].text.empty()) ASSERT_EQ(lines[i].text.size(), 157u) << i;
    EXPECT_EQ(lines[6].text.substr(0, 20), Pad("user39999", 20));
}

}  // namespace
