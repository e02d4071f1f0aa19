// Whose journal is applied, what a journal nobody allowed could have written stops (nothing
// but a write needing one), a change of many slots as one journal, and the errors that name
// the journal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/core/raised_error.h"
#include "recordstore/record_file.h"
#include "recordstore/record_journal.h"
#include "recordstore/slot_scan.h"
#include "recordstore/test_support.h"
#include "support/faulty_record_io.h"
#include "support/pass_through_record_io.h"

namespace corvane {
namespace {

using test_support::FaultyRecordIo;
using test_support::RecordIoScope;
using testing::JournalTableTest;

constexpr std::uint32_t kSlot = 64;
constexpr std::uint32_t kData = 40;
constexpr uid_t kNobody = 65534;  // an account whose primary group is 65534

std::string Bytes(char c) { return std::string(kData, c); }
const std::uint8_t* Raw(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

// Counts reports; kills the process at the journal's removal when asked.
class WatchingIo final : public test_support::PassThroughRecordIo {
public:
    int Sync(int fd) override {
        ++syncs;
        return Real().Sync(fd);
    }
    int Unlink(const char* p) override {
        if (dieAtUnlink) ::_exit(0);
        return Real().Unlink(p);
    }
    void Report(const std::string& message) override { reports.push_back(message); }

    bool dieAtUnlink = false;
    int syncs = 0;
    std::vector<std::string> reports;
};

class JournalRulesTest : public JournalTableTest {
protected:
    JournalRulesTest() : JournalTableTest(kSlot, kData) {}
    // A whole journal of table name holding 'X' as slot 2's old bytes.
    static std::string JournalOf(const std::string& name) {
        const std::vector<std::uint8_t> bytes =
            EncodeJournal(name, kSlot, kData, {JournalSlot{kSlot, std::vector<std::uint8_t>(kData, 'X')}});
        return std::string(bytes.begin(), bytes.end());
    }
    // Writes slots 1..n with c as one batch.
    static void WriteBatch(RecordFile& file, int n, char c) {
        RecordFile::Batch batch(file);
        for (int i = 1; i <= n; ++i) file.Write(i, Raw(Bytes(c)));
        batch.Commit();
    }
};

// Each row: a journal put beside the table; whether the open applies it.
TEST_F(JournalRulesTest, AJournalIsAppliedOnlyWhenItsOwnerCouldHaveWrittenTheTable) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to own files as another account";
    struct Row {
        const char* what;
        mode_t folderMode;
        mode_t tableMode;
        gid_t tableGroup;
        uid_t journalOwner;
        gid_t journalGroup;
        mode_t journalMode;
        std::string name;  // the table the journal names
        bool applied;
        bool hardLink = false;  // a second name of the journal stands in the folder
    };
    const Row rows[] = {
        {"the table's owner", 0700, 0600, 0, 0, 0, 0600, "t.sec", true},
        {"another table's journal", 0700, 0600, 0, 0, 0, 0600, "websites.sec", false},
        {"a group member, group-writable table", 02770, 0660, kNobody, kNobody, kNobody, 0660, "t.sec", true},
        {"a group member, table 0600", 02770, 0600, kNobody, kNobody, kNobody, 0660, "t.sec", false},
        {"a group member, journal wider than the table", 02770, 0660, kNobody, kNobody, kNobody, 0666, "t.sec", false},
        {"a group member, journal of another group", 02770, 0660, kNobody, kNobody, 0, 0660, "t.sec", false},
        {"a group-writable table, folder not group-shared", 0770, 0660, kNobody, kNobody, kNobody, 0660, "t.sec", false},
        {"another account in a folder everyone may write", 01777, 0600, 0, kNobody, kNobody, 0600, "t.sec", false},
        // The owner's own file, made by a group member into a journal (a hard link of a file
        // the member may write, or one renamed): more than one name, or a mode the table's
        // writers do not bound.
        {"a hard link of the owner's file", 02770, 0600, 0, 0, 0, 0600, "t.sec", false, true},
        {"a group-writable file of the owner, table 0600", 02770, 0600, 0, 0, kNobody, 0660, "t.sec", false},
        {"the owner's file readable by all, table 0600", 0700, 0600, 0, 0, 0, 0644, "t.sec", false},
        {"the owner's file of another group", 02770, 0660, kNobody, 0, 0, 0660, "t.sec", false},
    };
    for (const Row& r : rows) {
        LetteredSlots(3);
        ASSERT_EQ(::chmod(folder_.c_str(), r.folderMode), 0);
        ASSERT_EQ(::chown(folder_.c_str(), 0, r.tableGroup), 0);
        ASSERT_EQ(::chown(Table().c_str(), 0, r.tableGroup), 0);
        ASSERT_EQ(::chmod(Table().c_str(), r.tableMode), 0);
        WriteFile(Journal(), JournalOf(r.name));
        ASSERT_EQ(::chown(Journal().c_str(), r.journalOwner, r.journalGroup), 0);
        ASSERT_EQ(::chmod(Journal().c_str(), r.journalMode), 0);
        if (r.hardLink) ASSERT_EQ(::link(Journal().c_str(), Path("websites.sec").c_str()), 0);
        WatchingIo io;
        {
            RecordIoScope scope(io);
            RecordFile file(kSlot, kData);
            ASSERT_NO_THROW(file.Open(Table())) << r.what;
        }
        EXPECT_EQ(OnDisk(2), r.applied ? Bytes('X') : Bytes('b')) << r.what;
        // Applied or dropped (another table's) it goes; one nobody allowed stays, reported once.
        const bool foreign = !r.applied && r.name == "t.sec";
        EXPECT_EQ(JournalStands(), foreign) << r.what;
        EXPECT_EQ(io.reports.size(), foreign ? 1u : 0u) << r.what;
        if (foreign) EXPECT_NE(io.reports[0].find(Journal()), std::string::npos) << io.reports[0];
        if (foreign)
            EXPECT_NE(io.reports[0].find(r.journalOwner == kNobody ? "nobody" : "root"), std::string::npos)
                << io.reports[0];
        std::filesystem::remove(Journal());
        std::filesystem::remove(Path("websites.sec"));
    }
}

// One planted by another account in a 1777 folder: reads go on, reported once per open, and
// a write needing a journal goes on under a journal name of its own, leaving the planted file.
TEST_F(JournalRulesTest, AForeignFileAtTheJournalsNameStopsNeitherReadsNorWrites) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to own files as another account";
    LetteredSlots(3);
    ASSERT_EQ(::chmod(folder_.c_str(), 01777), 0);
    WriteFile(Journal(), "x");
    ASSERT_EQ(::chown(Journal().c_str(), kNobody, kNobody), 0);
    WatchingIo io;
    RecordIoScope scope(io);
    RecordFile file(kSlot, kData);
    ASSERT_NO_THROW(file.Open(Table()));
    std::string got(kData, '?');
    const std::string blank(kData, ' ');
    for (int i = 0; i < 3; ++i) {
        ScanScope scan(file);
        file.Read(2, reinterpret_cast<std::uint8_t*>(got.data()), Raw(blank));
    }
    EXPECT_EQ(got, Bytes('b'));
    ASSERT_EQ(io.reports.size(), 1u);
    EXPECT_NE(io.reports[0].find(Journal()), std::string::npos) << io.reports[0];
    EXPECT_NE(io.reports[0].find("nobody"), std::string::npos) << io.reports[0];
    {
        RecordFile::AppendLock lock(file);
        file.Write(2, Raw(Bytes('z')));
    }
    EXPECT_EQ(OnDisk(2), Bytes('z'));
    WriteBatch(file, 3, 'y');
    EXPECT_EQ(OnDisk(2), Bytes('y'));
    EXPECT_EQ(ReadFile(Journal()), "x");
    EXPECT_EQ(io.reports.size(), 1u);
}

// Not a journal at all: a FIFO or folder at the journal's name is no journal; the table is
// read and written as it stands.
TEST_F(JournalRulesTest, AFifoOrFolderAtTheJournalsNameIsNoJournal) {
    for (const char* kind : {"fifo", "folder"}) {
        LetteredSlots(2);
        if (std::string(kind) == "fifo") ASSERT_EQ(::mkfifo(Journal().c_str(), 0600), 0);
        else std::filesystem::create_directory(Journal());
        WatchingIo io;
        RecordIoScope scope(io);
        RecordFile file(kSlot, kData);
        ASSERT_NO_THROW(file.Open(Table())) << kind;
        WriteBatch(file, 2, 'q');
        EXPECT_EQ(OnDisk(2), Bytes('q')) << kind;
        EXPECT_EQ(io.reports.size(), 1u) << kind;
        std::filesystem::remove(Journal());
    }
}

TEST_F(JournalRulesTest, AJournalThatCannotBePutBackHereSaysWhy) {
    LetteredSlots(3);
    WriteFile(Journal(), JournalOf("t.sec"));
    FaultyRecordIo io;
    io.RefuseLocks(ENOLCK);
    {
        RecordIoScope scope(io);
        RecordFile file(kSlot, kData);
        try {
            file.Open(Table());
            ADD_FAILURE();
        } catch (const RaisedError& e) {
            EXPECT_NE(e.Description().find(Journal() + " cannot be put back"), std::string::npos) << e.Description();
            EXPECT_NE(e.Description().find("No locks available"), std::string::npos) << e.Description();
        }
    }
    EXPECT_TRUE(JournalStands());
}

// Many slots, one journal: flushes do not grow with the slots, and every slot lands.
TEST_F(JournalRulesTest, ABatchFlushesTwiceHoweverManySlotsItWrites) {
    for (int n : {10, 1000}) {
        LetteredSlots(n);
        WatchingIo io;
        RecordIoScope scope(io);
        RecordFile file(kSlot, kData);
        file.Open(Table());
        WriteBatch(file, n, 'z');
        EXPECT_EQ(io.syncs, 2) << n;
        for (int i : {1, n}) EXPECT_EQ(OnDisk(i), Bytes('z')) << n;
        EXPECT_FALSE(JournalStands());
    }
}

// Killed after the journal is flushed and the slots written, before the journal goes: the
// next open puts every slot back.
TEST_F(JournalRulesTest, ABatchKilledBeforeItsJournalGoesIsAllOldAfterTheNextOpen) {
    LetteredSlots(5);
    const std::string before = ReadFile(Table());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        WatchingIo io;
        io.dieAtUnlink = true;
        RecordIoScope scope(io);
        RecordFile file(kSlot, kData);
        file.Open(Table());
        WriteBatch(file, 5, 'z');
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(JournalStands());
    RecordFile file(kSlot, kData);
    file.Open(Table());
    EXPECT_EQ(ReadFile(Table()), before);
    EXPECT_FALSE(JournalStands());
}

// A full disk in the middle of the batch's slots (its neighbouring slots go in one write, cut
// short there) or right after them: reported, and all old at once or, when the undo failed
// too, after the next open.
TEST_F(JournalRulesTest, ABatchCutByAFullDiskInItsMiddleIsAllOld) {
    for (int nth : {1, 2}) {
        LetteredSlots(5);
        const std::string before = ReadFile(Table());
        FaultyRecordIo io;
        if (nth == 1) io.CutTableWrite(1, ENOSPC);
        else io.BreakAfterTableWrite(1, ENOSPC);
        {
            RecordIoScope scope(io);
            RecordFile file(kSlot, kData);
            file.Open(Table());
            EXPECT_THROW(WriteBatch(file, 5, 'z'), RaisedError) << nth;
        }
        RecordFile file(kSlot, kData);
        file.Open(Table());
        EXPECT_EQ(ReadFile(Table()), before) << nth;
        EXPECT_FALSE(JournalStands()) << nth;
    }
}

// A handle opened before a write was cut: its next scan puts the slot back first.
TEST_F(JournalRulesTest, AScanThroughAHandleOpenedBeforeTheCutPutsTheJournalBackFirst) {
    LetteredSlots(3);
    RecordFile early(kSlot, kData);
    early.Open(Table());
    {
        FaultyRecordIo io;
        io.CutTableWrite(1, EIO);
        RecordIoScope scope(io);
        RecordFile file(kSlot, kData);
        file.Open(Table());
        RecordFile::AppendLock lock(file);
        EXPECT_THROW(file.Write(2, Raw(Bytes('z'))), RaisedError);
    }
    ASSERT_TRUE(JournalStands());
    std::string seen;
    {
        ScanScope scan(early);
        std::string slot(kSlot, '\0');
        early.ReadSlots(2, 1, reinterpret_cast<std::uint8_t*>(slot.data()));
        seen = slot.substr(0, kData);
    }
    EXPECT_EQ(seen, Bytes('b'));
    EXPECT_FALSE(JournalStands());
}

// A batch holds the lock of its file: another handle of that file on the same thread
// raises (or reads the file as it stands) rather than waiting for itself for ever.
TEST_F(JournalRulesTest, AnotherHandleOfABatchsFileOnItsThreadNeverWaitsForItself) {
    LetteredSlots(2);
    RecordFile file(kSlot, kData);
    file.Open(Table());
    RecordFile::Batch batch(file);
    file.Write(1, Raw(Bytes('z')));
    RecordFile other(kSlot, kData);
    other.Open(Table());
    EXPECT_THROW(RecordFile::AppendLock lock(other), RaisedError);
    std::string slot(kSlot, '\0');
    {
        ScanScope scan(other);
        other.ReadSlots(1, 1, reinterpret_cast<std::uint8_t*>(slot.data()));
    }
    EXPECT_EQ(slot.substr(0, kData), Bytes('a'));  // the batch's write is not on the disk yet
    batch.Commit();
    EXPECT_EQ(OnDisk(1), Bytes('z'));
}

// A journal of the earlier one-slot form names no table: it is never applied again, only removed.
TEST_F(JournalRulesTest, AnEarlierBuildsOneSlotJournalIsNeverApplied) {
    LetteredSlots(3);
    std::string j = "CVJOURN1";
    auto le = [&](std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i) j += static_cast<char>(v >> (8 * i));
    };
    le(kSlot, 8);
    le(kSlot, 4);
    le(kData, 4);
    const std::string old = Bytes('X');
    auto fnv = [](const std::string& s) {
        std::uint32_t h = 2166136261u;
        for (unsigned char c : s) h = (h ^ c) * 16777619u;
        return h;
    };
    le(fnv(j.substr(8, 16)) ^ fnv(old), 4);
    le(0, 4);
    WriteFile(Journal(), j + old);
    RecordFile file(kSlot, kData);
    file.Open(Table());
    EXPECT_EQ(OnDisk(2), Bytes('b'));
    EXPECT_FALSE(JournalStands());
}


