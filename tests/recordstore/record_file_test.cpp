// The file layer under the engine.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "recordstore/record_file.h"
#include "recordstore/user.h"
#include "recordstore/test_support.h"
#include "support/child_report.h"

namespace corvane {
namespace {

using testing::DataFolderTest;
using testing::UserRecord;

// Runs body in a child process as an ordinary user (nobody when the tests run as root, whom no
// file mode stops); the text it returns, "" when all went as expected.
std::string AsOrdinaryUser(const std::function<std::string()>& body) {
    return test_support::ReportFromChild([&] {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            return std::string("cannot leave root");
        return body();
    });
}

// "" when call raises number, else what it did.
std::string Raises(const char* what, std::int32_t number, const std::function<void()>& call) {
    try {
        call();
        return std::string(what) + ": nothing raised; ";
    } catch (const RaisedError& e) {
        if (e.Number() == number && e.Description().find("Permission denied") != std::string::npos) return {};
        return std::string(what) + ": " + std::to_string(e.Number()) + " " + e.Description() + "; ";
    }
}

class RecordFileTest : public DataFolderTest {};

std::size_t OpenDescriptors() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

TEST(SlotCount, RoundsToNearestWithHalvesToEven) {
    struct Case { std::int64_t length; std::uint32_t slot; std::int32_t count; };
    const Case cases[] = {
        {0, 4176, 0},     {2087, 4176, 0},  {2088, 4176, 0},  {2089, 4176, 1},  {2160, 4176, 1},
        {4176, 4176, 1},  {6264, 4176, 2},  {8352, 4176, 2},  {10440, 4176, 2}, {14616, 4176, 4},
        {364 * 5, 364, 5}, {364 * 4 + 194, 364, 5}, {182, 364, 0}, {546, 364, 2},  {-1, 364, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecordFile::SlotCount(c.length, c.slot), c.count) << c.length << "/" << c.slot;
}

TEST_F(RecordFileTest, ReadsPastTheEndGiveTheBlankRecordAndWritesCoverTheDataOnly) {
    RecordFile file(8, 4);
    file.Open(Path("t.sec"));
    const std::uint8_t blank[4] = {' ', ' ', 0, 0};
    const std::uint8_t rec[4] = {'a', 'b', 1, 2};
    std::uint8_t buf[4] = {9, 9, 9, 9};
    file.Read(3, buf, blank);
    EXPECT_EQ(std::string(buf, buf + 4), std::string("  \0\0", 4));
    EXPECT_EQ(file.Loc(), 3);
    file.Write(2, rec);
    EXPECT_EQ(ReadFile(Path("t.sec")), std::string("\0\0\0\0\0\0\0\0ab\x01\x02", 12));
    EXPECT_EQ(file.Loc(), 2);

    // Inside a scan the block read ahead stays coherent with writes.
    file.BeginScan();
    file.Read(1, buf, blank);
    const std::uint8_t other[4] = {'x', 'y', 3, 4};
    file.Write(1, other);
    file.Read(1, buf, blank);
    EXPECT_EQ(std::string(buf, buf + 4), "xy\x03\x04");
    file.Write(3, rec);
    file.Read(3, buf, blank);
    EXPECT_EQ(std::string(buf, buf + 4), "ab\x01\x02");
    file.EndScan();
}

TEST_F(RecordFileTest, ReadSlotsCopiesWholeSlotsShortAtTheEndAndKeepsThePosition) {
    RecordFile file(4, 2);
    file.Open(Path("t.sec"));
    for (std::int32_t n = 1; n <= 3; ++n) {
        const std::uint8_t rec[2] = {static_cast<std::uint8_t>('a' + n), static_cast<std::uint8_t>('0' + n)};
        file.Write(n, rec);
    }
    // The last slot holds its data part only: 10 bytes in all.
    std::string buffer(16, '#');
    auto* bytes = reinterpret_cast<std::uint8_t*>(buffer.data());
    EXPECT_EQ(file.ReadSlots(2, 4, bytes), 6u);
    EXPECT_EQ(buffer, std::string("c2\0\0d3##########", 16));
    EXPECT_EQ(file.Loc(), 3);
    EXPECT_EQ(file.ReadSlots(1, 1, bytes), 4u);
    EXPECT_EQ(buffer.substr(0, 4), std::string("b1\0\0", 4));
    EXPECT_EQ(file.ReadSlots(4, 2, bytes), 0u);
    EXPECT_EQ(file.ReadSlots(1, 0, bytes), 0u);
    file.Close();
    EXPECT_THROW(file.ReadSlots(1, 1, bytes), RaisedError);
}

TEST_F(RecordFileTest, ReopeningClosesTheOldHandleAndClosingForgetsIt) {
    testing::WriteUsers(UsersPath(), {UserRecord("ann")});
    const std::size_t before = OpenDescriptors();
    User user;
    for (int i = 0; i < 5; ++i) user.OpenTable();
    EXPECT_EQ(OpenDescriptors(), before + 1);
    user.Disconnect();
    EXPECT_EQ(OpenDescriptors(), before);
    EXPECT_THROW(user.IsEOF(), RaisedError);  // closed, not a stale number
    EXPECT_TRUE(user.Load("ann"));           // the next operation reopens
}

TEST_F(RecordFileTest, OpensAnExistingFileWhoseNameDiffersInCase) {
    testing::WriteUsers(Path("USERS.SEC"), {UserRecord("admin")});
    User user;
    EXPECT_TRUE(user.Load("admin"));
    EXPECT_FALSE(std::filesystem::exists(UsersPath()));
    EXPECT_EQ(user.UserCount(), 1);

    // The exact name wins when both exist.
    testing::WriteUsers(UsersPath(), {UserRecord("other")});
    User exact;
    EXPECT_FALSE(exact.Load("admin"));
    EXPECT_TRUE(exact.Load("other"));
}

TEST_F(RecordFileTest, AFolderWithTheNameInAnotherCaseIsNotTaken) {
    std::filesystem::create_directory(Path("Users.Sec"));
    User user;
    EXPECT_EQ(user.RecordCount(), 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(UsersPath()));
}

TEST_F(RecordFileTest, ATableClosedAfterUseReopensItsOwnFile) {
    testing::WriteUsers(Path("elsewhere.sec"), {UserRecord("ann")});
    for (const bool disconnect : {true, false}) {
        User user;
        user.OpenTable(Path("elsewhere.sec"));
        const auto close = [&] { disconnect ? user.Disconnect() : user.CloseTable(); };
        close();
        EXPECT_TRUE(user.Load("ann")) << disconnect;
        close();
        EXPECT_EQ(user.RecordCount(), disconnect ? 1 : 2);
        close();
        user.SetLogin(disconnect ? "bob" : "cat");
        user.AddNew();
        EXPECT_EQ(user.TablePathName(), Path("elsewhere.sec"));
        EXPECT_FALSE(std::filesystem::exists(UsersPath())) << "the default file is never made";
    }
    User check;
    check.OpenTable(Path("elsewhere.sec"));
    EXPECT_TRUE(check.Load("bob"));
    EXPECT_TRUE(check.Load("cat"));
}

TEST_F(RecordFileTest, AFileThatMayOnlyBeReadOpensForReadingAndRefusesWrites) {
    testing::WriteUsers(UsersPath(), {UserRecord("ann", "Ann")});
    const std::string before = ReadFile(UsersPath());
    ::chmod(folder_.c_str(), 0755);
    ::chmod(UsersPath().c_str(), 0444);
    const std::string report = AsOrdinaryUser([] {
        std::string r;
        User user;
        if (!user.Load("ann") || user.Name() != "Ann") r += "Load failed; ";
        if (user.RecordCount() != 1) r += "RecordCount wrong; ";
        user.SetName("Changed");
        r += Raises("SaveChanges", vbObjectError + 4, [&] { user.SaveChanges(); });
        r += Raises("LockRecord", kErrPermissionDenied, [&] { user.LockRecord("ann", "me"); });
        r += Raises("Delete", vbObjectError + 10, [&] { user.Delete(1); });
        user.SetLogin("bob");
        r += Raises("AddNew", vbObjectError + 3, [&] { user.AddNew(); });
        if (!user.Load("ann") || user.Name() != "Ann") r += "reading after the refusals failed; ";
        return r;
    });
    EXPECT_EQ(report, "");
    EXPECT_EQ(ReadFile(UsersPath()), before);
}

}  // namespace
}  // namespace corvane
