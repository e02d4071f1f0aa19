// The guard on files a person names: Corvane's own folders are refused, after
// links and again at the moment of writing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

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

    // The verdict on the target, then a write there: written, or refused naming
    // the place with the file as it was (not made when it was not there).
    static void ExpectGuarded(const std::string& target, const std::string& place, bool startPlace) {
        SCOPED_TRACE(target);
        const WriteTargetVerdict verdict = CheckWriteTarget(target);
        EXPECT_EQ(verdict.allowed, place.empty());
        EXPECT_EQ(verdict.folder, place);
        EXPECT_EQ(verdict.startPlace, startPlace);
        const bool existed = fs::exists(target);
        const std::string before = Read(target);
        const GuardedWrite written = WriteText(target, "<html>saved</html>");
        if (place.empty()) {
            EXPECT_EQ(written.result, GuardedWrite::Result::Written);
            EXPECT_EQ(Read(target), "<html>saved</html>");
            return;
        }
        EXPECT_EQ(written.result, GuardedWrite::Result::Refused);
        EXPECT_EQ(written.verdict.folder, place);
        EXPECT_EQ(fs::exists(target), existed);
        EXPECT_EQ(Read(target), before);
        EXPECT_EQ(WriteRefusalText(written.verdict),
                  startPlace ? "Nothing was saved. " + place +
                                   " decides which programs start, and cannot be written from here. Choose another folder."
                             : "Nothing was saved. The folder " + place +
                                   " holds Corvane's own files, which cannot be written from here. Choose another folder.");
    }

    TempFolder tmp_;
    std::string savedData_, savedIni_, registry_, users_;
};

TEST_F(WriteGuardTest, TheDecisionOnRealPaths) {
    const GuardedPlaces places{{"/srv/corvane", "/var/lib/corvane/"}, {}, {"/home/p"}};
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
        const WriteTargetVerdict verdict = DecideWriteTarget(row.target, places);
        EXPECT_EQ(verdict.allowed, row.allowed);
        EXPECT_EQ(verdict.folder, row.folder);
    }
    // Without a home folder nothing tells what the next login reads: nothing is written.
    EXPECT_FALSE(DecideWriteTarget("/srv/report.txt", GuardedPlaces{{"/srv/corvane"}, {}, {}}).allowed);
}

