#include <gtest/gtest.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>
#include <filesystem>
#include <optional>
#include <string>

#include "app/single_instance.h"
#include "errors/error_log_file.h"
#include "logs/log_writers.h"
#include "logs/user_log.h"
#include "platform/core/creation_mode.h"
#include "platform/core/program_globals.h"
#include "platform/system/file_helpers.h"
#include "recordstore/record_journal.h"
#include "recordstore/tables_change.h"
#include "recordstore/user.h"
#include "recordstore/user_member.h"
#include "support/child_report.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

// A second, real local account beside the one the program runs as: made with
// useradd for the test and removed after it. Needs the superuser, useradd and
// setpriv; skipped otherwise.
class OtherAccount : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "making a second account needs the superuser";
        if (::access("/usr/sbin/useradd", X_OK) != 0 || ::access("/usr/bin/setpriv", X_OK) != 0)
            GTEST_SKIP() << "useradd or setpriv is not installed";
        name_ = "cvtest" + std::to_string(::getpid());
        if (std::system(("useradd --system --no-create-home --shell /usr/sbin/nologin " + name_ +
                         " >/dev/null 2>&1").c_str()) != 0)
            GTEST_SKIP() << "useradd cannot make an account here";
        made_ = true;
        const passwd* account = ::getpwnam(name_.c_str());
        ASSERT_NE(account, nullptr);
        uid_ = account->pw_uid;
        gid_ = account->pw_gid;
        mask_ = ::umask(022);
        // The folder the program folder sits in is one every account may write (1777).
        fs::permissions(temp.Path(), fs::perms::all | fs::perms::sticky_bit);
    }
    void TearDown() override {
        if (!made_) return;
        ::umask(mask_);
        gDataPath.clear();
        std::system(("userdel " + name_ + " >/dev/null 2>&1").c_str());
    }

    // Runs a shell command as the other account (with group gid, no others); whether it
    // succeeded.
    bool AsOther(const std::string& command, std::optional<gid_t> gid = std::nullopt) const {
        const std::string line = "setpriv --reuid=" + std::to_string(uid_) + " --regid=" +
                                 std::to_string(gid.value_or(gid_)) + " --clear-groups -- sh -c '" +
                                 command + "' >/dev/null 2>&1";
        return std::system(line.c_str()) == 0;
    }
    // What the program creates in a fresh data folder: its folder, users.sec, userlog.sec and
    // the error log.
    static void CreateAsTheProgram(const std::string& data, bool makeFolder) {
        if (makeFolder) {
            ASSERT_TRUE(File().CreatePath(data));
        }
        ShareCreationsWithGroupOf(data);
        gDataPath = data;
        User user;
        user.SetLogin("ann");
        user.SetPassword("$s$1.1.1$AAECAwQFBgcICQoL$Tgqb/JQKoN9GAFXYOj7FcA");
        user.AddNew();
        UserLog log;
        log.SetUserLogin("ann");
        log.AddNew();
        ASSERT_TRUE(WriteErrorLog("[1],x,y,z", data + "/Corvane_ErrorLog.txt"));
    }
    static void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static mode_t Mode(const std::string& path) {
        struct stat st {};
        EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
        return st.st_mode & 07777;
    }

    test_support::TempFolder temp;
    uid_t uid_ = 0;
    gid_t gid_ = 0;

private:
    std::string name_;
    bool made_ = false;
    mode_t mask_ = 022;
};

const char* const kFiles[] = {"users.sec", "userlog.sec", "Corvane_ErrorLog.txt"};

// In a private data folder the other account reads nothing, lists nothing and
// plants no record file for the program to find.
TEST_F(OtherAccount, CanNeitherReadNorPlantInAPrivateDataFolder) {
    UsePrivateCreationMask();
    const std::string data = temp / "program/data";
    CreateAsTheProgram(data, true);
    EXPECT_EQ(Mode(temp / "program"), 0700u);
    EXPECT_EQ(Mode(data), 0700u);
    for (const char* file : kFiles) {
        EXPECT_EQ(Mode(data + "/" + file), 0600u) << file;
        EXPECT_FALSE(AsOther("cat " + data + "/" + file)) << file;
    }
    EXPECT_FALSE(AsOther("ls " + data));
    for (const char* planted : {"programs.sec", "userprograms.sec", "websites.sec"})
        EXPECT_FALSE(AsOther("touch " + data + "/" + planted)) << planted;
    EXPECT_FALSE(fs::exists(data + "/programs.sec"));
}

