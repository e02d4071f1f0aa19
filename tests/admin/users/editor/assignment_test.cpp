#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/wait.h>

#include <filesystem>
#include <functional>
#include <map>
#include <random>

#include "admin/users/editor/login_links.h"
#include "editor_fixture.h"
#include "support/append_in_flight.h"
#include "platform/core/text.h"
#include "recordstore/record_file.h"
#include "support/child_report.h"
#include "support/faulty_record_io.h"
#include "support/step_record_io.h"
#include "ui_core/msgbox/scripted_msgbox.h"

using namespace corvane;
using M = UserEditorModel;

namespace {

class Assignment : public test::EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        AddUser("alice");
        AddUser("bob");
        for (const char* url : {"http://c.example/", "http://a.example/", "http://b.example/", "http://d.example/"})
            AddWebsite(url);
        for (const char* path : {"/usr/bin/gedit", "/usr/bin/calc"}) AddProgram(path);
    }
};

TEST_F(Assignment, AUserWithoutLinksHasEveryEntryDefinedAndRemoveDisabled) {
    M editor = Open("alice");
    EXPECT_EQ(Texts(editor.definedWebsites),
              (std::vector<std::string>{"http://c.example/", "http://a.example/", "http://b.example/", "http://d.example/"}));
    EXPECT_EQ(editor.definedWebsites.Rows()[1].tag, 2) << "the tag is the catalogue record";
    EXPECT_EQ(editor.selectedPrograms.Count(), 0);
    EXPECT_TRUE(editor.addProgramEnabled);
    EXPECT_FALSE(editor.removeProgramEnabled);
}

// A catalogue entry and a link another workstation is appending show whole once the append
// ends; ones cut short at the end of their files do not show, as before.
TEST_F(Assignment, EntriesAppendedMeanwhileShowWholeAndTornOnesNotAtAll) {
    AddLink<UserProgram>("alice", "/usr/bin/calc");
    const std::string entry = corvane::testing::RecordData<Website>(Path("scratch.sec"), [](Website& w) {
        w.SetURL("http://appended.example/");
        w.SetDescription(std::string(255, 'e'));
    });
    const std::string link = corvane::testing::RecordData<UserProgram>(Path("scratch.sec"), [](UserProgram& l) {
        l.SetUserLogin("alice");
        l.SetProgram("/usr/bin/gedit");
    });
    const auto websites = corvane::testing::ReadWhileAppending(Website::Table(), Path("websites.sec"), entry,
                                                              [&] { return Texts(Open("alice").definedWebsites); });
    EXPECT_FALSE(websites.endedBeforeTheAppend);
    EXPECT_EQ(websites.result.back(), "http://appended.example/");
    const auto programs = corvane::testing::ReadWhileAppending(UserProgram::Table(), Path("userprograms.sec"), link,
                                                              [&] { return Texts(Open("alice").selectedPrograms); });
    EXPECT_FALSE(programs.endedBeforeTheAppend);
    EXPECT_EQ(programs.result, (std::vector<std::string>{"/usr/bin/calc", "/usr/bin/gedit"}));

    corvane::testing::TearLastRecord(Path("websites.sec"), Website::Table());
    corvane::testing::TearLastRecord(Path("userprograms.sec"), UserProgram::Table());
    M editor = Open("alice");
    EXPECT_EQ(editor.definedWebsites.Count(), 4);
    EXPECT_EQ(Texts(editor.selectedPrograms), std::vector<std::string>{"/usr/bin/calc"});
    EXPECT_EQ(Texts(editor.definedPrograms), std::vector<std::string>{"/usr/bin/gedit"});
    EXPECT_TRUE(reports.empty());
}

