// A small change written in place: only under the InPlace scope (the login's booking), only
// when its changed bytes lie in one aligned 512-byte block, with one flush and no journal;
// and what a failed write or flush leaves there.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/raised_error.h"
#include "recordstore/record_file.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"
#include "support/faulty_record_io.h"
#include "support/pass_through_record_io.h"

namespace corvane {
namespace {

using test_support::FaultyRecordIo;
using test_support::RecordIoScope;
using testing::JournalTableTest;
using testing::UserRecord;

// Slot 6 lies at 500..559: across the block boundary at 512.
constexpr std::uint32_t kSlot = 100;
constexpr std::uint32_t kData = 60;

const std::uint8_t* Raw(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

// Counts flushes, journals created and the bytes written to the table; refuses the nth
// flush once when asked.
class CountingIo final : public test_support::PassThroughRecordIo {
public:
    int Open(const char* p, int f, mode_t m) override {
        const bool journal = std::string(p).ends_with("-journal");
        if (journal && (f & O_CREAT)) ++journals;
        const int fd = Real().Open(p, f, m);
        if (fd >= 0 && journal) journalFds.push_back(fd);
        return fd;
    }
    int Close(int fd) override {
        std::erase(journalFds, fd);
        return Real().Close(fd);
    }
    ssize_t Pwrite(int fd, const void* b, size_t c, off_t o) override {
        if (std::find(journalFds.begin(), journalFds.end(), fd) == journalFds.end()) {
            tableBytes += c;
            tableWrites.emplace_back(o, c);
        }
        return Real().Pwrite(fd, b, c, o);
    }
    int Sync(int fd) override {
        if (++syncs == failSync) {
            errno = EIO;
            return -1;
        }
        return Real().Sync(fd);
    }
    void Report(const std::string&) override {}

    int syncs = 0;
    int failSync = 0;
    int journals = 0;
    std::size_t tableBytes = 0;
    std::vector<std::pair<off_t, std::size_t>> tableWrites;  // offset, bytes
    std::vector<int> journalFds;
};

class InPlaceWriteTest : public JournalTableTest {
protected:
    InPlaceWriteTest() : JournalTableTest(kSlot, kData) {}
    // Slot n's bytes with the given bytes of its data part set to 'Z'.
    std::string Changed(int n, const std::vector<std::size_t>& at) const {
        std::string bytes = OnDisk(n);
        for (std::size_t i : at) bytes[i] = 'Z';
        return bytes;
    }
    // Writes bytes over slot n under the append lock, in place when allowed (wherever the
    // bytes lie with anySpan).
    static void WriteSlot(RecordFile& file, int n, const std::string& bytes, bool inPlace, bool anySpan = false) {
        RecordFile::AppendLock lock(file);
        std::optional<RecordFile::InPlace> small;
        if (inPlace)
            small.emplace(file, anySpan ? RecordFile::Placement::kInPlace : RecordFile::Placement::kInOneBlock);
        file.Write(n, Raw(bytes));
    }
    // Slot 2's bytes 10 to 13 written in place through io: the error raised (none: reported
    // done) and whether the handle stayed open.
    struct Outcome {
        std::optional<RaisedError> error;
        bool open = false;
    };
    Outcome SmallWriteThrough(RecordIo& io) const {
        RecordIoScope scope(io);
        RecordFile file(kSlot, kData);
        file.Open(Table());
        try {
            WriteSlot(file, 2, Changed(2, {10, 11, 12, 13}), true);
        } catch (const RaisedError& e) {
            return {e, file.IsOpen()};
        }
        return {std::nullopt, file.IsOpen()};
    }
};

TEST_F(InPlaceWriteTest, OnlyAChangeWithinOneBlockUnderTheScopeSkipsTheJournal) {
    struct Row {
        const char* what;
        int slot;
        std::vector<std::size_t> changed;  // bytes of the data part
        bool inPlace;                      // the scope is taken
        std::size_t bytesWritten;          // 0: through the journal
        bool anySpan = false;              // the scope allows any span
    };
    std::vector<std::size_t> whole;
    for (std::size_t i = 0; i < kData; ++i) whole.push_back(i);
    const Row rows[] = {
        {"4 bytes inside a block", 2, {10, 11, 12, 13}, true, 4},
        {"the changed bytes only, not those between that stay", 2, {10, 13}, true, 4},
        {"a whole data part inside a block", 2, whole, true, kData},
        {"up to the block's last byte", 6, {0, 11}, true, 12},
        {"from the next block's first byte", 6, {12, 15}, true, 4},
        {"across the block boundary", 6, {11, 12}, true, 0},
        {"two bytes in two blocks", 6, {0, 20}, true, 0},
        {"inside a block, without the scope", 2, {10, 11, 12, 13}, false, 0},
        {"across the block boundary, any span", 6, {11, 12}, true, 2, true},
        {"two bytes in two blocks, any span", 6, {0, 20}, true, 21, true},
        {"a whole data part across the boundary, any span", 6, whole, true, kData, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        LetteredSlots(7);
        const std::string now = Changed(r.slot, r.changed);
        CountingIo io;
        {
            RecordIoScope scope(io);
            RecordFile file(kSlot, kData);
            file.Open(Table());
            WriteSlot(file, r.slot, now, r.inPlace, r.anySpan);
        }
        EXPECT_EQ(OnDisk(r.slot), now);
        EXPECT_FALSE(JournalStands());
        if (r.bytesWritten > 0) {
            EXPECT_EQ(io.syncs, 1);
            EXPECT_EQ(io.journals, 0);
            EXPECT_EQ(io.tableBytes, r.bytesWritten);
        } else {
            EXPECT_EQ(io.syncs, 2);
            EXPECT_EQ(io.journals, 1);
            EXPECT_EQ(io.tableBytes, kData);
        }
    }
}

// A batch's changes always go through its journal, whatever scope is taken.
TEST_F(InPlaceWriteTest, ABatchUnderTheScopeStillWritesItsJournal) {
    LetteredSlots(7);
    CountingIo io;
    RecordIoScope scope(io);
    RecordFile file(kSlot, kData);
    file.Open(Table());
    RecordFile::InPlace small(file);
    RecordFile::Batch batch(file);
    file.Write(2, Raw(Changed(2, {10})));
    batch.Commit();
    EXPECT_EQ(io.journals, 1);
    EXPECT_EQ(OnDisk(2), Changed(2, {10}));
}

// A disk failing under the small write: the old bytes back when they can be written, and
// otherwise an error that says the change may stand, the handle closed. Never a journal.
TEST_F(InPlaceWriteTest, AFailedSmallWriteIsPutBackOrSaysTheChangeMayStand) {
    struct Row {
        const char* what;
        std::function<void(FaultyRecordIo&)> arm;
        int number;
        bool mayStand;  // else the slot reads old and the handle stays open
    };
    const Row rows[] = {
        {"the write fails, the put-back too", [](FaultyRecordIo& io) { io.FailWrite(1, ENOSPC); }, 61, true},
        {"the write lands, its flush and all after refused",
         [](FaultyRecordIo& io) { io.BreakAfterTableWrite(1, ENOSPC); }, 61, true},
        {"the write cut short, all after refused", [](FaultyRecordIo& io) { io.CutTableWrite(1, EIO); }, 57, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        LetteredSlots(7);
        FaultyRecordIo io;
        r.arm(io);
        const Outcome out = SmallWriteThrough(io);
        ASSERT_TRUE(out.error) << "the write was reported done";
        EXPECT_EQ(out.error->Number(), r.number);
        EXPECT_NE(out.error->Description().find(Table()), std::string::npos) << out.error->Description();
        EXPECT_NE(out.error->Description().find("the change may stand"), std::string::npos)
            << out.error->Description();
        EXPECT_FALSE(out.open);
        EXPECT_FALSE(JournalStands());
        EXPECT_FALSE(io.Opened().contains(Journal()));
    }

    // A flush refused once: the old bytes go back, flushed, and the failure is plain.
    LetteredSlots(7);
    CountingIo io;
    io.failSync = 1;
    const Outcome out = SmallWriteThrough(io);
    ASSERT_TRUE(out.error) << "the write was reported done";
    EXPECT_EQ(out.error->Number(), 57);
    EXPECT_EQ(out.error->Description().find("may stand"), std::string::npos) << out.error->Description();
    EXPECT_EQ(io.syncs, 2);
    EXPECT_EQ(io.journals, 0);
    EXPECT_TRUE(out.open);
    EXPECT_EQ(OnDisk(2), std::string(kData, 'b'));
}

// A journal left by a failed journalled write through another handle is put back under
// the small write's lock before it writes, so it lands on the old record.
TEST_F(InPlaceWriteTest, AJournalStandingIsPutBackFirst) {
    LetteredSlots(7);
    CountingIo io;
    RecordFile file(kSlot, kData);
    {
        RecordIoScope scope(io);  // the handle keeps it
        file.Open(Table());
    }
    {
        FaultyRecordIo faulty;
        faulty.BreakAfterTableWrite(1, EIO);
        RecordIoScope scope(faulty);
        RecordFile failing(kSlot, kData);
        failing.Open(Table());
        EXPECT_THROW(WriteSlot(failing, 2, std::string(kData, 'x'), false), RaisedError);
    }
    ASSERT_TRUE(JournalStands());
    const std::string booked = std::string(10, 'b') + "Z" + std::string(kData - 11, 'b');
    WriteSlot(file, 2, booked, true);
    EXPECT_EQ(OnDisk(2), booked);
    EXPECT_EQ(io.journals, 0);
    EXPECT_EQ(io.syncs, 2);  // the put-back's, then the write's
    EXPECT_FALSE(JournalStands());
}

// A file nobody allowed could have written at the journal's name stops no write: a small one
// needs no journal, a larger one writes its journal under a name of its own.
TEST_F(InPlaceWriteTest, AForeignJournalStopsNoSmallWrite) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to own files as another account";
    LetteredSlots(7);
    ASSERT_EQ(::chmod(folder_.c_str(), 01777), 0);
    WriteFile(Journal(), "x");
    ASSERT_EQ(::chown(Journal().c_str(), 65534, 65534), 0);
    CountingIo io;
    RecordIoScope scope(io);
    RecordFile file(kSlot, kData);
    file.Open(Table());
    WriteSlot(file, 2, Changed(2, {10}), true);
    EXPECT_EQ(OnDisk(2), std::string(10, 'b') + "Z" + std::string(kData - 11, 'b'));
    WriteSlot(file, 6, Changed(6, {11, 12}), true);  // through a journal of its own
    EXPECT_EQ(OnDisk(6), Changed(6, {11, 12}));
    EXPECT_EQ(ReadFile(Journal()), "x");
}

// The login's booking on users.sec: one flush and no journal; any other change of the
// account keeps the journal, and a booking whose failure cannot be undone says so.
TEST_F(InPlaceWriteTest, TheBookingWritesInPlaceWithOneFlush) {
    testing::WriteUsers(UsersPath(), {UserRecord("alice", "Alice"), UserRecord("ann", "Ann")});
    for (const char* login : {"alice", "ann"}) {
        SCOPED_TRACE(login);
        CountingIo io;
        {
            RecordIoScope scope(io);
            User fresh;  // opened under the counting calls
            ASSERT_TRUE(fresh.Load(login));
            ASSERT_TRUE(fresh.BookFields([](User& u) {
                u.SetFailedLogins(u.FailedLogins() + 1);
                u.SetLocked(kFlagTrue);
            }));
        }
        EXPECT_EQ(io.syncs, 1);
        EXPECT_EQ(io.journals, 0);
        EXPECT_LE(io.tableBytes, 10u);  // FailedLogins to Locked
        CountingIo other;
        {
            RecordIoScope scope(other);
            User fresh;
            ASSERT_TRUE(fresh.Load(login));
            ASSERT_TRUE(fresh.UpdateFields([](User& u) { u.SetFailedLogins(u.FailedLogins() + 1); }));
        }
        EXPECT_EQ(other.syncs, 2);
        EXPECT_EQ(other.journals, 1);
        User after;
        ASSERT_TRUE(after.Load(login));
        EXPECT_EQ(after.FailedLogins(), 2);
        EXPECT_TRUE(after.Locked() != 0);
    }

    FaultyRecordIo io;
    io.BreakAfterTableWrite(1, ENOSPC);
    {
        RecordIoScope scope(io);
        User fresh;
        ASSERT_TRUE(fresh.Load("ann"));
        try {
            fresh.BookFields([](User& u) { u.SetFailedLogins(7); });
            ADD_FAILURE() << "the booking was reported done";
        } catch (const RaisedError& e) {
            EXPECT_EQ(e.Number(), vbObjectError + 4);
            EXPECT_NE(e.Description().find("the change may stand"), std::string::npos) << e.Description();
        }
    }
    EXPECT_FALSE(std::filesystem::exists(UsersPath() + "-journal"));
    User after;
    ASSERT_TRUE(after.Load("ann"));
    EXPECT_EQ(after.Name(), "Ann");
    EXPECT_EQ(after.FailedLogins(), 7);  // it stood, as the error said it might
}

// A booking that locks writes Locked alone first (users.sec offsets 523 and 524) and the
// count after it (515 to 518), each with its own flush and no journal; with the lock already
// standing only the count is written.
TEST_F(InPlaceWriteTest, ABookingThatLocksWritesLockedFirst) {
    testing::WriteUsers(UsersPath(), {UserRecord("alice", "Alice")});
    using Writes = std::vector<std::pair<off_t, std::size_t>>;
    const Writes first{{523, 2}, {515, 4}};
    const Writes again{{515, 4}};
    for (const Writes* expected : {&first, &again}) {
        CountingIo io;
        {
            RecordIoScope scope(io);
            User fresh;
            ASSERT_TRUE(fresh.Load("alice"));
            ASSERT_TRUE(fresh.BookLocking([](User& u) {
                u.SetFailedLogins(u.FailedLogins() == 0 ? 0x01020304 : 0);
                u.SetLocked(kFlagTrue);
            }));
        }
        EXPECT_EQ(io.tableWrites, *expected);
        EXPECT_EQ(io.syncs, static_cast<int>(expected->size()));
        EXPECT_EQ(io.journals, 0);
    }
    User after;
    ASSERT_TRUE(after.Load("alice"));
    EXPECT_EQ(after.Locked(), kFlagTrue);
    EXPECT_EQ(after.FailedLogins(), 0);
}

}  // namespace
}  // namespace corvane
