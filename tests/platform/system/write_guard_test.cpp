// The guard on files a person names: Corvane's own folders are refused, after
// links and again at the moment of writing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/core/environment.h"
#include "platform/core/program_globals.h"
#include "platform/settings/registry_store.h"
#include "platform/settings/set_up_record.h"
#include "platform/settings/settings_store.h"
#include "platform/system/write_guard.h"
#include "support/scratch_desktop.h"
#include "support/temp_folder.h"

using namespace corvane;
using corvane::test_support::ScratchDesktop;
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

TEST_F(WriteGuardTest, TheDecisionOnStartPlaces) {
    const GuardedPlaces places{{"/srv/corvane"},
                               {"/home/p/.config/mimeapps.list", "/home/p/.config/autostart/corvane.desktop",
                                "/home/p/.local/share/applications"}};
    struct Row { const char* target; bool allowed; const char* place; bool startPlace; };
    const Row rows[] = {
        {"/srv/corvane/users.sec", false, "/srv/corvane", false},
        {"/home/p/.config/mimeapps.list", false, "/home/p/.config/mimeapps.list", true},
        {"/home/p/.config/autostart/corvane.desktop", false, "/home/p/.config/autostart/corvane.desktop", true},
        {"/home/p/.local/share/applications/evil.desktop", false, "/home/p/.local/share/applications", true},
        {"/home/p/.local/share/applications/kde/evil.desktop", false, "/home/p/.local/share/applications", true},
        {"/home/p/.local/share/applications", false, "/home/p/.local/share/applications", true},
        {"/home/p/.config/mimeapps.list.bak", true, "", false},
        {"/home/p/.config/autostart/other.desktop", true, "", false},
        {"/home/p/.local/share/applications-old/x.desktop", true, "", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.target);
        const WriteTargetVerdict verdict = DecideWriteTarget(row.target, places);
        EXPECT_EQ(verdict.allowed, row.allowed);
        EXPECT_EQ(verdict.folder, row.place);
        EXPECT_EQ(verdict.startPlace, row.startPlace);
    }
}

// What decides which programs start (Corvane's autostart entry, what the
// desktop's opener reads) and the set-up record's folder: refused after links,
// at the choice and at the write.
TEST_F(WriteGuardTest, WhatDecidesWhatStartsIsRefusedAfterLinks) {
    ScratchDesktop desktop;
    const std::string configDirs = tmp_ / "xdg-config";
    const std::string dataDirs = tmp_ / "xdg-data";
    for (const auto& dir : {configDirs + "/autostart", dataDirs + "/applications", desktop.ConfigHome() + "/autostart",
                            desktop.DataHome() + "/mime/packages"})
        fs::create_directories(dir);
    const std::string list = "[Default Applications]\ntext/plain=editor.desktop\n";
    std::ofstream(desktop.ConfigHome() + "/mimeapps.list") << list;
    const std::string saved[] = {environment::Variable("XDG_CONFIG_DIRS"), environment::Variable("XDG_DATA_DIRS")};
    ::setenv("XDG_CONFIG_DIRS", configDirs.c_str(), 1);
    ::setenv("XDG_DATA_DIRS", dataDirs.c_str(), 1);
    ::setenv("XDG_CURRENT_DESKTOP", "XFCE:GNOME", 1);
    fs::create_directory_symlink(desktop.ConfigHome(), tmp_ / "out/to-config");
    fs::create_symlink(desktop.ConfigHome() + "/mimeapps.list", tmp_ / "out/list-link");
    const std::string config = fs::canonical(desktop.ConfigHome()).string();
    const std::string applications = fs::canonical(desktop.DataHome() + "/applications").string();
    fs::create_directories(SetUpRecordFolder());
    struct Row { std::string target; std::string place; };
    const Row rows[] = {
        {desktop.ConfigHome() + "/mimeapps.list", config + "/mimeapps.list"},
        {desktop.ConfigHome() + "/xfce-mimeapps.list", config + "/xfce-mimeapps.list"},
        {desktop.ConfigHome() + "/gnome-mimeapps.list", config + "/gnome-mimeapps.list"},
        {desktop.ConfigHome() + "/autostart/corvane.desktop", config + "/autostart/corvane.desktop"},
        {configDirs + "/mimeapps.list", fs::canonical(configDirs).string() + "/mimeapps.list"},
        {configDirs + "/autostart/corvane.desktop", fs::canonical(configDirs).string() + "/autostart/corvane.desktop"},
        {desktop.DataHome() + "/applications/evil.desktop", applications},
        {desktop.DataHome() + "/applications/defaults.list", applications},
        {dataDirs + "/applications/mimeinfo.cache", fs::canonical(dataDirs + "/applications").string()},
        {desktop.DataHome() + "/mime/packages/text.xml", fs::canonical(desktop.DataHome()).string() + "/mime"},
        {tmp_ / "out/to-config/mimeapps.list", config + "/mimeapps.list"},
        {tmp_ / "out/list-link", config + "/mimeapps.list"},
        {desktop.ConfigHome() + "/autostart/other.desktop", ""},
        {desktop.ConfigHome() + "/notes.txt", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.target);
        const WriteTargetVerdict verdict = CheckWriteTarget(row.target);
        EXPECT_EQ(verdict.allowed, row.place.empty());
        EXPECT_EQ(verdict.folder, row.place);
        EXPECT_EQ(verdict.startPlace, !row.place.empty());
        const GuardedWrite written = WriteText(row.target, "<html>");
        EXPECT_EQ(written.result, row.place.empty() ? GuardedWrite::Result::Written : GuardedWrite::Result::Refused);
        if (!row.place.empty()) {
            EXPECT_NE(Read(row.target), "<html>");
            EXPECT_NE(WriteRefusalText(written.verdict).find(row.place + " decides which programs start"),
                      std::string::npos);
        }
    }
    EXPECT_EQ(Read(desktop.ConfigHome() + "/mimeapps.list"), list);
    const WriteTargetVerdict record = CheckWriteTarget(SetUpRecordFolder() + "/set-up-0");
    EXPECT_FALSE(record.allowed);
    EXPECT_FALSE(record.startPlace);
    ::setenv("XDG_CONFIG_DIRS", saved[0].c_str(), 1);
    ::setenv("XDG_DATA_DIRS", saved[1].c_str(), 1);
    if (saved[0].empty()) ::unsetenv("XDG_CONFIG_DIRS");
    if (saved[1].empty()) ::unsetenv("XDG_DATA_DIRS");
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