// A renamed login's links: one another workstation is appending moves too once its append
// ends; one cut short at the end of the file is left as it lies, as before.
TEST_F(Assignment, ALinkAppendedMeanwhileMovesWithTheLoginAndATornOneStays) {
    AddLink<UserProgram>("alice", "/usr/bin/calc");
    AddLink<UserProgram>("bob", "/usr/bin/calc");
    const std::string link = corvane::testing::RecordData<UserProgram>(Path("scratch.sec"), [](UserProgram& l) {
        l.SetUserLogin("ALICE");
        l.SetProgram("/usr/bin/gedit");
    });
    const auto seen = corvane::testing::ReadWhileAppending(UserProgram::Table(), Path("userprograms.sec"), link, [] {
        MoveLoginLinks("alice", "carol", "frmUserDetails.SaveData");
        return true;
    });
    EXPECT_FALSE(seen.endedBeforeTheAppend);
    EXPECT_EQ(Links<UserProgram>(), (std::vector<std::pair<std::string, std::string>>{
                                        {"carol", "/usr/bin/calc"}, {"bob", "/usr/bin/calc"}, {"carol", "/usr/bin/gedit"}}));

    corvane::testing::TearLastRecord(Path("userprograms.sec"), UserProgram::Table());
    const std::string before = ReadFile(Path("userprograms.sec"));
    MoveLoginLinks("carol", "dave", "frmUserDetails.SaveData");
    const std::string after = ReadFile(Path("userprograms.sec"));
    EXPECT_EQ(after.substr(2 * 554), before.substr(2 * 554)) << "the torn record is left as it lies";
    EXPECT_EQ(Links<UserProgram>(), (std::vector<std::pair<std::string, std::string>>{
                                        {"dave", "/usr/bin/calc"}, {"bob", "/usr/bin/calc"}}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(Assignment, AddingThreeRowsWritesThreeKeyedLinksAtOnce) {
    AddLink<UserWebsite>("bob", "http://a.example/");  // record 1, someone else's
    M editor = Open("alice");
    editor.SetCheck(M::kEnableInternetAccess, true);
    editor.IsDirty = false;
    Pick(editor.definedWebsites, {"http://a.example/", "http://b.example/", "http://d.example/"});
    editor.AddWebsites();

    EXPECT_EQ(Links<UserWebsite>(), (std::vector<std::pair<std::string, std::string>>{
                                        {"bob", "http://a.example/"},
                                        {"alice", "http://a.example/"},
                                        {"alice", "http://b.example/"},
                                        {"alice", "http://d.example/"}}));
    ASSERT_EQ(editor.selectedWebsites.Count(), 3);
    const std::string keys[] = {"M2", "M3", "M4"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(editor.selectedWebsites.Rows()[i].key, keys[i]);
    EXPECT_EQ(Texts(editor.definedWebsites), std::vector<std::string>{"http://c.example/"});
    EXPECT_FALSE(editor.IsDirty) << "Add writes at once and leaves the editor clean";
    EXPECT_TRUE(editor.removeWebsiteEnabled);

    // Cancel keeps them; the next visit shows them assigned.
    editor.Cancel();
    M again = Open("alice");
    EXPECT_EQ(Texts(again.selectedWebsites),
              (std::vector<std::string>{"http://a.example/", "http://b.example/", "http://d.example/"}));
}

TEST_F(Assignment, AddOrRemoveWithoutACurrentRowDoesNothing) {
    AddLink<UserProgram>("alice", "/usr/bin/calc");
    M editor = Open("alice");
    int pointerChanges = 0;
    editor.onBusy = [&](bool) { ++pointerChanges; };
    editor.AddPrograms();
    editor.RemovePrograms();
    EXPECT_EQ(pointerChanges, 0);
    EXPECT_EQ(Links<UserProgram>().size(), 1u);
    EXPECT_EQ(editor.definedPrograms.Count(), 1);
}

TEST_F(Assignment, RemoveDeletesExactlyTheKeyedRecord) {
    AddLink<UserProgram>("bob", "/usr/bin/gedit");
    AddLink<UserProgram>("alice", "/usr/bin/calc");
    AddLink<UserProgram>("alice", "/usr/bin/gedit");
    M editor = Open("alice");
    ASSERT_EQ(Texts(editor.selectedPrograms), (std::vector<std::string>{"/usr/bin/calc", "/usr/bin/gedit"}));
    EXPECT_EQ(editor.selectedPrograms.Rows()[1].key, "M3");
    Pick(editor.selectedPrograms, {"/usr/bin/gedit"});
    editor.RemovePrograms();
    EXPECT_EQ(Links<UserProgram>(), (std::vector<std::pair<std::string, std::string>>{
                                        {"bob", "/usr/bin/gedit"}, {"alice", "/usr/bin/calc"}}));
    EXPECT_EQ(Texts(editor.definedPrograms), std::vector<std::string>{"/usr/bin/gedit"});
    EXPECT_EQ(editor.selectedPrograms.SelectedIndex(), 1) << "the first remaining row is selected";

    // The key alone decides, whatever the record holds: a key pointing at bob's link deletes it.
    editor.selectedPrograms.Clear();
    editor.selectedPrograms.Append({"/usr/bin/calc", 2, "M1", true, true});
    editor.RemovePrograms();
    EXPECT_EQ(Links<UserProgram>(), (std::vector<std::pair<std::string, std::string>>{{"alice", "/usr/bin/calc"}}));
}

TEST_F(Assignment, ALinkToADeletedCatalogueEntryIsNotShownAndStays) {
    AddLink<UserWebsite>("alice", "http://gone.example/");
    AddLink<UserWebsite>("alice", "http://b.example/");
    M editor = Open("alice");
    EXPECT_EQ(Texts(editor.selectedWebsites), std::vector<std::string>{"http://b.example/"});
    EXPECT_EQ(editor.selectedWebsites.Rows()[0].key, "M2");
    editor.OK();
    EXPECT_EQ(Links<UserWebsite>().size(), 2u);
}

TEST_F(Assignment, HeaderClicksAlternateTheOrderAndNewRowsTakeTheirSortedPlace) {
    M editor = Open("alice");
    AssignmentList& list = editor.definedWebsites;
    list.HeaderClick();
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"http://d.example/", "http://c.example/", "http://b.example/",
                                                     "http://a.example/"}));
    list.HeaderClick();
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"http://a.example/", "http://b.example/", "http://c.example/",
                                                     "http://d.example/"}));
    // A removed website comes back in its sorted place.
    editor.SetCheck(M::kEnableInternetAccess, true);
    Pick(list, {"http://b.example/"});
    editor.AddWebsites();
    Pick(editor.selectedWebsites, {"http://b.example/"});
    editor.RemoveWebsites();
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"http://a.example/", "http://b.example/", "http://c.example/",
                                                     "http://d.example/"}));
}

