#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/core/creation_mode.h"
#include "platform/core/regular_file.h"
#include "platform/system/process_spawn.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;

// Each test leaves the process's creation mask as it found it.
class CreationModeTest : public ::testing::Test {
protected:
    void SetUp() override { mask_ = ::umask(022); }
    void TearDown() override { ::umask(mask_); }

    static mode_t Mode(const std::string& path) {
        struct stat st {};
        EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
        return st.st_mode & 07777;
    }
    static gid_t Group(const std::string& path) {
        struct stat st {};
        EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
        return st.st_gid;
    }
    // A file and a folder created the ways the program creates them: an append, a table's
    // plain open, a folder with its parents.
    static void CreateAll(const std::string& folder) {
        const int fd = OpenAppendFile(folder + "/appended.txt");
        ASSERT_GE(fd, 0);
        ::close(fd);
        std::ofstream(folder + "/written.sec") << "x";
        fs::create_directories(folder + "/sub/deeper");
    }

    // What CreateAll made in folder has these modes.
    static void ExpectModes(const std::string& folder, mode_t file, mode_t subfolder) {
        for (const char* name : {"/appended.txt", "/written.sec"}) EXPECT_EQ(Mode(folder + name), file) << name;
        for (const char* name : {"/sub", "/sub/deeper"}) EXPECT_EQ(Mode(folder + name), subfolder) << name;
    }

    test_support::TempFolder temp;

private:
    mode_t mask_ = 022;
};

TEST_F(CreationModeTest, NewFilesAndFoldersArePrivateOrSharedWithTheDataFoldersGroup) {
    const std::string data = temp / "data";
    ASSERT_EQ(::mkdir(data.c_str(), 0700), 0);

    // A data folder of the account alone: nothing for the group or the others.
    EXPECT_FALSE(ShareCreationsWithGroupOf(data));
    CreateAll(data);
    ExpectModes(data, 0600, 0700);

    // Group-writable without the set-group-ID bit is not shared: anyone in that group
    // would read what a member's run wrote, whatever group the site meant.
    const std::string loose = temp / "loose";
    ASSERT_EQ(::mkdir(loose.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(loose.c_str(), 0770), 0);
    EXPECT_FALSE(IsGroupSharedFolder(loose));
    EXPECT_TRUE(OthersMayWriteFolder(loose));

    // A group-shared data folder (2770): the group reads and writes, the others nothing,
    // and new folders stay shared with the same group.
    const std::string shared = temp / "shared";
    ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
    const gid_t group = ::geteuid() == 0 ? 100 : ::getegid();
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(shared.c_str(), static_cast<uid_t>(-1), group), 0);
    }
    ASSERT_EQ(::chmod(shared.c_str(), 02770), 0);
    EXPECT_TRUE(ShareCreationsWithGroupOf(shared));
    EXPECT_FALSE(OthersMayWriteFolder(shared));
    CreateAll(shared);
    ExpectModes(shared, 0660, 02770);
    for (const char* name : {"/appended.txt", "/written.sec", "/sub", "/sub/deeper"})
        EXPECT_EQ(Group(shared + name), group) << name;

    // A link to a shared folder is not one: the check looks at the data folder itself.
    fs::create_directory_symlink(shared, temp / "link");
    EXPECT_FALSE(ShareCreationsWithGroupOf(temp / "link"));
    EXPECT_EQ(::umask(077), 077u);
}

// The programs a user starts keep the creation mask the session gave the program.
TEST_F(CreationModeTest, StartedProgramsGetTheMaskTheProgramStartedWith) {
    UsePrivateCreationMask();
    const std::string out = temp / "mask";
    const int pid = SpawnProcess({"sh", "-c", "umask > '" + out + "'"});
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    std::ifstream in(out);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text, "0022\n");
    // The program's own mask is still the private one.
    EXPECT_EQ(::umask(077), 077u);
    EXPECT_EQ(Mode(out), 0644u);
}

}  // namespace
}  // namespace corvane::testing
