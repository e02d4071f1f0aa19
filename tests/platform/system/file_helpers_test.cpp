#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/core/event_loop.h"
#include "platform/system/file_helpers.h"
#include "platform/core/raised_error.h"
#include "support/temp_folder.h"

using namespace corvane;
using corvane::test_support::TempFolder;

TEST(FilePaths, SplitAndMendTextOnly) {
    const File f;
    struct Case { const char* in; const char* name; const char* path; const char* ext;
                  const char* stripped; const char* clean; const char* fixed; };
    const Case cases[] = {
        {"C:\\dir\\file.txt", "file.txt", "C:\\dir\\", "txt", "C:\\dir\\file", "C:\\dir\\file.txt", "C:\\dir\\file.txt\\"},
        {"C:\\dir\\", "", "C:\\dir\\", "", "C:\\dir\\", "C:\\dir", "C:\\dir\\"},
        {"C:\\", "", "C:\\", "", "C:\\", "C:", "C:\\"},
        {"file.txt", "file.txt", "", "txt", "file", "file.txt", "file.txt/"},
        {"C:file.txt", "C:file.txt", "C:", "txt", "C:file", "C:file.txt", "C:file.txt/"},
        {"\\\\server\\share\\f.txt", "f.txt", "\\\\server\\share\\", "txt", "\\\\server\\share\\f", "\\\\server\\share\\f.txt", "\\\\server\\share\\f.txt\\"},
        {"C:\\my.dir\\file.txt", "file.txt", "C:\\my.dir\\", "txt", "C:\\my", "C:\\my.dir\\file.txt", "C:\\my.dir\\file.txt\\"},
        {"/home/ann/archive.tar.gz", "archive.tar.gz", "/home/ann/", "gz", "/home/ann/archive", "/home/ann/archive.tar.gz", "/home/ann/archive.tar.gz/"},
        {"/srv\\mixed/x", "x", "/srv\\mixed/", "", "/srv\\mixed/x", "/srv\\mixed/x", "/srv\\mixed/x/"},
        {"readme", "readme", "", "", "readme", "readme", "readme/"},
        {"", "", "", "", "", "", "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(f.GetFileName(c.in), c.name);
        EXPECT_EQ(f.StripPath(c.in), c.name);
        EXPECT_EQ(f.IsFile(c.in), std::string(c.name) != "");
        EXPECT_EQ(f.GetPath(c.in), c.path);
        EXPECT_EQ(f.GetExtension(c.in), c.ext);
        EXPECT_EQ(f.StripExtension(c.in), c.stripped);
        EXPECT_EQ(f.DirClean(c.in), c.clean);
        EXPECT_EQ(f.FixPath(c.in), c.fixed);
    }
    EXPECT_EQ(f.DirClean("  C:\\temp\\\\  "), "C:\\temp");
    EXPECT_EQ(f.DirClean(" /var/lib// "), "/var/lib");
}

TEST(FileExists, FindsFilesHiddenOnesAndPatternsButNotFolders) {
    TempFolder dir;
    const File f;
    const std::string file = dir.Write("users.sec", "x");
    dir.Write(".hidden", "x");
    std::filesystem::create_directory(dir / "sub");

    EXPECT_TRUE(f.FileExists(file));
    EXPECT_TRUE(f.FileExists(dir / ".hidden"));
    EXPECT_FALSE(f.FileExists(""));
    EXPECT_FALSE(f.FileExists(dir / "missing.sec"));
    EXPECT_FALSE(f.FileExists(dir / "sub"));
    EXPECT_TRUE(f.Exists(dir / "sub"));
    EXPECT_FALSE(f.Exists(dir / "nothing"));

    EXPECT_TRUE(f.FileExists(dir / "*.sec"));
    EXPECT_TRUE(f.FileExists(dir / "user?.sec"));
    EXPECT_FALSE(f.FileExists(dir / "*.txt"));
    EXPECT_FALSE(f.FileExists(dir / "su*"));  // only a folder matches
    EXPECT_TRUE(f.Exists(dir / "su*"));
    EXPECT_TRUE(f.FileExists(dir.Path() + "/"));
    EXPECT_FALSE(f.FileExists(dir / "sub/"));  // an empty folder holds no file

    std::string backslashed = file;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    EXPECT_TRUE(f.FileExists(backslashed));
}

TEST(FileOperations, CreatePathAnswersFalseWhenItCannot) {
    TempFolder dir;
    File f;
    EXPECT_TRUE(f.CreatePath(dir / "a/b\\c"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "a/b/c"));
    EXPECT_TRUE(f.CreatePath(dir / "a/b"));  // already there

    dir.Write("plain", "x");
    EXPECT_FALSE(f.CreatePath(dir / "plain/below"));  // a file in the way
    EXPECT_FALSE(f.CreatePath(""));
    chmod(dir.Path().c_str(), 0500);
    if (geteuid() != 0) {
        EXPECT_FALSE(f.CreatePath(dir / "denied/x"));
    }
    chmod(dir.Path().c_str(), 0700);
}

TEST(FileOperations, CopyMoveAndDelete) {
    TempFolder dir;
    File f;
    int yields = 0;
    SetYieldHook([&] { ++yields; });
    const std::string source = dir.Write("a.txt", "alpha");
    EXPECT_EQ(f.FileCopy(source, dir / "b.txt", true, true, 0), 0);
    EXPECT_EQ(yields, 1);
    SetYieldHook(nullptr);
    std::filesystem::create_directory(dir / "into");
    EXPECT_EQ(f.FileCopy(source, dir / "into", false, false, 0), 0);
    EXPECT_TRUE(f.FileExists(dir / "into/a.txt"));
    dir.Write("b.txt", "old");
    f.CopyFile(source, dir / "b.txt");  // replaces
    std::ifstream in(dir / "b.txt");
    std::string content;
    in >> content;
    EXPECT_EQ(content, "alpha");

    EXPECT_NE(f.FileCopy(dir / "missing", dir / "c.txt", true, true, 0), 0);
    EXPECT_THROW(f.FileCopy(source, dir / "c.txt", false, false, 0x10000), RaisedError);

    EXPECT_EQ(f.FileMove(dir / "b.txt", dir / "c.txt", true, true, 0), 0);
    EXPECT_FALSE(f.FileExists(dir / "b.txt"));
    EXPECT_TRUE(f.FileExists(dir / "c.txt"));

    f.DeleteFile(dir / "c.txt");
    f.DeleteFile(dir / "into");  // a folder is not a file: left alone
    f.DeleteFile(dir / "never");
    EXPECT_FALSE(f.FileExists(dir / "c.txt"));
    EXPECT_TRUE(f.Exists(dir / "into"));
}

TEST(FileOperations, MatchFileNameByFoundNameOrWholeText) {
    TempFolder dir;
    const File f;
    const std::string exe = dir.Write("Notepad.exe", "");
    EXPECT_TRUE(f.MatchFileName(exe, " NOTEPAD.EXE "));
    EXPECT_FALSE(f.MatchFileName(exe, "notepad"));
    EXPECT_TRUE(f.MatchFileName("gedit", "GEDIT"));  // not on disk: the text itself
    EXPECT_FALSE(f.MatchFileName(dir / "other.exe", "notepad.exe"));
}

TEST(FileOperations, CompactedPathKeepsTheFileName) {
    const File f;
    const TextWidth oneEach = [](std::string_view s) { return static_cast<int>(s.size()); };
    const std::string path = "/home/ann/documents/reports/2023/summary.txt";
    EXPECT_EQ(f.CompactedPath(path, 100, oneEach), path);
    EXPECT_EQ(f.CompactedPath(path, 24, oneEach), "/home/ann.../summary.txt");
    EXPECT_EQ(f.CompactedPath(path, 24, oneEach).size(), 24u);
    const std::string shortened = f.CompactedPathShort(path, 20, oneEach);
    EXPECT_LE(shortened.size(), 20u);
    EXPECT_NE(shortened.find("summary"), std::string::npos);
    EXPECT_EQ(f.CompactedPathShort(path, 8, oneEach), "/summ...");
    EXPECT_EQ(f.CompactedPath("C:\\a\\b\\c.txt", 9, oneEach), "...\\c.txt");
    // Two-byte characters are never cut in half.
    EXPECT_EQ(f.CompactedPath("/\u00E9\u00E9\u00E9/x", 7, oneEach), "/.../x");
}

TEST(FileOperations, FindRootFileLooksInTheRootFolder) {
    const File f;
    EXPECT_EQ(f.FindRootFile("no-such-file-here.sec"), "");
    EXPECT_EQ(f.FindRootFile(""), "");
}