// A group-shared data folder (2770) shares with its group alone: a member of
// that group reads and writes what the program created, an account outside it
// nothing.
TEST_F(OtherAccount, AGroupSharedDataFolderSharesWithItsGroupAlone) {
    UsePrivateCreationMask();
    const std::string data = temp / "shared";
    ASSERT_EQ(::mkdir(data.c_str(), 0700), 0);
    ASSERT_EQ(::chown(data.c_str(), 0, gid_), 0);
    ASSERT_EQ(::chmod(data.c_str(), 02770), 0);
    CreateAsTheProgram(data, false);
    for (const char* file : kFiles) {
        EXPECT_EQ(Mode(data + "/" + file), 0660u) << file;
        EXPECT_TRUE(AsOther("cat " + data + "/" + file + " && : >> " + data + "/" + file)) << file;
        EXPECT_FALSE(AsOther("cat " + data + "/" + file, 65534)) << file;
    }
}

// A member of the folder's group who may neither read nor write users.sec (0600, made
// before the folder was shared) plants a journal holding an administrator of its own: it is
// never applied, and the account it would have replaced still logs in.
TEST_F(OtherAccount, AJournalOfAGroupMemberWhoMayNotWriteTheTableIsNeverApplied) {
    UsePrivateCreationMask();
    const std::string data = temp / "shared";
    CreateAsTheProgram(data, true);
    ASSERT_EQ(::chown(data.c_str(), 0, gid_), 0);
    ASSERT_EQ(::chmod(data.c_str(), 02770), 0);
    ASSERT_EQ(Mode(data + "/users.sec"), 0600u);
    std::vector<std::uint8_t> evil(2160, 0);
    std::memset(evil.data(), ' ', 70);
    std::memcpy(evil.data() + 50, "evil", 4);
    evil[491] = evil[492] = 0xFF;  // IsAdministrator
    const std::vector<std::uint8_t> journal = EncodeJournal("users.sec", 4176, 2160, {JournalSlot{0, evil}});
    const std::string planted = temp / "planted";
    WriteBytes(planted, journal);
    ASSERT_EQ(::chmod(planted.c_str(), 0644), 0);
    ASSERT_TRUE(AsOther("cp " + planted + " " + data + "/users.sec-journal && chmod 0660 " + data +
                        "/users.sec-journal"));
    User user;
    EXPECT_TRUE(user.Load("ann"));
    EXPECT_FALSE(User().Exists("evil"));
    EXPECT_TRUE(fs::exists(data + "/users.sec-journal"));
}

// In a folder every account may write, another account's file at the journal's name stops
// no login and no save: the save writes its journal under a name of its own.
TEST_F(OtherAccount, AnotherAccountsJournalInAFolderEveryoneMayWriteStopsNoLoginNorSave) {
    UsePrivateCreationMask();
    const std::string data = temp / "open";
    CreateAsTheProgram(data, true);
    ASSERT_EQ(::chmod(data.c_str(), 01777), 0);
    ASSERT_TRUE(AsOther("printf x > " + data + "/users.sec-journal"));
    User user;
    ASSERT_TRUE(user.Load("ann"));
    user.SetName("Ann Changed");
    user.SetDescription(std::string(200, 'd'));
    EXPECT_NO_THROW(user.SaveChanges());
    User again;
    EXPECT_TRUE(again.Load("ann"));
    EXPECT_EQ(again.Name(), "Ann Changed");
    EXPECT_TRUE(fs::exists(data + "/users.sec-journal"));
}

