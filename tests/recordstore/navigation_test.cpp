// Steps, position tests, counts and notifications of the engine, on users.sec.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/core/event_loop.h"
#include "recordstore/user.h"
#include "recordstore/test_support.h"

namespace corvane {
namespace {

using testing::DataFolderTest;
using testing::kUserData;
using testing::kUserSlot;
using testing::RawRecord;
using testing::UserRecord;

class Navigation : public DataFolderTest {
protected:
    void WriteUsers(std::initializer_list<RawRecord> records) { testing::WriteUsers(UsersPath(), records); }
    // ann, a deleted slot, bob, a blank key.
    void WriteFour() {
        WriteUsers({UserRecord("ann", "Ann"), UserRecord("   ").Int16(2078, -1), UserRecord("bob", "Bob"),
                    UserRecord("  ", "blank")});
    }
};

TEST_F(Navigation, EmptyFile) {
    WriteFile(UsersPath(), "");
    User user;
    EXPECT_TRUE(user.IsEmpty());
    EXPECT_TRUE(user.IsBOF());
    EXPECT_TRUE(user.IsEOF());
    EXPECT_EQ(user.RecordCount(), 0);
    EXPECT_EQ(user.UserCount(), 0);
    user.SetName("kept");
    user.MoveFirst();
    user.MoveLast();
    EXPECT_EQ(user.Name(), "kept");  // nothing at all happens
    EXPECT_EQ(user.Loc(), 1);        // where the count of keyed records left it
    user.MoveNext();
    EXPECT_EQ(user.Name(), "");
    user.SetName("kept");
    user.MovePrevious();
    EXPECT_EQ(user.Name(), "");
    EXPECT_FALSE(user.Load("x"));
    EXPECT_TRUE(user.NoMatch());
}

TEST_F(Navigation, FileOfDeletedRecordsOnly) {
    WriteUsers({UserRecord("   ").Int16(2078, -1), UserRecord("   ").Int16(2078, -1)});
    User user;
    EXPECT_FALSE(user.IsEmpty());
    EXPECT_EQ(user.RecordCount(), 0);
    user.SetName("x");
    user.MoveFirst();
    EXPECT_EQ(user.Name(), "");
    EXPECT_EQ(user.Loc(), 3);
    EXPECT_TRUE(user.IsEOF());
}

TEST_F(Navigation, StepsVisitValidRecordsAndStopAtTheEnds) {
    WriteFour();
    User user;
    user.OpenTable();
    EXPECT_EQ(user.Loc(), 0);
    EXPECT_TRUE(user.IsBOF());
    EXPECT_FALSE(user.IsEOF());

    struct Step { void (RecordTable::*move)(bool); const char* login; std::int32_t loc; bool bof, eof; };
    const Step steps[] = {
        {&RecordTable::MoveNext, "ann", 1, true, false},   // from 0: the first valid record
        {&RecordTable::MoveNext, "bob", 3, false, false},
        {&RecordTable::MoveNext, "", 5, false, true},      // runs out past the last slot
        {&RecordTable::MoveNext, "", 5, false, true},
        {&RecordTable::MoveLast, "bob", 3, false, false},
        {&RecordTable::MovePrevious, "ann", 1, true, false},
        {&RecordTable::MovePrevious, "", 1, true, false},  // runs out on record 1
        {&RecordTable::MoveFirst, "ann", 1, true, false},
    };
    for (const auto& s : steps) {
        (user.*s.move)(false);
        EXPECT_EQ(user.Login(), s.login) << s.loc;
        EXPECT_EQ(user.Loc(), s.loc);
        EXPECT_EQ(user.IsBOF(), s.bof) << s.loc;
        EXPECT_EQ(user.IsEOF(), s.eof) << s.loc;
    }

    User fresh;
    fresh.OpenTable();
    fresh.SetName("x");
    fresh.MovePrevious();
    EXPECT_EQ(fresh.Name(), "");
    EXPECT_EQ(fresh.Loc(), 0);
}

TEST_F(Navigation, NoRefreshMovesOnlyTheBufferAndPosition) {
    WriteFour();
    User user;
    ASSERT_TRUE(user.Load("ann"));
    user.SetDescription("edited");
    user.MoveNext(true);
    EXPECT_EQ(user.Loc(), 3);
    EXPECT_EQ(user.Login(), "ann");
    EXPECT_EQ(user.UserID(), 1);
    EXPECT_TRUE(user.IsDirty());
    user.Refresh();  // now take the buffer: bob, still dirty
    EXPECT_EQ(user.Login(), "bob");
    EXPECT_EQ(user.UserID(), 3);
    EXPECT_TRUE(user.IsDirty());
}

TEST_F(Navigation, ConnectOpensAndLoadsTheFirstRecord) {
    WriteFour();
    User user;
    user.Connect();
    EXPECT_EQ(user.Login(), "ann");
    EXPECT_EQ(user.TablePathName(), UsersPath());
    user.MoveNext();
    user.Connect();  // reopens: position and record start again
    EXPECT_EQ(user.Loc(), 1);
    user.Disconnect();
    EXPECT_THROW(user.Loc(), RaisedError);
    EXPECT_EQ(user.RecordCount(), 2);  // reopens on demand
}

TEST_F(Navigation, RecordCountYieldsOnceAndPutsThePositionBack) {
    WriteFour();
    User user;
    int yields = 0;
    SetYieldHook([&] { ++yields; });
    EXPECT_EQ(user.RecordCount(), 2);
    EXPECT_EQ(yields, 1);
    EXPECT_EQ(user.Loc(), 4);  // position was 0: left on the last slot

    ASSERT_TRUE(user.Load("ann"));
    user.Exists("bob");
    EXPECT_EQ(user.RecordCount(), 2);
    EXPECT_EQ(user.Loc(), 3);
    EXPECT_TRUE(user.ValidRecord());

    EXPECT_EQ(user.UserCount(), 2);  // keyed slots: ann and bob
    EXPECT_EQ(yields, 2);            // the count of keyed records does not yield
    EXPECT_EQ(user.Loc(), 5);        // and stands past the end
}

TEST_F(Navigation, EachOperationSeesRecordsAppendedElsewhere) {
    WriteFour();
    User reader;
    EXPECT_EQ(reader.RecordCount(), 2);
    User writer;
    writer.SetLogin("cat");
    writer.AddNew();
    EXPECT_EQ(writer.UserID(), 5);
    EXPECT_EQ(reader.RecordCount(), 3);
    EXPECT_TRUE(reader.Load("cat"));
    EXPECT_EQ(reader.UserID(), 5);
}

// One walk over the valid records, each loaded as a step would load it; an
// empty file is walked without a visit.
TEST_F(Navigation, ForEachValidVisitsTheValidRecordsInOneScan) {
    WriteFile(UsersPath(), "");
    User empty;
    int visits = 0;
    empty.ForEachValid([&] { ++visits; });
    EXPECT_EQ(visits, 0);
    EXPECT_TRUE(empty.IsEOF());

    WriteFour();
    User reader;
    std::vector<std::string> met;
    reader.ForEachValid(
        [&] { met.push_back(reader.Login() + "/" + reader.Name() + "/" + std::to_string(reader.UserID())); });
    EXPECT_EQ(met, (std::vector<std::string>{"ann/Ann/1", "bob/Bob/3"}));
    EXPECT_TRUE(reader.IsEOF());
}

TEST_F(Navigation, TableStaysAliveWhenReleasedDuringItsYield) {
    WriteFour();
    auto user = std::make_unique<User>();
    user->OpenTable();
    SetYieldHook([&] { user.reset(); });
    User* raw = user.get();
    EXPECT_EQ(raw->RecordCount(), 2);
    EXPECT_EQ(user, nullptr);
}

TEST_F(Navigation, NotificationsAndEnumerate) {
    WriteFour();
    User user;
    std::vector<TableNotification> seen;
    user.SetObserver([&](TableNotification n) { seen.push_back(n); });

    ASSERT_TRUE(user.Load("bob"));
    EXPECT_EQ(seen, (std::vector{TableNotification::Changed, TableNotification::Loaded}));

    struct Walk { bool reverse; std::vector<std::string> logins; };
    // The forward walk announces the last record; the backward walk stops on record 1
    // without announcing it.
    for (const Walk& w : {Walk{false, {"ann", "bob"}}, Walk{true, {"bob"}}}) {
        std::vector<std::string> announced;
        user.SetObserver([&](TableNotification n) {
            if (n == TableNotification::Enumerated) announced.push_back(user.Login());
        });
        user.Enumerate(w.reverse);
        EXPECT_EQ(announced, w.logins) << w.reverse;
    }

    WriteUsers({UserRecord("   ").Int16(2078, -1)});
    for (bool reverse : {false, true}) {
        int count = 0;
        user.SetObserver([&](TableNotification n) { count += n == TableNotification::Enumerated; });
        user.Enumerate(reverse);
        EXPECT_EQ(count, 1) << reverse;  // once even when nothing was found
    }

    seen.clear();
    user.SetObserver([&](TableNotification n) { seen.push_back(n); });
    user.SetLogin("dan");
    user.AddNew();
    EXPECT_EQ(seen, (std::vector{TableNotification::Saved, TableNotification::Changed}));
}

TEST_F(Navigation, PositionTestsOnAClosedTableRaiseWithoutOpening) {
    User user;
    for (auto [test, source] : {std::pair{&RecordTable::IsBOF, "User.BOF"}, std::pair{&RecordTable::IsEOF, "User.EOF"}}) {
        try {
            (user.*test)();
            FAIL() << source;
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), vbObjectError + 20);
            EXPECT_EQ(e.Source(), source);
            EXPECT_EQ(e.Description(), "Operation is not allowed when the object is closed");
        }
    }
    EXPECT_FALSE(std::filesystem::exists(UsersPath()));
    EXPECT_TRUE(user.IsEmpty());  // opens (and creates) the file first
    EXPECT_TRUE(std::filesystem::exists(UsersPath()));
}