TEST_F(WriteGuardTest, TheDecisionOnStartPlacesAndHiddenNames) {
    const GuardedPlaces places{{"/srv/corvane"},
                               {"/home/p/.config/mimeapps.list", "/home/p/.config/autostart/corvane.desktop",
                                "/home/p/.local/share/applications", "/home/p/.config", "/etc/xdg"},
                               {"/home/p", "/var/home/p/"}};
    struct Row { const char* target; bool allowed; const char* place; bool startPlace; };
    const Row rows[] = {
        {"/srv/corvane/users.sec", false, "/srv/corvane", false},
        {"/home/p/.config/mimeapps.list", false, "/home/p/.config/mimeapps.list", true},
        {"/home/p/.config/autostart/corvane.desktop", false, "/home/p/.config/autostart/corvane.desktop", true},
        {"/home/p/.local/share/applications/evil.desktop", false, "/home/p/.local/share/applications", true},
        {"/home/p/.local/share/applications/kde/evil.desktop", false, "/home/p/.local/share/applications", true},
        {"/home/p/.local/share/applications", false, "/home/p/.local/share/applications", true},
        {"/home/p/.config/mimeapps.list.bak", false, "/home/p/.config", true},
        {"/home/p/.config/autostart/other.desktop", false, "/home/p/.config", true},
        {"/etc/xdg/autostart/other.desktop", false, "/etc/xdg", true},
        // The rule, not a list: any hidden name below a home folder, however deep.
        {"/home/p/.local/share/applications-old/x.desktop", false, "/home/p/.local", true},
        {"/home/p/.profile", false, "/home/p/.profile", true},
        {"/home/p/.never-heard-of-rc", false, "/home/p/.never-heard-of-rc", true},
        {"/home/p/Documents/.hidden/x.txt", false, "/home/p/Documents/.hidden", true},
        {"/var/home/p/.xsessionrc", false, "/var/home/p/.xsessionrc", true},
        {"/home/p/Documents/x.profile", true, "", false},
        {"/home/p/Documents/notes.v2.txt", true, "", false},
        {"/home/p", true, "", false},
        {"/home/pq/.profile", true, "", false},
        {"/tmp/.x", true, "", false},
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
        // The config folder whole: what else reads it is no list of ours.
        {desktop.ConfigHome() + "/autostart/other.desktop", config},
        {desktop.ConfigHome() + "/notes.txt", config},
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

// Everything the account's next login reads (a login shell, the desktop
// session, its autostart, the opener, the environment, the user's services),
// wherever the XDG variables put it, is refused; reached through a link, ".."
// or another letter case too. What a person saves to stays writable.
TEST_F(WriteGuardTest, WhatTheNextLoginReadsIsRefusedAndWhatAPersonSavesToIsWritten) {
    const std::string home = tmp_ / "home";
    const std::string config = tmp_ / "elsewhere/config";  // XDG_CONFIG_HOME outside the home folder
    const std::string data = home + "/appdata";            // XDG_DATA_HOME at a visible name
    const std::string configDirs = tmp_ / "xdg-config";
    const std::string dataDirs = tmp_ / "xdg-data";
    // Every folder there, so that each write meets the guard rather than a missing folder.
    for (const std::string& dir :
         {home + "/.config/autostart", home + "/.config/environment.d", home + "/.config/systemd/user",
          home + "/.config/openbox", home + "/.local/share/applications", home + "/.local/share/mime/packages",
          home + "/.Config/autostart", home + "/Documents", home + "/Downloads", home + "/Desktop",
          config + "/autostart", data + "/applications", configDirs + "/autostart", dataDirs + "/applications",
          tmp_ / "media/STICK"})
        fs::create_directories(dir);
    const char* names[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
    }
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", configDirs.c_str(), 1);
    ::setenv("XDG_DATA_DIRS", dataDirs.c_str(), 1);
    const std::string h = fs::canonical(home).string();
    const std::string old = "what the account had";
    for (const char* name : {".profile", ".bashrc", ".xsessionrc", ".config/mimeapps.list", "Documents/old.txt"})
        tmp_.Write("home/" + std::string(name), old);
    fs::create_directory_symlink(home + "/.config", home + "/Documents/settings");
    fs::create_symlink(home + "/.profile", home + "/Desktop/profile.txt");
    fs::create_directory_symlink(home + "/Downloads", home + "/Documents/to-downloads");

    struct Row { std::string target; std::string place; };  // no place: written
    const Row rows[] = {
        {home + "/.profile", h + "/.profile"},
        {home + "/.bash_profile", h + "/.bash_profile"},
        {home + "/.bash_login", h + "/.bash_login"},
        {home + "/.bashrc", h + "/.bashrc"},
        {home + "/.xsessionrc", h + "/.xsessionrc"},
        {home + "/.xsession", h + "/.xsession"},
        {home + "/.xinitrc", h + "/.xinitrc"},
        {home + "/.xprofile", h + "/.xprofile"},
        {home + "/.Xresources", h + "/.Xresources"},
        {home + "/.pam_environment", h + "/.pam_environment"},
        {home + "/.config/autostart/x.desktop", h + "/.config"},
        {home + "/.config/environment.d/50-x.conf", h + "/.config"},
        {home + "/.config/systemd/user/x.service", h + "/.config"},
        {home + "/.config/openbox/rc.xml", h + "/.config"},
        {home + "/.config/mimeapps.list", h + "/.config"},
        {home + "/.local/share/applications/x.desktop", h + "/.local"},
        {home + "/.local/share/mime/packages/x.xml", h + "/.local"},
        {home + "/.a-file-no-one-named", h + "/.a-file-no-one-named"},
        // Wherever the XDG variables put the config and data folders.
        {config + "/autostart/x.desktop", fs::canonical(config).string()},
        {config + "/mimeapps.list", fs::canonical(config).string() + "/mimeapps.list"},
        {data + "/applications/x.desktop", h + "/appdata/applications"},
        {data + "/notes.txt", h + "/appdata"},
        {configDirs + "/autostart/x.desktop", fs::canonical(configDirs).string()},
        {dataDirs + "/applications/x.desktop", fs::canonical(dataDirs).string() + "/applications"},
        // Through a link, "..", another letter case.
        {home + "/Documents/settings/autostart/y.desktop", h + "/.config"},
        {home + "/Desktop/profile.txt", h + "/.profile"},
        {home + "/Documents/../.bashrc", h + "/.bashrc"},
        {home + "/Documents/../.config/autostart/z.desktop", h + "/.config"},
        {home + "/.PROFILE", h + "/.PROFILE"},
        {home + "/.Config/autostart/x.desktop", h + "/.Config"},
        // What a person saves to.
        {home + "/notes.txt", ""},
        {home + "/Documents/report.html", ""},
        {home + "/Documents/old.txt", ""},
        {home + "/Documents/x.profile", ""},
        {home + "/Documents/to-downloads/page.html", ""},
        {home + "/Downloads/page.html", ""},
        {home + "/Desktop/page.html", ""},
        {home + "/Documents/../Desktop/two.html", ""},
        {tmp_ / "media/STICK/page.html", ""},
        {tmp_ / "out/page.html", ""},
    };
    for (const Row& row : rows) ExpectGuarded(row.target, row.place, !row.place.empty());
    for (const char* name : {".profile", ".bashrc", ".xsessionrc", ".config/mimeapps.list"})
        EXPECT_EQ(Read(home + "/" + name), old) << name;
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (saved[i]) ::setenv(names[i], saved[i]->c_str(), 1);
        else ::unsetenv(names[i]);
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
    for (const Row& row : rows) ExpectGuarded(row.target, row.folder, false);
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