TEST_F(Assignment, ARenameMovesEveryLinkOfTheOldLoginAndCancelMovesNothing) {
    AddLink<UserWebsite>("alice", "http://a.example/");     // shown
    AddLink<UserWebsite>("ALICE ", "http://gone.example/");  // hidden: not in the catalogue
    AddLink<UserWebsite>("bob", "http://a.example/");
    AddLink<UserProgram>("alice", "/usr/bin/calc");
    AddLink<UserPermission>("Alice", "Print");
    AddLink<UserMember>("alice", "Accounts");
    AddLink<UserMember>("bob", "Accounts");
    {
        M editor = Open("alice");
        editor.SetLoginText("alicia");
        editor.Cancel();
        EXPECT_EQ(Links<UserMember>()[0].first, "alice");
        EXPECT_EQ(Links<UserWebsite>()[0].first, "alice");
    }
    M editor = Open("alice");
    editor.SetLoginText("alicia");
    editor.OK();
    EXPECT_EQ(editor.UserLogin, "alicia");
    EXPECT_EQ(Links<UserWebsite>(), (std::vector<std::pair<std::string, std::string>>{
                                        {"alicia", "http://a.example/"},
                                        {"alicia", "http://gone.example/"},
                                        {"bob", "http://a.example/"}}));
    EXPECT_EQ(Links<UserProgram>(), (std::vector<std::pair<std::string, std::string>>{{"alicia", "/usr/bin/calc"}}));
    EXPECT_EQ(Links<UserPermission>(), (std::vector<std::pair<std::string, std::string>>{{"alicia", "Print"}}));
    EXPECT_EQ(Links<UserMember>(), (std::vector<std::pair<std::string, std::string>>{{"alicia", "Accounts"},
                                                                                    {"bob", "Accounts"}}));
    User renamed;
    EXPECT_TRUE(renamed.Load("alicia"));
    EXPECT_FALSE(renamed.Load("alice"));
}

TEST_F(Assignment, OkSavesTheShownLinksAgainWithTheCatalogueSpelling) {
    AddLink<UserWebsite>("alice", "HTTP://A.EXAMPLE/");
    M editor = Open("alice");
    editor.OK();
    EXPECT_EQ(Links<UserWebsite>(), (std::vector<std::pair<std::string, std::string>>{{"alice", "http://a.example/"}}));
}

