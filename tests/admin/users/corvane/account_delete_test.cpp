// The user window's delete of an account with its links, on a disk that fails on cue: what
// it reports always matches what stands on disk.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "admin/users/corvane/account_delete.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "platform/core/program_globals.h"
#include "recordstore/record_file.h"
#include "recordstore/user.h"
#include "recordstore/user_member.h"
#include "support/faulty_record_io.h"
#include "support/step_record_io.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

using test_support::FaultyRecordIo;
using test_support::RecordIoScope;
using test_support::StepRecordIo;

class AccountDeleteTest : public ::testing::Test {
protected:
    void SetUp() override {
        gDataPath = folder_.Path();
        gUserFile.clear();
    }
    void TearDown() override { gDataPath.clear(); }

    // alice, and bob (record 2), with or without two memberships, a website and a program.
    void Accounts(bool links) {
        for (const char* login : {"alice", "bob"}) {
            User u;
            u.SetLogin(login);
            u.SetName(login);
            u.AddNew();
        }
        if (!links) return;
        for (const char* group : {"staff", "pupils"}) {
            UserMember m;
            m.SetUserLogin("bob");
            m.SetGroup(group);
            m.AddNew();
        }
        UserWebsite w;
        w.SetUserLogin("bob");
        w.SetURL("https://a.example/");
        w.AddNew();
        UserProgram p;
        p.SetUserLogin("bob");
        p.SetProgram("/usr/bin/x");
        p.AddNew();
    }
    // Links of bob that stand, read afresh (journals put back first).
    static int LinksOfBob() {
        int n = 0;
        UserMember m;
        if (m.LoadGroup("bob")) n += static_cast<int>(m.UserMembers()->Count());
        UserWebsite w;
        if (w.LoadWebsites("bob")) n += static_cast<int>(w.UserWebsites()->Count());
        UserProgram p;
        if (p.LoadPrograms("bob")) n += static_cast<int>(p.UserPrograms()->Count());
        return n;
    }
    bool AnyJournal() const {
        for (const auto& e : std::filesystem::directory_iterator(folder_.Path()))
            if (e.path().string().ends_with("-journal")) return true;
        return false;
    }

    test_support::TempFolder folder_;
};

TEST_F(AccountDeleteTest, ReportMatchesTheDiskForEachFault) {
    enum class Fault { None, AtOnce, CutShort, NextWrite, SecondRecord, SecondTable };
    struct Case {
        const char* what;
        bool links;
        Fault fault;
        bool raised;      // the delete reports failure
        bool accountStays;
        int linksLeft;
        const char* saying;  // in the error's description, "" for anything
    };
    const Case cases[] = {
        {"no fault, links", true, Fault::None, false, false, 0, ""},
        {"at once, links", true, Fault::AtOnce, true, true, 4, ""},
        {"cut short, links", true, Fault::CutShort, true, true, 4, ""},
        {"next write, links", true, Fault::NextWrite, true, true, 4, ""},
        // The two memberships are one change: the disk failing on the second leaves both.
        {"second membership, links", true, Fault::SecondRecord, true, true, 4, ""},
        // The disk fails in the second table and refuses the undo too: the journal naming
        // every table puts them all back at the next open.
        {"second table, links", true, Fault::SecondTable, true, true, 4, ""},
        {"no fault, no links", false, Fault::None, false, false, 0, ""},
        {"at once, no links", false, Fault::AtOnce, true, true, 0, ""},
        {"cut short, no links", false, Fault::CutShort, true, true, 0, ""},
        {"next write, no links", false, Fault::NextWrite, true, true, 0, ""},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(folder_.Path());
        std::filesystem::create_directory(folder_.Path());
        Accounts(c.links);
        FaultyRecordIo io;
        if (c.fault == Fault::AtOnce) io.FailWrite(1, ENOSPC);
        if (c.fault == Fault::CutShort) io.CutTableWrite(1, EIO);
        if (c.fault == Fault::NextWrite) io.BreakAfterTableWrite(1, ENOSPC);
        if (c.fault == Fault::SecondRecord) io.BreakAfterTableWrite(2, ENOSPC);
        if (c.fault == Fault::SecondTable) io.BreakAfterTableWrite(3, ENOSPC);
        bool raised = false;
        std::string description;
        {
            RecordIoScope scope(io);
            try {
                const auto login = DeleteAccountWithLinks(2);
                EXPECT_EQ(login.value_or(""), c.raised ? "" : "bob") << c.what;
            } catch (const RaisedError& e) {
                raised = true;
                description = e.Description();
            }
        }
        EXPECT_EQ(raised, c.raised) << c.what;
        EXPECT_NE(description.find(c.saying), std::string::npos) << c.what << ": " << description;
        EXPECT_EQ(User().Exists("bob"), c.accountStays) << c.what;
        EXPECT_TRUE(User().Exists("alice")) << c.what;
        EXPECT_EQ(LinksOfBob(), c.linksLeft) << c.what;
        EXPECT_FALSE(AnyJournal()) << c.what;
    }
}


// The delete cut at every step of its commit (killed, a write failing once, a disk that stays
// full) and any one of its tables opened first afterwards: the account and all its links
// stand, or none of them; a failure reported leaves them all; a new account of the login
// holds no links.
TEST_F(AccountDeleteTest, CutAtEveryStepTheAccountAndItsLinksStandOrGoTogether) {
    Accounts(true);
    StepRecordIo counting;
    {
        RecordIoScope scope(counting);
        ASSERT_EQ(DeleteAccountWithLinks(2).value_or(""), "bob");
    }
    const int steps = counting.steps;
    ASSERT_GE(steps, 8);
    const char* const tables[] = {"users.sec", "members.sec", "userwebsites.sec", "userprograms.sec"};
    for (const test_support::StepCut& cut : test_support::kStepCuts)
        for (int at = 1; at <= steps; ++at)
            for (const char* first : tables) {
                SCOPED_TRACE(std::string(cut.what) + " at step " + std::to_string(at) + ", opening " + first);
                std::filesystem::remove_all(folder_.Path());
                std::filesystem::create_directory(folder_.Path());
                Accounts(true);
                const bool reported = test_support::RunCut(cut, at, [] {
                    try {
                        DeleteAccountWithLinks(2);
                    } catch (const RaisedError&) {
                        return true;
                    }
                    return false;
                });
                {
                    RecordFile file(64, 40);
                    file.Open(folder_.Path() + "/" + first);
                }
                const bool stands = User().Exists("bob");
                EXPECT_EQ(LinksOfBob(), stands ? 4 : 0);
                if (reported) EXPECT_TRUE(stands);
                EXPECT_TRUE(User().Exists("alice"));
                if (!stands) {
                    User bob;
                    bob.SetLogin("bob");
                    bob.AddNew();
                    EXPECT_EQ(LinksOfBob(), 0);
                }
                EXPECT_FALSE(AnyJournal());
            }
}

}  // namespace
}  // namespace corvane
