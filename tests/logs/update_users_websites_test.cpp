// Renaming a website in every user's assignments.
#include <gtest/gtest.h>

#include "catalogue/user_website.h"
#include "logs/update_users_websites.h"
#include "logs_test_support.h"
#include "support/append_in_flight.h"
#include "support/faulty_record_io.h"
#include "support/pass_through_record_io.h"

namespace corvane {
namespace {

using namespace testing;

constexpr std::size_t kLinkSlot = 554, kLinkData = 279;

bool Rename(const std::string& from, const std::string& to) { return UpdateUsersWebsites(from, to); }

// userwebsites.sec: UserLogin 0/20, URL 20/255, Active 275, Deleted 277.
RawRecord Link(std::string_view login, std::string_view url, std::int16_t active = -1, std::int16_t deleted = 0) {
    RawRecord r(kLinkData);
    r.Text(0, 20, login).Text(20, 255, url).Int16(275, active).Int16(277, deleted);
    return r;
}

class RenameWebsite : public LogsTest {
protected:
    std::string File() const { return ReadFile(Path("userwebsites.sec")); }
};

TEST_F(RenameWebsite, MatchesTrimmedAddressesWithLetterCaseCounting) {
    const std::string longURL = "http://new.example.org/" + std::string(300, 'p');
    WriteFile(Path("userwebsites.sec"),
              Slots(kLinkSlot, {Link("ann", "http://old.example.org/"),
                                Link("bob", "  http://old.example.org/  ", 0),  // spaces: changed
                                Link("cat", "HTTP://OLD.EXAMPLE.ORG/"),        // letter case: kept
                                Link("dan", "http://old.example.org/", -1, -1), // deleted: kept
                                Link("eve", "http://other.example.org/")}));
    const std::string before = File();
    EXPECT_TRUE(Rename(" http://old.example.org/ ", longURL));

    const std::string cut = longURL.substr(0, 255);
    const std::string expected =
        Slots(kLinkSlot, {Link("ann", cut), Link("bob", cut, 0)}) + before.substr(2 * kLinkSlot);
    EXPECT_EQ(File(), expected);
    EXPECT_TRUE(errors.empty());
}

TEST_F(RenameWebsite, ReportsFalseWhenNothingChanged) {
    EXPECT_FALSE(Rename("http://a/", "http://b/"));  // no file: created empty, nothing written
    EXPECT_EQ(File(), "");
    WriteFile(Path("userwebsites.sec"), Slots(kLinkSlot, {Link("ann", "http://A/"), Link("bob", "http://c/")}));
    const std::string before = File();
    EXPECT_FALSE(Rename("http://a/", "http://b/"));
    EXPECT_EQ(File(), before);
}

TEST_F(RenameWebsite, ANewLetterCaseRewritesEveryMatch) {
    WriteFile(Path("userwebsites.sec"), Slots(kLinkSlot, {Link("ann", "http://a/"), Link("bob", "http://a/")}));
    EXPECT_TRUE(Rename("http://a/", "HTTP://A/"));
    EXPECT_EQ(File(), Slots(kLinkSlot, {Link("ann", "HTTP://A/"), Link("bob", "HTTP://A/")}));
}

// The rename reads the table once (one pass) and writes only the assignments it changes, each
// run of neighbouring ones in one write, with one flush of its journal and one of the table.
TEST_F(RenameWebsite, ReadsTheTableOnceAndWritesOnlyTheChangedAssignments) {
    struct CountingIo final : test_support::PassThroughRecordIo {
        int Open(const char* path, int flags, mode_t mode) override {
            const int fd = Real().Open(path, flags, mode);
            if (std::string(path).ends_with("userwebsites.sec")) table = fd;
            return fd;
        }
        ssize_t Pread(int fd, void* buffer, size_t count, off_t offset) override {
            if (fd == table) ++reads;
            return Real().Pread(fd, buffer, count, offset);
        }
        ssize_t Pwrite(int fd, const void* buffer, size_t count, off_t offset) override {
            if (fd == table) written += count, ++writes;
            return Real().Pwrite(fd, buffer, count, offset);
        }
        int Sync(int fd) override {
            ++syncs;
            return Real().Sync(fd);
        }
        int table = -1;
        int reads = 0;
        int writes = 0;
        int syncs = 0;
        std::size_t written = 0;
    };
    for (const bool every : {false, true}) {
        SCOPED_TRACE(every ? "every assignment" : "every other one");
        std::string links;
        for (int i = 0; i < 20; ++i)
            links += Link("user" + std::to_string(i), every || i % 2 == 0 ? "http://a/" : "http://c/").Slot(kLinkSlot);
        WriteFile(Path("userwebsites.sec"), links);
        CountingIo io;
        {
            test_support::RecordIoScope scope(io);
            EXPECT_TRUE(Rename("http://a/", "http://b/"));
        }
        EXPECT_EQ(io.reads, 1);
        EXPECT_EQ(io.syncs, 2);
        const std::size_t data = UserWebsite::Table().dataLength;
        if (every) {
            EXPECT_EQ(io.writes, 1);
            EXPECT_EQ(io.written, 19 * kLinkSlot + data);
        } else {
            EXPECT_EQ(io.writes, 10);
            EXPECT_EQ(io.written, 10 * data);
        }
        UserWebsite fresh;
        EXPECT_TRUE(fresh.Exists("http://b/", "user0"));
        EXPECT_EQ(fresh.Exists("http://b/", "user1"), every);
        EXPECT_TRUE(errors.empty());
    }
}

// An assignment another workstation is appending is renamed too once its append ends; one
// cut short at the end of the file is left as it lies, as before.
TEST_F(RenameWebsite, AnAssignmentAppendedMeanwhileIsRenamedWholeAndATornOneLeftAlone) {
    WriteFile(Path("userwebsites.sec"), Slots(kLinkSlot, {Link("ann", "http://a/")}));
    const auto seen = ReadWhileAppending(UserWebsite::Table(), Path("userwebsites.sec"), Link("bob", "http://a/").Data(),
                                         [] { return Rename("http://a/", "http://b/"); });
    EXPECT_FALSE(seen.endedBeforeTheAppend);
    EXPECT_TRUE(seen.result);
    EXPECT_EQ(File(), Slots(kLinkSlot, {Link("ann", "http://b/")}) + Link("bob", "http://b/").Data());

    const std::string torn = Slots(kLinkSlot, {Link("ann", "http://a/")}) + Link("cat", "http://a/").Data().substr(0, 100);
    WriteFile(Path("userwebsites.sec"), torn);
    EXPECT_TRUE(Rename("http://a/", "http://c/"));
    EXPECT_EQ(File(), Slots(kLinkSlot, {Link("ann", "http://c/")}) + torn.substr(kLinkSlot));
    EXPECT_TRUE(errors.empty());
}

// The rename is one change of the table: a disk filling up in the middle of its slots leaves
// every assignment as it was (put back at once, or by the next open), and says so.
TEST_F(RenameWebsite, ADiskFullInTheMiddleOfTheRenameLeavesEveryAssignmentOld) {
    std::string links;
    for (int i = 0; i < 20; ++i) links += Link("user" + std::to_string(i), "http://a/").Slot(kLinkSlot);
    WriteFile(Path("userwebsites.sec"), links);
    test_support::FaultyRecordIo io;
    io.CutTableWrite(1, ENOSPC);  // the neighbouring assignments go in one write
    {
        test_support::RecordIoScope scope(io);
        EXPECT_FALSE(Rename("http://a/", "http://b/"));
    }
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].place, "Functions.UpdateUsersWebsites");
    UserWebsite fresh;  // another workstation: the journal goes back first
    EXPECT_FALSE(fresh.Exists("http://b/", "user0"));
    EXPECT_EQ(File(), links);
    EXPECT_FALSE(std::filesystem::exists(Path("userwebsites.sec-journal")));
}

TEST_F(RenameWebsite, AMissingFolderIsReportedNotRaised) {
    gDataPath = Path("missing");
    EXPECT_FALSE(Rename("http://a/", "http://b/"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, vbObjectError + 11);
    EXPECT_EQ(errors[0].place, "Functions.UpdateUsersWebsites");
}

}  // namespace
}  // namespace corvane
