#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/system/file_info.h"
#include "support/temp_folder.h"

using namespace corvane;
using corvane::test_support::TempFolder;

TEST(FormatFileSize, ChoosesUnitAndDecimalsByThousandsOfKilobytes) {
    struct Case { std::int64_t size; const char* text; };
    const Case cases[] = {
        {0, "0 bytes"},
        {500, "500 bytes"},
        {1023, "1,023 bytes"},
        {1024, "1.00KB (1,024 bytes)"},
        {1152, "1.13KB (1,152 bytes)"},  // 1.125: halves round up
        {1536, "1.50KB (1,536 bytes)"},
        {10239, "10.00KB (10,239 bytes)"},
        {10240, "10.0KB (10,240 bytes)"},
        {15360, "15.0KB (15,360 bytes)"},
        {102400, "100KB (102,400 bytes)"},
        {1023999, "1000KB (1,023,999 bytes)"},
        {1024000, "0.98MB (1,024,000 bytes)"},
        {5242880, "5.00MB (5,242,880 bytes)"},
        {52428800, "50.0MB (52,428,800 bytes)"},
        {102400000, "98MB (102,400,000 bytes)"},
        {1024000000, "0.95GB (1,024,000,000 bytes)"},
        {3221225472, "3.00GB (3,221,225,472 bytes)"},  // past 2 GB: not negative
        {1099511627776, "1024.00GB (1,099,511,627,776 bytes)"},
    };
    for (const auto& c : cases) EXPECT_EQ(FileInfo::FormatFileSize(c.size), c.text) << c.size;
}

TEST(FormatFileDate, LongDateAndLongTime) {
    const auto d = FromParts({2023, 3, 15, 13, 5, 9});
    ASSERT_TRUE(d);
    EXPECT_EQ(FileInfo::FormatFileDate(*d), "Wednesday, March 15, 2023 1:05:09 PM");
    EXPECT_EQ(FileInfo::FormatFileDate(*FromParts({2000, 1, 1, 0, 0, 0})),
              "Saturday, January 1, 2000 12:00:00 AM");
    EXPECT_EQ(FileInfo::FormatFileDate(1e12), "");
}

TEST(FileInfo, ReadsNamesSizesTimesAndAttributes) {
    TempFolder dir;
    const std::string file = dir.Write("Report.Final.txt", std::string(1536, 'x'));
    FileInfo info;
    info.SetFullPathName(file);
    EXPECT_TRUE(info.FileExists());
    EXPECT_TRUE(info.PathExists());
    EXPECT_EQ(info.Filename(), "Report.Final.txt");
    EXPECT_EQ(info.Filepath(), dir.Path() + "/");
    EXPECT_EQ(info.FullPathName(), file);
    EXPECT_EQ(info.FileExtension(), "txt");
    EXPECT_EQ(info.ShortName(), "REPORT.FINAL.TXT");
    EXPECT_EQ(info.ShortPath(), info.Filepath());
    EXPECT_EQ(info.TypeName(), "TXT File");
    EXPECT_EQ(info.DisplayName(), "Report.Final.txt");
    EXPECT_EQ(info.FileSize(), 1536);
    EXPECT_EQ(info.FileSizeHigh(), 0);
    EXPECT_LE(info.CompressedFileSize(), 1536);
    EXPECT_FALSE(info.IsReadOnly());
    EXPECT_FALSE(info.IsHidden());
    EXPECT_FALSE(info.Available());
    const auto modified = ToParts(info.ModifyTime());
    ASSERT_TRUE(modified);
    EXPECT_GE(modified->year, 2023);
    EXPECT_EQ(modified->millisecond, 0);

    chmod(file.c_str(), 0444);
    info.Refresh();
    EXPECT_TRUE(info.IsReadOnly());

    FileInfo hidden;
    hidden.SetFullPathName(dir.Write(".profile", ""));
    EXPECT_TRUE(hidden.IsHidden());
    EXPECT_EQ(hidden.TypeName(), "PROFILE File");
    FileInfo bare;
    bare.SetFullPathName(dir.Write("Makefile", ""));
    EXPECT_EQ(bare.TypeName(), "File");
    EXPECT_EQ(bare.FileExtension(), "");
}

TEST(FileInfo, ResolvesRelativeAndBackslashedPaths) {
    TempFolder dir;
    dir.Write("a.txt", "");
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    FileInfo info;
    info.SetFullPathName("sub\\..\\a.txt");
    std::filesystem::current_path(old);
    EXPECT_TRUE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), dir / "a.txt");
}

TEST(FileInfo, MissingFileKeepsWhatTheLastReadLeft) {
    TempFolder dir;
    FileInfo fresh;
    fresh.SetFullPathName(dir / "missing.txt");
    EXPECT_EQ(fresh.FullPathName(), dir / "missing.txt");
    EXPECT_FALSE(fresh.FileExists());
    EXPECT_FALSE(fresh.PathExists());
    EXPECT_EQ(fresh.Filename(), "");
    EXPECT_EQ(fresh.FileSize(), 0);

    FileInfo info;
    info.SetFullPathName(dir.Write("first.txt", "12345"));
    info.SetFullPathName(dir / "gone.txt");
    EXPECT_FALSE(info.FileExists());
    EXPECT_TRUE(info.PathExists());
    EXPECT_EQ(info.Filename(), "first.txt");
    EXPECT_EQ(info.FileSize(), 5);
}