// A marker left at the journal's name by a change cut off after its commit: this account's
// goes at the next open; one another account of a shared group left in a sticky folder stays
// and stops no read or write.
TEST_F(JournalRulesTest, AMarkerLeftBehindStopsNothing) {
    LetteredSlots(2);
    WriteFile(Journal(), "");
    {
        RecordFile file(kSlot, kData);
        file.Open(Table());
    }
    EXPECT_FALSE(JournalStands());
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to own files as another account";
    ASSERT_EQ(::chmod(folder_.c_str(), 03770), 0);
    ASSERT_EQ(::chown(folder_.c_str(), 0, kNobody), 0);
    ASSERT_EQ(::chown(Table().c_str(), 0, kNobody), 0);
    ASSERT_EQ(::chmod(Table().c_str(), 0660), 0);
    WriteFile(Journal(), "");
    ASSERT_EQ(::chown(Journal().c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(Journal().c_str(), 0660), 0);
    WatchingIo io;
    RecordIoScope scope(io);
    RecordFile file(kSlot, kData);
    ASSERT_NO_THROW(file.Open(Table()));
    for (int i = 0; i < 3; ++i) EXPECT_NO_THROW(WriteBatch(file, 2, static_cast<char>('p' + i)));
    EXPECT_EQ(OnDisk(2), Bytes('r'));
    std::string got(kData, '?');
    const std::string blank(kData, ' ');
    {
        ScanScope scan(file);
        file.Read(1, reinterpret_cast<std::uint8_t*>(got.data()), Raw(blank));
    }
    EXPECT_EQ(got, Bytes('r'));
}

}  // namespace
}  // namespace corvane
