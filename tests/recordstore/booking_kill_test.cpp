// A login's booking (the failed-login count, 4 bytes of the account) killed at random
// moments of its write, journalled or in place: the count reads old or new afterwards, never
// a mixture, through a fresh open and through the one-pass scan of a handle opened before
// the kill.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "recordstore/slot_scan.h"
#include "recordstore/test_support.h"
#include "recordstore/user.h"

namespace corvane {
namespace {

using testing::DataFolderTest;
using testing::UserRecord;

constexpr std::int32_t kOld = 0x11111111;
constexpr std::int32_t kNew = 0x22222222;

class BookingKillTest : public DataFolderTest {};

TEST_F(BookingKillTest, AKilledBookingLeavesTheCountOldOrNewNeverMixed) {
    testing::WriteUsers(UsersPath(), {UserRecord("alice", "Alice"), UserRecord("ann", "Ann")});
    {
        User ann;
        ASSERT_TRUE(ann.Load("ann"));
        ASSERT_TRUE(ann.UpdateFields([](User& u) { u.SetFailedLogins(kOld); }));
    }
    std::mt19937 random(48);
    int journals = 0;
    // Through the journal (as every other change of an account writes) and in place (as the
    // login books it).
    for (const bool inPlace : {false, true})
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE(inPlace ? "in place" : "journalled");
        RecordFile early(User::Table().slotLength, User::Table().dataLength);
        early.Open(UsersPath());
        int booked[2];
        ASSERT_EQ(::pipe(booked), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Books for ever, flipping the count between the two values; says so after the
            // first booking.
            ::close(booked[0]);
            User ann;
            for (bool first = true;; first = false) {
                if (!ann.Load("ann")) ::_exit(2);
                const auto flip = [](User& u) { u.SetFailedLogins(u.FailedLogins() == kOld ? kNew : kOld); };
                if (inPlace) ann.BookFields(flip);
                else ann.UpdateFields(flip);
                if (first && ::write(booked[1], "b", 1) != 1) ::_exit(3);
            }
        }
        ::close(booked[1]);
        char b = 0;
        ASSERT_EQ(::read(booked[0], &b, 1), 1);
        ::close(booked[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(200 + random() % 3000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself: " << status;
        if (std::filesystem::exists(UsersPath() + "-journal")) ++journals;
        std::int32_t scanned = 0;
        ScanValidSlots(early, User::Table(), [&](const SlotView& slot) {
            if (slot.Text(User::kLogin) == "ann") scanned = slot.Number(User::kFailedLogins);
            return true;
        });
        User ann;
        ASSERT_TRUE(ann.Load("ann")) << round;
        EXPECT_TRUE(ann.FailedLogins() == kOld || ann.FailedLogins() == kNew) << std::hex << ann.FailedLogins();
        EXPECT_EQ(scanned, ann.FailedLogins()) << round;
        EXPECT_EQ(ann.Name(), "Ann");
    }
    RecordProperty("kills_with_a_journal_standing", journals);
}

}  // namespace
}  // namespace corvane
