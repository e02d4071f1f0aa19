// The guard on files a person names: Corvane's own folders are refused, after
// links and again at the moment of writing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/core/program_globals.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/settings_store.h"
#include "platform/system/write_guard.h"
#include "support/temp_folder.h"

using namespace corvane;
using corvane::test_support::TempFolder;
namespace fs = std::filesystem;

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

GuardedWrite WriteText(const std::string& target, const std::string& text) {
    return WriteFileGuarded(target, [&](std::FILE* f) { return std::fwrite(text.data(), 1, text.size(), f) == text.size(); });
}

class WriteGuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"program", "data", "ini", "runtime", "out", "data-old"})
            fs::create_directory(tmp_ / folder);
        savedData_ = gDataPath;
        savedIni_ = gGlobalSettingsINIPathname;
        ::setenv("CORVANE_PROGRAM_DIR", (tmp_ / "program").c_str(), 1);
        gDataPath = tmp_ / "data";
        gGlobalSettingsINIPathname = tmp_ / "ini/global.ini";
        gUseGlobalSettingsINIFile = true;
        ProtectFolder(tmp_ / "runtime");
        registry_ = fs::path(registry_store::HivePath(HKEY_LOCAL_MACHINE)).parent_path().string();
        fs::create_directories(registry_);
        users_ = tmp_.Write("data/users.sec", std::string(300, 'U'));
    }
    void TearDown() override {
        ::unsetenv("CORVANE_PROGRAM_DIR");
        gDataPath = savedData_;
        gGlobalSettingsINIPathname = savedIni_;
        gUseGlobalSettingsINIFile = false;
    }

    TempFolder tmp_;
    std::string savedData_, savedIni_, registry_, users_;
};

TEST_F(WriteGuardTest, TheDecisionOnRealPaths) {
    const std::vector<std::string> folders{"/srv/corvane", "/var/lib/corvane/"};
    struct Row { const char* target; bool allowed; const char* folder; };
    const Row rows[] = {
        {"/srv/corvane/users.sec", false, "/srv/corvane"},
        {"/srv/corvane", false, "/srv/corvane"},
        {"/srv/corvane/sub/deeper.txt", false, "/srv/corvane"},
        {"/var/lib/corvane/machine.db", false, "/var/lib/corvane/"},
        {"/srv/corvane-old/users.sec", true, ""},
        {"/srv/report.txt", true, ""},
        {"relative/users.sec", false, ""},
        {"", false, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.target);
        const WriteTargetVerdict verdict = DecideWriteTarget(row.target, folders);
        EXPECT_EQ(verdict.allowed, row.allowed);
        EXPECT_EQ(verdict.folder, row.folder);
    }
}

TEST_F(WriteGuardTest, EveryOwnFolderIsRefusedAfterLinksAndAnOtherFolderIsWritten) {
    fs::create_directory_symlink(tmp_ / "data", tmp_ / "out/to-data");
    fs::create_symlink(users_, tmp_ / "out/users-link");
    const std::string data = fs::canonical(tmp_ / "data").string();
    struct Row { std::string target; std::string folder; };
    const Row rows[] = {
        {users_, data},
        {tmp_ / "program/corvane", fs::canonical(tmp_ / "program").string()},
        {registry_ + "/machine.db", fs::canonical(registry_).string()},
        {tmp_ / "ini/global.ini", fs::canonical(tmp_ / "ini").string()},
        {tmp_ / "runtime/WS.lock", fs::canonical(tmp_ / "runtime").string()},
        {tmp_ / "out/../data/users.sec", data},
        {tmp_ / "out/to-data/users.sec", data},
        {tmp_ / "out/users-link", data},
        {tmp_ / "data/new-file.txt", data},
        {tmp_ / "data-old/report.txt", ""},
        {tmp_ / "out/report.txt", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.target);
        const WriteTargetVerdict verdict = CheckWriteTarget(row.target);
        EXPECT_EQ(verdict.allowed, row.folder.empty());
        EXPECT_EQ(verdict.folder, row.folder);
        const bool existed = fs::exists(row.target);
        const GuardedWrite written = WriteText(row.target, "written");
        if (row.folder.empty()) {
            EXPECT_EQ(written.result, GuardedWrite::Result::Written);
            EXPECT_EQ(Read(row.target), "written");
        } else {
            EXPECT_EQ(written.result, GuardedWrite::Result::Refused);
            EXPECT_EQ(written.verdict.folder, row.folder);
            EXPECT_EQ(fs::exists(row.target), existed);
        }
    }
    EXPECT_EQ(Read(users_), std::string(300, 'U'));
    // An INI file the settings do not live in is no file of Corvane's.
    gUseGlobalSettingsINIFile = false;
    EXPECT_TRUE(CheckWriteTarget(tmp_ / "ini/global.ini").allowed);
    EXPECT_NE(WriteRefusalText(CheckWriteTarget(users_)).find(data), std::string::npos);
    // No scratch file is left behind anywhere.
    for (const auto& entry : fs::recursive_directory_iterator(tmp_.Path()))
        EXPECT_EQ(entry.path().filename().string().find(".corvane-"), std::string::npos) << entry.path();
}

TEST_F(WriteGuardTest, ALinkPlantedAfterTheChoiceDoesNotRedirectTheWrite) {
    // The folder chosen becomes a link to the data folder.
    fs::create_directory(tmp_ / "chosen");
    const std::string inFolder = tmp_ / "chosen/users.sec";
    ASSERT_TRUE(CheckWriteTarget(inFolder).allowed);
    fs::remove(tmp_ / "chosen");
    fs::create_directory_symlink(tmp_ / "data", tmp_ / "chosen");
    EXPECT_EQ(WriteText(inFolder, "x").result, GuardedWrite::Result::Refused);

    // The name chosen becomes a link to the account table.
    const std::string name = tmp_ / "out/report.txt";
    ASSERT_TRUE(CheckWriteTarget(name).allowed);
    fs::create_symlink(users_, name);
    EXPECT_EQ(WriteText(name, "x").result, GuardedWrite::Result::Refused);

    // A second name of the account table's file is replaced, never written through.
    const std::string hard = tmp_ / "out/hard.txt";
    fs::create_hard_link(users_, hard);
    EXPECT_EQ(WriteText(hard, "x").result, GuardedWrite::Result::Written);
    EXPECT_EQ(Read(hard), "x");
    EXPECT_EQ(Read(users_), std::string(300, 'U'));
}

TEST_F(WriteGuardTest, CopiesAFolderTreeOnlyOutsideOwnFolders) {
    tmp_.Write("out/page.html", "<html>");
    fs::create_directories(tmp_ / "out/page_files/img");
    tmp_.Write("out/page_files/img/a.png", "png");
    fs::create_directory(tmp_ / "saved");
    EXPECT_EQ(CopyGuarded(tmp_ / "out/page_files", tmp_ / "saved/page_files").result, GuardedWrite::Result::Written);
    EXPECT_EQ(Read(tmp_ / "saved/page_files/img/a.png"), "png");
    EXPECT_EQ(CopyGuarded(tmp_ / "out/page_files", tmp_ / "data/page_files").result, GuardedWrite::Result::Refused);
    EXPECT_FALSE(fs::exists(tmp_ / "data/page_files"));
    EXPECT_EQ(CopyGuarded(tmp_ / "out/page.html", users_).result, GuardedWrite::Result::Refused);
    EXPECT_EQ(CopyGuarded(tmp_ / "out/missing", tmp_ / "saved/x").result, GuardedWrite::Result::Failed);
}

}  // namespace
