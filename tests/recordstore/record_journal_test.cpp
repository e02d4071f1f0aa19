// The journal under every slot written in place, through a disk that fails on cue, and the
// rules for record files in a folder others may write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "recordstore/record_file.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"
#include "support/child_report.h"
#include "support/faulty_record_io.h"

namespace corvane {
namespace {

using test_support::FaultyRecordIo;
using test_support::RecordIoScope;
using testing::DataFolderTest;
using testing::JournalTableTest;
using testing::UserRecord;

constexpr std::uint32_t kSlot = 64;
constexpr std::uint32_t kData = 40;

std::string Bytes(char c) { return std::string(kData, c); }

class RecordJournalTest : public JournalTableTest {
protected:
    RecordJournalTest() : JournalTableTest(kSlot, kData) {}
    // Record n read through a fresh handle on the real disk, as another workstation would.
    std::string ReadFresh(int n) const {
        RecordFile file(kSlot, kData);
        file.Open(Table());
        std::string out(kData, '?');
        const std::string blank(kData, ' ');
        file.Read(n, reinterpret_cast<std::uint8_t*>(out.data()), reinterpret_cast<const std::uint8_t*>(blank.data()));
        return out;
    }
    // Writes c over record n through io; the error number raised, 0 for none.
    int WriteThrough(FaultyRecordIo& io, int n, char c) const {
        RecordIoScope scope(io);
        RecordFile file(kSlot, kData);
        file.Open(Table());
        const std::string bytes = Bytes(c);
        try {
            RecordFile::AppendLock lock(file);
            file.Write(n, reinterpret_cast<const std::uint8_t*>(bytes.data()));
        } catch (const RaisedError& e) {
            return e.Number();
        }
        return 0;
    }
};

TEST_F(RecordJournalTest, ShortWritesAreCarriedOnToTheWholeSlot) {
    LetteredSlots(3);
    FaultyRecordIo io;
    io.ShortWrites();
    EXPECT_EQ(WriteThrough(io, 2, 'x'), 0);
    EXPECT_EQ(OnDisk(2), Bytes('x'));
    EXPECT_FALSE(JournalStands());
}

TEST_F(RecordJournalTest, DiskFullOnTheJournalLeavesTheSlotUntouched) {
    LetteredSlots(3);
    FaultyRecordIo io;
    io.FailWrite(1, ENOSPC);
    EXPECT_EQ(WriteThrough(io, 2, 'x'), 61);
    EXPECT_EQ(io.TableWrites(), 0);
    EXPECT_EQ(OnDisk(2), Bytes('b'));
    EXPECT_FALSE(JournalStands());
}

TEST_F(RecordJournalTest, IoErrorOnTheSlotPutsTheOldBytesBackAtOnce) {
    LetteredSlots(3);
    FaultyRecordIo io;
    io.FailWrite(2, EIO);  // the journal lands, the slot write fails, the disk recovers
    EXPECT_EQ(WriteThrough(io, 2, 'x'), 57);
    EXPECT_EQ(OnDisk(2), Bytes('b'));
}

TEST_F(RecordJournalTest, SlotCutShortStaysJournalledAndTheNextOpenPutsItBack) {
    LetteredSlots(3);
    FaultyRecordIo io;
    io.CutTableWrite(1, EIO);
    EXPECT_EQ(WriteThrough(io, 2, 'x'), 57);
    // The disk refused the undo too: the slot is mixed, the journal says what it held.
    EXPECT_EQ(OnDisk(2), std::string(kData / 2, 'x') + std::string(kData / 2, 'b'));
    ASSERT_TRUE(JournalStands());
    // Another workstation, another process: its open puts the slot back before it reads.
    const std::string child = test_support::ReportFromChild([&] {
        const std::string got = ReadFresh(2);
        return got == Bytes('b') ? std::string() : "read " + got;
    });
    EXPECT_EQ(child, "");
    EXPECT_EQ(OnDisk(2), Bytes('b'));
    EXPECT_FALSE(JournalStands());
    EXPECT_EQ(OnDisk(1), Bytes('a'));
    EXPECT_EQ(OnDisk(3), Bytes('c'));
}

TEST_F(RecordJournalTest, FailedFlushAfterAWholeWriteCountsAsFailedAndIsUndone) {
    LetteredSlots(3);
    FaultyRecordIo io;
    io.BreakAfterTableWrite(1, EIO);
    EXPECT_EQ(WriteThrough(io, 3, 'x'), 57);
    EXPECT_EQ(ReadFresh(3), Bytes('c'));
    EXPECT_FALSE(JournalStands());
}

TEST_F(RecordJournalTest, AppendCutShortReadsBlankAndTheNextAppendTakesTheSlot) {
    LetteredSlots(3);
    FaultyRecordIo io;
    io.CutTableWrite(1, ENOSPC);
    EXPECT_EQ(WriteThrough(io, 4, 'x'), 61);
    EXPECT_FALSE(JournalStands());  // an append needs none
    EXPECT_EQ(ReadFresh(4), std::string(kData, ' '));
    EXPECT_EQ(ReadFile(Table()).size(), 3 * kSlot + kData / 2);
}

TEST_F(RecordJournalTest, RefusedLockWithAJournalStandingRefusesTheOpen) {
    LetteredSlots(3);
    FaultyRecordIo cut;
    cut.CutTableWrite(1, EIO);
    ASSERT_EQ(WriteThrough(cut, 2, 'x'), 57);
    FaultyRecordIo io;
    io.RefuseLocks(ENOLCK);
    RecordIoScope scope(io);
    RecordFile file(kSlot, kData);
    EXPECT_THROW(file.Open(Table()), RaisedError);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(JournalStands());  // kept for an open that can lock
}

TEST_F(RecordJournalTest, RefusedLockWithoutAJournalStillWritesWhole) {
    LetteredSlots(3);
    FaultyRecordIo io;
    io.RefuseLocks(ENOLCK);
    EXPECT_EQ(WriteThrough(io, 1, 'x'), 0);
    EXPECT_EQ(OnDisk(1), Bytes('x'));
    EXPECT_FALSE(JournalStands());
}

// Journals typed by hand: one never finished, one of a slot a clear took away.
TEST_F(RecordJournalTest, JournalNotWholeOrPastTheEndIsDroppedWithoutWriting) {
    LetteredSlots(3);
    FaultyRecordIo cut;
    cut.CutTableWrite(1, EIO);
    ASSERT_EQ(WriteThrough(cut, 2, 'x'), 57);
    const std::string journal = ReadFile(Journal());
    const std::string mixed = ReadFile(Table());
    struct Case {
        const char* what;
        std::string journal;
        std::string table;
    };
    std::string badSum = journal;
    badSum.back() ^= 1;
    const Case cases[] = {
        {"cut short", journal.substr(0, journal.size() - 1), mixed},
        {"bad checksum", badSum, mixed},
        {"slot cleared away", journal, mixed.substr(0, kSlot)},
        {"empty", "", mixed},
    };
    for (const Case& c : cases) {
        WriteFile(Table(), c.table);
        WriteFile(Journal(), c.journal);
        RecordFile file(kSlot, kData);
        ASSERT_NO_THROW(file.Open(Table())) << c.what;
        EXPECT_EQ(ReadFile(Table()), c.table) << c.what;
        EXPECT_FALSE(JournalStands()) << c.what;
    }
}

TEST_F(RecordJournalTest, UnchangedSlotIsNotWrittenAtAll) {
    LetteredSlots(3);
    FaultyRecordIo io;
    EXPECT_EQ(WriteThrough(io, 2, 'b'), 0);
    EXPECT_EQ(io.TableWrites(), 0);
}

TEST_F(RecordJournalTest, NewTableIsPrivateWhateverTheUmask) {
    const mode_t before = ::umask(0);
    RecordFile file(kSlot, kData);
    file.Open(Table());
    ::umask(before);
    struct stat st{};
    ASSERT_EQ(::stat(Table().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(RecordJournalTest, NewTableInAGroupSharedFolderIsGroupWritable) {
    ASSERT_EQ(::chmod(folder_.c_str(), 02770), 0);
    const mode_t before = ::umask(022);
    RecordFile file(kSlot, kData);
    file.Open(Table());
    ::umask(before);
    struct stat st{};
    ASSERT_EQ(::stat(Table().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0660u);
}

// A data folder reached through a link is judged by the folder, whose mode the link does not
// share (a link's own mode allows everyone everything).
TEST_F(RecordJournalTest, FolderThroughALinkIsJudgedByItself) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to own a file as another account";
    LetteredSlots(3);
    ASSERT_EQ(::chown(Table().c_str(), 65534, 65534), 0);
    const std::string link = folder_ + "-link";
    ASSERT_EQ(::symlink(folder_.c_str(), link.c_str()), 0);
    RecordFile file(kSlot, kData);
    EXPECT_NO_THROW(file.Open(link + "/t.sec"));
    ::unlink(link.c_str());
}

TEST_F(RecordJournalTest, LinkInTheTablesPlaceIsNeverFollowed) {
    const std::string target = Path("elsewhere");
    WriteFile(target, "kept");
    ASSERT_EQ(::symlink(target.c_str(), Table().c_str()), 0);
    RecordFile file(kSlot, kData);
    EXPECT_THROW(file.Open(Table()), RaisedError);
    EXPECT_EQ(ReadFile(target), "kept");
}

// Another account's file in a folder others may write: refused before any open. Needs a
// second account, which only root can act as here.
TEST_F(RecordJournalTest, AnotherAccountsTableInAFolderOthersMayWriteIsNeverOpened) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to own a file as another account";
    LetteredSlots(3);
    ASSERT_EQ(::chown(Table().c_str(), 65534, 65534), 0);
    // Anyone, or a group that is not shared (no set-group-ID bit), may plant a table there; a
    // group-shared folder's members and a private folder are the site's own business.
    const struct {
        mode_t folder;
        bool refused;
    } rows[] = {{01777, true}, {0770, true}, {02770, false}, {0700, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.folder);
        ASSERT_EQ(::chmod(folder_.c_str(), row.folder), 0);
        FaultyRecordIo io;
        RecordIoScope scope(io);
        RecordFile file(kSlot, kData);
        if (!row.refused) {
            EXPECT_NO_THROW(file.Open(Table()));
            continue;
        }
        try {
            file.Open(Table());
            ADD_FAILURE() << "opened";
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), 70);
            EXPECT_NE(e.Description().find("another account"), std::string::npos) << e.Description();
        }
        EXPECT_EQ(io.Opened().count(Table()), 0u);
    }
}

TEST_F(RecordJournalTest, AnotherAccountsJournalInAFolderOthersMayWriteIsNotApplied) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to own a file as another account";
    LetteredSlots(3);
    FaultyRecordIo cut;
    cut.CutTableWrite(1, EIO);
    ASSERT_EQ(WriteThrough(cut, 2, 'x'), 57);
    ASSERT_EQ(::chmod(folder_.c_str(), 01777), 0);
    ASSERT_EQ(::chown(Journal().c_str(), 65534, 65534), 0);
    const std::string mixed = ReadFile(Table());
    // Never applied, and it stops no read: the table is read as it stands.
    RecordFile file(kSlot, kData);
    EXPECT_NO_THROW(file.Open(Table()));
    EXPECT_EQ(ReadFile(Table()), mixed);
    EXPECT_TRUE(JournalStands());
}


// Each write path of the engine over users.sec, against each way a disk fails: the call
// raises, and the table read afresh (another handle, after the journal was put back) holds
// what it held before, with no journal left.
class EngineWriteFaultTest : public DataFolderTest {};

enum class Fault { AtOnce, CutShort, NextWrite };

void Arm(FaultyRecordIo& io, Fault fault) {
    switch (fault) {
        case Fault::AtOnce: io.FailWrite(1, ENOSPC); break;
        case Fault::CutShort: io.CutTableWrite(1, EIO); break;
        case Fault::NextWrite: io.BreakAfterTableWrite(1, ENOSPC); break;
    }
}

TEST_F(EngineWriteFaultTest, EveryWritePathLeavesTheOldRecordsWhenTheDiskFails) {
    struct Path {
        const char* what;
        std::function<void()> write;
        bool append = false;  // whole once its one write lands: a later fault is not its own
    };
    const Path paths[] = {
        {"editor save (SaveChanges)",
         [] {
             User u;
             ASSERT_TRUE(u.Load("bob"));
             u.SetName("Robert the Renamed");
             u.SetDescription("new");
             u.SaveChanges();
         }},
        {"password set (UpdateLoadedRecord)",
         [] {
             User u;
             ASSERT_TRUE(u.Load("bob"));
             u.UpdateLoadedRecord([&] {
                 u.SetPassword("new-hash");
                 u.SetPasswordLength(8);
                 return true;
             });
         }},
        {"delete of the loaded record", [] {
             User u;
             ASSERT_TRUE(u.Load("bob"));
             u.Delete();
         }},
        {"delete by number (DeleteValid)", [] { User().DeleteValid(2); }},
        {"wizard add (AddNew)", [] {
             User u;
             u.SetLogin("carol");
             u.SetName("Carol");
             u.AddNew();
         },
         true},
    };
    for (const Fault fault : {Fault::AtOnce, Fault::CutShort, Fault::NextWrite}) {
        for (const Path& path : paths) {
            const std::string label = std::string(path.what) + " / fault " + std::to_string(static_cast<int>(fault));
            testing::WriteUsers(UsersPath(), {UserRecord("alice", "Alice"), UserRecord("bob", "Bob"),
                                              UserRecord("dave", "Dave")});
            const std::string before = ReadFile(UsersPath());
            FaultyRecordIo io;
            Arm(io, fault);
            bool raised = false;
            {
                RecordIoScope scope(io);
                try {
                    path.write();
                } catch (const RaisedError&) {
                    raised = true;
                }
            }
            // Another handle opens it, as another workstation would: a journal is put back.
            User fresh;
            EXPECT_TRUE(fresh.Load("bob")) << label;
            EXPECT_EQ(fresh.Name(), "Bob") << label;
            EXPECT_FALSE(std::filesystem::exists(UsersPath() + "-journal")) << label;
            if (path.append && fault == Fault::NextWrite) {
                EXPECT_FALSE(raised) << label;
                EXPECT_TRUE(fresh.Exists("carol")) << label;
                continue;
            }
            EXPECT_TRUE(raised) << label;
            EXPECT_FALSE(fresh.Exists("carol")) << label;
            const std::string after = ReadFile(UsersPath());
            // An append cut short leaves bytes past the last slot that read as no record.
            EXPECT_EQ(after.substr(0, before.size()), before) << label;
            EXPECT_EQ(fresh.UserCount(), 3) << label;
        }
    }
}

// The same paths on a disk that works: each write lands and leaves no journal behind.
TEST_F(EngineWriteFaultTest, WritesOnAWorkingDiskLandAndLeaveNoJournal) {
    testing::WriteUsers(UsersPath(), {UserRecord("alice", "Alice"), UserRecord("bob", "Bob")});
    User u;
    ASSERT_TRUE(u.Load("bob"));
    u.SetName("Robert");
    u.SaveChanges();
    EXPECT_TRUE(u.UpdateLoadedRecord([&] {
        u.SetPassword("h");
        return true;
    }));
    User check;
    ASSERT_TRUE(check.Load("bob"));
    EXPECT_EQ(check.Name(), "Robert");
    EXPECT_EQ(check.Password(), "h");
    EXPECT_FALSE(std::filesystem::exists(UsersPath() + "-journal"));
}

}  // namespace
}  // namespace corvane