// A workstation whose account may read users.sec but not write it finds a journal of the
// table's owner standing: the open fails, naming the journal and why.
TEST_F(OtherAccount, AJournalAReadOnlyWorkstationCannotPutBackIsNamedWithTheReason) {
    UsePrivateCreationMask();
    const std::string data = temp / "readers";
    CreateAsTheProgram(data, true);
    ASSERT_EQ(::chown(data.c_str(), 0, gid_), 0);
    ASSERT_EQ(::chmod(data.c_str(), 02750), 0);
    const std::string table = data + "/users.sec";
    ASSERT_EQ(::chown(table.c_str(), 0, gid_), 0);
    ASSERT_EQ(::chmod(table.c_str(), 0640), 0);
    std::vector<std::uint8_t> old(2160, ' ');
    const std::vector<std::uint8_t> journal = EncodeJournal("users.sec", 4176, 2160, {JournalSlot{0, old}});
    WriteBytes(table + "-journal", journal);
    ASSERT_EQ(::chmod((table + "-journal").c_str(), 0640), 0);
    ASSERT_EQ(::chown((table + "-journal").c_str(), 0, gid_), 0);
    const std::string report = test_support::ReportFromChild([&] {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(gid_, gid_, gid_) != 0 || ::setresuid(uid_, uid_, uid_) != 0)
            return std::string("no switch");
        try {
            User().Exists("ann");
            return std::string("opened");
        } catch (const RaisedError& e) {
            return e.Description();
        }
    });
    EXPECT_NE(report.find(table + "-journal cannot be put back from this workstation"), std::string::npos) << report;
    EXPECT_TRUE(fs::exists(table + "-journal"));
}

// The runtime folder lies in the account's own home: the other account cannot
// make it first, and the start takes its lock.
TEST_F(OtherAccount, CannotBlockTheStartByMakingTheRuntimeFolderFirst) {
    UsePrivateCreationMask();
    const std::string home = temp / "home";
    ASSERT_TRUE(File().CreatePath(home));
    struct Env {
        const char* name;
        std::optional<std::string> value;
    } saved[] = {{"HOME", {}}, {"XDG_RUNTIME_DIR", {}}, {"XDG_STATE_HOME", {}}, {"CORVANE_RUNTIME_DIR", {}}};
    for (Env& e : saved)
        if (const char* v = std::getenv(e.name)) e.value = v;
    ::setenv("HOME", home.c_str(), 1);
    for (const char* name : {"XDG_RUNTIME_DIR", "XDG_STATE_HOME", "CORVANE_RUNTIME_DIR"}) ::unsetenv(name);

    const std::string runtime = RuntimeFolder();
    EXPECT_EQ(runtime, home + "/.local/state/corvane/run");
    EXPECT_FALSE(AsOther("mkdir -p " + runtime));
    SingleInstanceLock lock;
    EXPECT_EQ(lock.Acquire(), SingleInstanceLock::Result::kHeld) << lock.Problem();
    EXPECT_FALSE(AsOther("ls " + runtime));

    for (const Env& e : saved) {
        if (e.value) ::setenv(e.name, e.value->c_str(), 1);
        else ::unsetenv(e.name);
    }
}


