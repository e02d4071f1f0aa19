// The whole-table read in one pass: the records a walk lands on, one lock, appends met whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recordstore/slot_scan.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"
#include "support/append_in_flight.h"

namespace corvane {
namespace {

using testing::DataFolderTest;
using testing::kUserData;
using testing::kUserSlot;
using testing::UserRecord;

constexpr std::size_t kDeletedAt = 2078;  // users.sec's Deleted flag

class SlotScan : public DataFolderTest {
protected:
    // Login, name and record number of every record the scan meets.
    static std::vector<std::string> Scanned(User& table) {
        std::vector<std::string> seen;
        table.ScanValid([&](const SlotView& u) {
            seen.push_back(u.Text(User::kLogin) + "|" + u.Text(User::kName) + "|" + std::to_string(u.RecordNumber()));
            return true;
        });
        return seen;
    }
    // The same as the engine's walk from record to record finds them.
    static std::vector<std::string> Walked() {
        std::vector<std::string> seen;
        User table;
        table.ForEachValid([&] { seen.push_back(table.Login() + "|" + table.Name() + "|" + std::to_string(table.UserID())); });
        return seen;
    }
};

// Deleted records, blank keys, garbage and a torn last slot: the scan meets exactly the
// records the walk lands on, decoded the same way.
TEST_F(SlotScan, MeetsWhatTheWalkLandsOn) {
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        {"empty", ""},
        {"plain", testing::Slots(kUserSlot, {UserRecord("ann", "Ann"), UserRecord("bob", "  Bob  ")})},
        {"deleted and blank",
         testing::Slots(kUserSlot, {UserRecord("ann"), UserRecord("gone").Int16(kDeletedAt, -1), UserRecord("   ", "no key"),
                                    UserRecord("cy", "\xC9lise")})},
        {"garbage", std::string(kUserSlot * 2, '\xA7')},
        {"torn last slot", testing::Slots(kUserSlot, {UserRecord("ann")}) + UserRecord("half").Data().substr(0, kUserData / 2)},
        {"short last slot", testing::Slots(kUserSlot, {UserRecord("ann")}) + UserRecord("whole").Data()},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        WriteFile(UsersPath(), f.bytes);
        User table;
        EXPECT_EQ(Scanned(table), Walked());
    }
}

TEST_F(SlotScan, StopsWhenAskedAndLeavesTheObjectAsItWas) {
    testing::WriteUsers(UsersPath(), {UserRecord("ann", "Ann"), UserRecord("bob"), UserRecord("cy")});
    User table;
    ASSERT_TRUE(table.Load("bob"));
    int met = 0;
    table.ScanValid([&](const SlotView&) { return ++met < 2; });
    EXPECT_EQ(met, 2);
    EXPECT_EQ(table.Login(), "bob");
    EXPECT_EQ(table.Loc(), 2);
    EXPECT_TRUE(table.IsSynchronised());
    EXPECT_FALSE(table.IsDirty());
}

// Another workstation's append under way: the scan waits for its lock and meets the record
// whole, never half of it.
TEST_F(SlotScan, AnAppendUnderWayIsMetWhole) {
    testing::WriteUsers(UsersPath(), {UserRecord("ann")});
    const std::string record = UserRecord("newcomer", "A Name Long Enough").Fill(1500, 200, 'x').Data();
    const auto seen = testing::ReadWhileAppending(User::Table(), UsersPath(), record, [] {
        User table;
        return Scanned(table);
    });
    EXPECT_FALSE(seen.endedBeforeTheAppend);
    EXPECT_EQ(seen.result, (std::vector<std::string>{"ann||1", "newcomer|A Name Long Enough|2"}));
}

TEST_F(SlotScan, AFileOfItsOwnReadsTheSame) {
    testing::WriteUsers(UsersPath(), {UserRecord("ann"), UserRecord("bob").Int16(kDeletedAt, -1), UserRecord("cy")});
    std::vector<std::int32_t> numbers;
    ScanTableFile(User::Table(), UsersPath(), [&](const SlotView& u) {
        numbers.push_back(u.RecordNumber());
        return true;
    });
    EXPECT_EQ(numbers, (std::vector<std::int32_t>{1, 3}));
}

}  // namespace
}  // namespace corvane