TEST_F(Assignment, TheListMembers) {
    AddLink<UserWebsite>("alice", "http://a.example/");
    M editor = Open("alice");
    AssignmentList& list = editor.definedWebsites;
    EXPECT_FALSE(list.ItemSelected());
    EXPECT_EQ(list.SelectedIndex(), 0);
    EXPECT_EQ(list.ItemsSelectedCount(), 0);
    Pick(list, {"http://d.example/", "http://b.example/"});
    EXPECT_TRUE(list.ItemSelected());
    EXPECT_EQ(list.SelectedIndex(), 2);
    EXPECT_EQ(list.ItemsSelectedCount(), 2);
    list.SelectFirstItemInList();
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_EQ(list.ItemsSelectedCount(), 1);
    AssignmentList empty;
    empty.SelectFirstItemInList();
    EXPECT_FALSE(empty.ItemSelected());
}

}  // namespace

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// The account is gone by the time Add writes: deleted or renamed on another workstation, or
// never there when the editor opened.
TEST_F(Assignment, AddWritesNoLinkForAnAccountThatNoLongerStands) {
    const struct {
        const char* name;
        const char* login;
        std::function<void()> meanwhile;
    } cases[] = {
        {"deleted elsewhere", "alice", [] { DeleteUser("alice"); }},
        {"renamed elsewhere", "bob", [] {
             User other;
             ASSERT_TRUE(other.Load("bob"));
             other.SetLogin("robert");
             other.SaveChanges();
         }},
        {"gone when the editor opened", "carol", [] {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reports.clear();
        M editor = Open(c.login);
        c.meanwhile();
        editor.SetCheck(M::kEnableInternetAccess, true);
        Pick(editor.definedWebsites, {"http://a.example/", "http://b.example/"});
        Pick(editor.definedPrograms, {"/usr/bin/calc"});
        editor.AddWebsites();
        editor.AddPrograms();
        EXPECT_EQ(Links<UserWebsite>(), Pairs{});
        EXPECT_EQ(Links<UserProgram>(), Pairs{});
        ASSERT_EQ(reports.size(), 2u);
        EXPECT_EQ(reports[0].place, "frmUserDetails.cmdAddWebsite_Click");
        EXPECT_NE(reports[0].error.Description().find(c.login), std::string::npos);
        EXPECT_EQ(editor.selectedWebsites.Count(), 0);
        EXPECT_TRUE(editor.Cancelled);
        EXPECT_TRUE(editor.hideRequested);
    }
}

// Runs body in a child process whose effective user is "nobody", so users.sec (mode 0444)
// opens for reading only; the link files stay writable. What body reports, "" when all is well.
std::string WithUsersReadOnly(const std::string& usersPath, const std::function<std::string()>& body) {
    ::chmod(usersPath.c_str(), 0444);
    const std::string report =
        test_support::ReportFromChild([&] { return ::seteuid(65534) == 0 ? body() : "cannot leave root"; });
    ::chmod(usersPath.c_str(), 0644);
    return report;
}

TEST_F(Assignment, ARenameWhoseRecordCannotBeWrittenMovesNoLinkAndOkAgainAddsNone) {
    if (::geteuid() != 0) GTEST_SKIP() << "a file root cannot write needs another user";
    AddLink<UserWebsite>("alice", "http://a.example/");
    AddLink<UserProgram>("alice", "/usr/bin/calc");
    AddLink<UserPermission>("alice", "Print");
    AddLink<UserMember>("alice", "Accounts");
    ::chmod(folder_.c_str(), 0755);
    for (const char* file : {"userwebsites.sec", "userprograms.sec", "userpermissions.sec", "members.sec"})
        ::chmod(Path(file).c_str(), 0666);
    const auto linksNow = [] {
        return std::vector<Pairs>{Links<UserWebsite>(), Links<UserProgram>(), Links<UserPermission>(),
                                  Links<UserMember>()};
    };
    const auto before = linksNow();
    const std::string report = WithUsersReadOnly(UsersPath(), [&] {
        M editor = Open("alice");
        editor.SetLoginText("alicia");
        editor.OK();
        std::string r;
        if (editor.hideRequested) r += "the editor closed; ";
        if (linksNow() != before) r += "links moved; ";
        // The share is writable again: OK again renames the account and moves each link once.
        if (::seteuid(0) != 0) return r + "cannot return to root";
        editor.OK();
        if (!editor.hideRequested) r += "the second OK did not close; ";
        return r;
    });
    EXPECT_EQ(report, "");
    EXPECT_EQ(linksNow(), (std::vector<Pairs>{{{"alicia", "http://a.example/"}},
                                             {{"alicia", "/usr/bin/calc"}},
                                             {{"alicia", "Print"}},
                                             {{"alicia", "Accounts"}}}));
    EXPECT_TRUE(User().Load("alicia"));
}


// An account with links in every link table, under its login in other spellings too.
class RenameCut : public Assignment {
protected:
    void SetUp() override {
        Assignment::SetUp();
        AddLink<UserWebsite>("alice", "http://a.example/");
        AddLink<UserWebsite>("ALICE ", "http://gone.example/");
        AddLink<UserProgram>("alice", "/usr/bin/calc");
        AddLink<UserPermission>("Alice", "Print");
        AddLink<UserMember>("alice", "Accounts");
        for (const auto& e : std::filesystem::directory_iterator(folder_))
            files_[e.path().string()] = ReadFile(e.path().string());
    }
    void Restore() const {
        for (const auto& e : std::filesystem::directory_iterator(folder_)) std::filesystem::remove_all(e.path());
        for (const auto& [path, bytes] : files_) WriteFile(path, bytes);
    }
    // The accounts of either login and every link, as one text.
    static std::string State() {
        std::string s = User().Exists("alice") ? "alice " : "";
        s += User().Exists("alicia") ? "alicia " : "";
        for (const auto& l : AllLinks()) s += l.first + ":" + l.second + " ";
        return s;
    }
    static std::vector<std::pair<std::string, std::string>> AllLinks() {
        std::vector<std::pair<std::string, std::string>> all;
        for (const auto& links : {Links<UserWebsite>(), Links<UserProgram>(), Links<UserPermission>(), Links<UserMember>()})
            all.insert(all.end(), links.begin(), links.end());
        return all;
    }
    // Opens one of the change's tables first: a journal standing is put back then.
    void OpenFirst(const char* table) const {
        RecordFile file(64, 40);
        file.Open(Path(table));
    }
    static constexpr const char* kTables[] = {"users.sec", "userwebsites.sec", "userprograms.sec",
                                              "userpermissions.sec", "members.sec"};

private:
    std::map<std::string, std::string> files_;
};

// The rename cut at every step of its commit (killed, a write failing once, a disk that stays
// full), with any one of its tables opened first afterwards: the account and every link are
// all under the old login or all under the new one; a failure reported leaves them all old
// and the editor open; a new account of the old login then holds no links.
TEST_F(RenameCut, AtEveryStepItIsAllOldOrAllNewInEveryTable) {
    const auto restore = [&] { Restore(); };
    const auto state = [] { return State(); };
    const std::string before = state();
    corvane::test_support::StepRecordIo counting;
    {
        M editor = Open("alice");
        editor.SetLoginText("alicia");
        corvane::test_support::RecordIoScope scope(counting);
        editor.OK();
        ASSERT_TRUE(editor.hideRequested);
    }
    const std::string after = state();
    ASSERT_NE(before, after);
    const int steps = counting.steps;
    for (const corvane::test_support::StepCut& cut : corvane::test_support::kStepCuts)
        for (int at = 1; at <= steps; ++at)
            for (const char* first : kTables) {
                SCOPED_TRACE(std::string(cut.what) + " at step " + std::to_string(at) + ", opening " + first);
                restore();
                reports.clear();
                M editor = Open("alice");
                editor.SetLoginText("alicia");
                const bool failed = corvane::test_support::RunCut(cut, at, [&] {
                    editor.OK();
                    // A save that did not stand says so, and the editor stays open.
                    EXPECT_EQ(editor.hideRequested, reports.empty());
                    return !editor.hideRequested;
                });
                OpenFirst(first);
                const std::string now = state();
                EXPECT_TRUE(now == before || now == after) << now;
                if (failed) {
                    EXPECT_EQ(now, before);
                }
                if (now == after) {
                    AddUser("alice");
                    EXPECT_EQ(Links<UserWebsite>().size(), 2u);
                    for (const auto& l : Links<UserMember>()) {
                        EXPECT_NE(l.first, "alice");
                    }
                }
            }
}


// Killed at random moments while it renames the account back and forth, 300 times: whatever
// table is opened next, one account stands and every link is under its login.
TEST_F(RenameCut, KilledAtRandomOneLoginHoldsEverything) {
    std::mt19937 random(54);
    for (int round = 0; round < 300; ++round) {
        Restore();
        corvane::test_support::KillAtRandom(random, 3000, [&](int i) {
            M editor = Open(i % 2 ? "alicia" : "alice");
            editor.SetLoginText(i % 2 ? "alice" : "alicia");
            editor.OK();
            if (!editor.hideRequested) ::_exit(3);
        });
        if (HasFatalFailure()) return;
        OpenFirst(kTables[random() % 5]);
        const bool alice = User().Exists("alice");
        ASSERT_NE(alice, User().Exists("alicia")) << round;
        const std::string login = alice ? "alice" : "alicia";
        for (const auto& [holder, key] : AllLinks())
            EXPECT_TRUE(corvane::text::Equals(corvane::text::Trim(holder), login)) << round << ": " << holder << " " << key;
    }
}

}  // namespace