// A group member who may not write users.sec (0600) makes a file of the owner's that it may
// write (group-writable) into users.sec's journal, by a second name (a sticky 3770 folder)
// or by renaming it (2770), and writes an administrator into it, with users.sec's identity:
// the owner's next open never applies it, and the account it would replace still logs in.
TEST_F(OtherAccount, AJournalMadeFromAFileOfTheOwnersIsNeverApplied) {
    struct Row {
        const char* what;
        mode_t folderMode;
        const char* make;  // the shell command that turns websites.sec into the journal
    };
    const Row rows[] = {
        {"hard link, sticky 3770", 03770, "ln websites.sec users.sec-journal"},
        {"rename, 2770", 02770, "mv websites.sec users.sec-journal"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        UsePrivateCreationMask();
        const std::string data = temp / (std::string("shared") + std::to_string(r.folderMode));
        ASSERT_EQ(::mkdir(data.c_str(), 0700), 0);
        ASSERT_EQ(::chown(data.c_str(), 0, gid_), 0);
        CreateAsTheProgram(data, false);
        ASSERT_EQ(::chmod((data + "/users.sec").c_str(), 0600), 0);
        ASSERT_EQ(::chmod(data.c_str(), r.folderMode), 0);
        WriteBytes(data + "/websites.sec", {});
        ASSERT_EQ(::chown((data + "/websites.sec").c_str(), 0, gid_), 0);
        ASSERT_EQ(::chmod((data + "/websites.sec").c_str(), 0660), 0);
        struct stat users {};
        ASSERT_EQ(::stat((data + "/users.sec").c_str(), &users), 0);
        std::vector<std::uint8_t> evil(2160, 0);
        std::memset(evil.data(), ' ', 70);
        std::memcpy(evil.data() + 50, "evil", 4);
        evil[491] = evil[492] = 0xFF;  // IsAdministrator
        JournalTable table;
        table.name = "users.sec";
        table.slotLength = 4176;
        table.dataLength = 2160;
        table.device = users.st_dev;
        table.inode = users.st_ino;
        table.slots.push_back({0, evil});
        const std::string planted = temp / "planted";
        WriteBytes(planted, EncodeChangeJournal(7, {table}));
        ASSERT_EQ(::chmod(planted.c_str(), 0644), 0);
        ASSERT_TRUE(AsOther("cd " + data + " && " + r.make + " && cat " + planted + " > users.sec-journal"));
        User user;
        EXPECT_TRUE(user.Load("ann"));
        EXPECT_FALSE(User().Exists("evil"));
        EXPECT_TRUE(fs::exists(data + "/users.sec-journal"));
    }
}

// In a folder every account may write (1777), another account puts a file at every journal
// name of every table, the plain one and one of a writer's own form: logins, logouts, saves
// and a change of several tables go on, and the files stay.
TEST_F(OtherAccount, FilesOfAnotherAccountAtEveryJournalNameStopNothing) {
    UsePrivateCreationMask();
    const std::string data = temp / "open";
    CreateAsTheProgram(data, true);
    ASSERT_EQ(::chmod(data.c_str(), 01777), 0);
    const char* const tables[] = {"users.sec",       "userlog.sec",         "members.sec",  "groups.sec",
                                  "access.sec",      "activity.sec",        "websites.sec", "programs.sec",
                                  "permissions.sec", "userwebsites.sec",    "userprograms.sec",
                                  "userpermissions.sec", "websiteslog.sec"};
    std::string plant = "cd " + data;
    for (const char* t : tables)
        plant += std::string(" && printf x > ") + t + "-journal && printf x > " + t + "-journal-0123456789abcdef";
    ASSERT_TRUE(AsOther(plant));
    User account;
    ASSERT_TRUE(account.Load("ann"));
    const UserLogEntry entry = WriteUserLogEntry("ann", &account, true);
    EXPECT_GT(entry.logID, 0);
    EXPECT_TRUE(CloseUserLogEntry(entry));
    User user;
    ASSERT_TRUE(user.Load("ann"));
    user.SetName("Ann Changed");
    user.SetDescription(std::string(200, 'd'));
    EXPECT_NO_THROW(user.SaveChanges());
    UserMember member;
    member.SetGroup("staff");
    member.SetUserLogin("ann");
    member.AddNew();
    {
        // The account renamed with its membership, as one commit.
        User users;
        UserMember members;
        TablesChange change({&users, &members});
        ASSERT_TRUE(users.Load("ann"));
        ASSERT_TRUE(users.UpdateFields([](User& u) { u.SetLogin("anna"); }));
        ASSERT_TRUE(members.LoadGroup("ann"));
        const std::int32_t id = (*members.UserMembers()->Item(1)).MemberID();
        ASSERT_TRUE(members.LoadRecordNumber(id));
        members.SetUserLogin("anna");
        members.SaveChanges();
        EXPECT_NO_THROW(change.Commit());
    }
    EXPECT_TRUE(User().Exists("anna"));
    EXPECT_TRUE(UserMember().LoadGroup("anna"));
    EXPECT_FALSE(UserMember().LoadGroup("ann"));
    for (const char* t : tables) {
        EXPECT_TRUE(fs::exists(data + "/" + t + "-journal")) << t;
        EXPECT_TRUE(fs::exists(data + "/" + t + "-journal-0123456789abcdef")) << t;
    }
}

}  // namespace
}  // namespace corvane::testing