TEST_F(Navigation, HalfSlotRuleDecidesTheLastSlot) {
    struct Case { std::size_t length; std::int32_t records; bool empty; };
    const Case cases[] = {
        {2088, 0, true},                      // exactly half a slot: none
        {2160, 1, false},                     // the data part alone counts
        {kUserSlot + 2088, 1, false},         // 1.5 slots round to 2; the torn second reads blank
        {2 * kUserSlot + 2088, 2, false},     // 2.5 slots: to the even 2
    };
    for (const auto& c : cases) {
        std::string bytes = UserRecord("ann").Slot(kUserSlot) + UserRecord("bob").Slot(kUserSlot) +
                            UserRecord("cat").Slot(kUserSlot);
        bytes.resize(c.length, '\0');
        WriteFile(UsersPath(), bytes);
        User user;
        EXPECT_EQ(user.IsEmpty(), c.empty) << c.length;
        EXPECT_EQ(user.RecordCount(), c.records) << c.length;
    }
}

TEST_F(Navigation, AWalkThatRanOffTheEndStaysEndedWhenAnotherWorkstationAppends) {
    struct Row {
        const char* what;
        std::initializer_list<RawRecord> records;
        std::vector<std::string> walked;
    };
    const Row rows[] = {
        {"MoveNext past the last record", {UserRecord("ann", "Ann")}, {"ann"}},
        {"MoveFirst over deleted records only", {UserRecord("old").Int16(2078, -1)}, {}},
        {"MoveFirst on an empty file", {}, {}},
    };
    for (const Row& row : rows) {
        WriteUsers(row.records);
        User walker;
        std::vector<std::string> walked;
        bool appended = false;
        walker.MoveFirst();
        // Another workstation appends right after the step that found nothing, before IsEOF.
        const auto appendOnce = [&] {
            if (appended || walker.IsSynchronised()) return;
            appended = true;
            User other;
            other.SetLogin("bob");
            other.AddNew();
        };
        appendOnce();
        for (int guard = 0; !walker.IsEOF() && guard < 5; ++guard) {
            walked.push_back(walker.Login());
            walker.MoveNext();
            appendOnce();
        }
        EXPECT_TRUE(appended) << row.what;
        EXPECT_EQ(walked, row.walked) << row.what << ": no empty row";

        // The body of a walk that saves, run on the cleared object, writes nothing.
        const std::string before = ReadFile(UsersPath());
        EXPECT_FALSE(walker.IsSynchronised()) << row.what;
        walker.SetName("");
        walker.SaveChanges();
        EXPECT_EQ(ReadFile(UsersPath()), before) << row.what;
        EXPECT_TRUE(walker.Load("bob")) << row.what;
        if (!walked.empty()) EXPECT_TRUE(walker.Load("ann")) << row.what;
    }
}

TEST_F(Navigation, AStepBackOffTheRecordsStaysAtTheStart) {
    WriteUsers({UserRecord("ann", "Ann"), UserRecord("bob", "Bob")});
    User walker;
    ASSERT_TRUE(walker.Load("bob"));
    testing::DataFolderTest::WriteFile(UsersPath(), "");  // cleared elsewhere
    walker.MoveLast();
    WriteUsers({UserRecord("cat"), UserRecord("dan"), UserRecord("eve")});  // and grown again
    EXPECT_TRUE(walker.IsBOF());
    EXPECT_FALSE(walker.IsSynchronised());
    walker.SetName("stale");
    walker.SaveChanges();
    EXPECT_EQ(ReadFile(UsersPath()), testing::Slots(kUserSlot, {UserRecord("cat"), UserRecord("dan"), UserRecord("eve")}));
}

}  // namespace
}  // namespace corvane
