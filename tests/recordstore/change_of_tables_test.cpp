// A change of several tables (RecordFile::Group) cut at every step of its commit and at
// random moments, by a kill, a failed write and a disk that stays full: after the next open
// of any one of its tables, every table is all old or all new.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/raised_error.h"
#include "recordstore/record_file.h"
#include "recordstore/test_support.h"
#include "support/faulty_record_io.h"
#include "support/step_record_io.h"

namespace corvane {
namespace {

using test_support::RecordIoScope;

constexpr std::uint32_t kSlot = 64;
constexpr std::uint32_t kData = 40;
const char* const kTables[] = {"a.sec", "b.sec", "c.sec"};

const std::uint8_t* Raw(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

using StepIo = test_support::StepRecordIo;

class ChangeOfTablesTest : public testing::DataFolderTest {
protected:
    static std::string Slot(char c) { return std::string(kData, c) + std::string(kSlot - kData, '\0'); }
    // Each table: three lettered slots.
    void Fill() const {
        for (const char* name : kTables) WriteFile(Path(name), Slot('a') + Slot('b') + Slot('c'));
    }
    std::vector<std::string> Disk() const {
        std::vector<std::string> files;
        for (const char* name : kTables) files.push_back(ReadFile(Path(name)));
        return files;
    }
    // One change: a slot of a.sec, two of b.sec, one of c.sec and an append to c.sec.
    void Change(char c) const {
        RecordFile::Group group;
        for (const char* name : kTables) group.Add(Path(name), kSlot, kData);
        group.Lock();
        RecordFile a(kSlot, kData), b(kSlot, kData), cc(kSlot, kData);
        a.Open(Path("a.sec"));
        b.Open(Path("b.sec"));
        cc.Open(Path("c.sec"));
        const std::string bytes(kData, c);
        a.Write(1, Raw(bytes));
        b.Write(2, Raw(bytes));
        b.Write(3, Raw(bytes));
        cc.Write(4, Raw(bytes));
        cc.Write(1, Raw(bytes));
        group.Commit();
    }
    // Opens one table (any journal standing is put back then), and says which state every
    // table is in.
    std::string AfterOpening(const char* name, const std::vector<std::string>& before,
                             const std::vector<std::string>& after) const {
        {
            RecordFile file(kSlot, kData);
            file.Open(Path(name));
        }
        const std::vector<std::string> now = Disk();
        if (now == before) return "old";
        if (now == after) return "new";
        return "mixed";
    }
    bool AnyJournal() const {
        for (const auto& e : std::filesystem::directory_iterator(folder_))
            if (e.path().filename().string().find("-journal") != std::string::npos) return true;
        return false;
    }
    void OpenAll() const {
        for (const char* name : kTables) {
            RecordFile file(kSlot, kData);
            file.Open(Path(name));
        }
    }
};

TEST_F(ChangeOfTablesTest, ReadsThroughAnyHandleSeeTheChangeAndTheDiskOnlyAtTheCommit) {
    Fill();
    const std::vector<std::string> before = Disk();
    {
        RecordFile::Group group;
        for (const char* name : kTables) group.Add(Path(name), kSlot, kData);
        group.Lock();
        RecordFile b(kSlot, kData);
        b.Open(Path("b.sec"));
        b.Write(2, Raw(std::string(kData, 'z')));
        b.Write(4, Raw(std::string(kData, 'y')));
        RecordFile other(kSlot, kData);
        other.Open(Path("b.sec"));
        std::string got(kData, '?');
        const std::string blank(kData, ' ');
        other.Read(2, reinterpret_cast<std::uint8_t*>(got.data()), Raw(blank));
        EXPECT_EQ(got, std::string(kData, 'z'));
        other.Read(4, reinterpret_cast<std::uint8_t*>(got.data()), Raw(blank));
        EXPECT_EQ(got, std::string(kData, 'y'));
        EXPECT_EQ(RecordFile::SlotCount(other.Length(), kSlot), 4);
        EXPECT_EQ(Disk(), before);
        // Not committed: nothing written.
    }
    EXPECT_EQ(Disk(), before);
    EXPECT_FALSE(AnyJournal());
}

// The table of steps: each step of the commit (every call that changes the disk) for each
// way of cutting it, and each table opened first afterwards.
TEST_F(ChangeOfTablesTest, CutAtEveryStepEveryTableIsOldOrNewAfterTheNextOpenOfAnyOne) {
    Fill();
    const std::vector<std::string> before = Disk();
    StepIo counting(StepIo::Mode::Count, 0, 0);
    {
        RecordIoScope scope(counting);
        Change('z');
    }
    const std::vector<std::string> after = Disk();
    ASSERT_NE(before, after);
    const int steps = counting.steps;
    ASSERT_GE(steps, 8);
    for (const test_support::StepCut& way : test_support::kStepCuts)
        for (int at = 1; at <= steps; ++at)
            for (const char* first : kTables) {
                SCOPED_TRACE(std::string(way.what) + " at step " + std::to_string(at) + ", opening " + first);
                Fill();
                const bool reported = test_support::RunCut(way, at, [&] {
                    try {
                        Change('z');
                    } catch (const RaisedError&) {
                        // Still full at the next open: it fails or reads a whole state.
                        if (way.mode == StepIo::Mode::FailFromHere) {
                            try {
                                EXPECT_NE(AfterOpening(first, before, after), "mixed");
                            } catch (const RaisedError&) {
                            }
                        }
                        return true;
                    }
                    return false;
                });
                const std::string state = AfterOpening(first, before, after);
                EXPECT_NE(state, "mixed");
                // A change reported failed is not on the disk.
                if (reported) {
                    EXPECT_EQ(state, "old");
                }
                OpenAll();
                EXPECT_EQ(Disk(), state == "new" ? after : before);
                EXPECT_FALSE(AnyJournal());
            }
}

// Killed at random moments while it runs the change back and forth: whatever table is
// opened next, all three are in one state.
TEST_F(ChangeOfTablesTest, KilledAtRandomEveryTableIsInOneState) {
    std::mt19937 random(54);
    int cutInTheMiddle = 0;
    for (int round = 0; round < 300; ++round) {
        for (const char* name : kTables) WriteFile(Path(name), Slot('a') + Slot('b') + Slot('c') + Slot('d'));
        test_support::KillAtRandom(random, 400, [&](int i) { Change(i % 2 ? 'x' : 'y'); });
        if (HasFatalFailure()) return;
        if (AnyJournal()) ++cutInTheMiddle;
        {
            RecordFile file(kSlot, kData);
            file.Open(Path(kTables[random() % 3]));
        }
        const std::vector<std::string> now = Disk();
        const char state = now[0][0];
        ASSERT_TRUE(state == 'x' || state == 'y') << round;
        EXPECT_EQ(now[1].substr(kSlot, kData), std::string(kData, state)) << round;
        EXPECT_EQ(now[1].substr(2 * kSlot, kData), std::string(kData, state)) << round;
        EXPECT_EQ(now[2].substr(0, kData), std::string(kData, state)) << round;
        EXPECT_EQ(now[2].substr(3 * kSlot, kData), std::string(kData, state)) << round;
        OpenAll();
        EXPECT_FALSE(AnyJournal()) << round;
    }
    RecordProperty("kills_with_a_journal_standing", cutInTheMiddle);
}

}  // namespace
}  // namespace corvane
