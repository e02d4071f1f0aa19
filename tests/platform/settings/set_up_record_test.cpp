// The record of set-up kept outside the data folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/core/environment.h"
#include "platform/settings/set_up_record.h"
#include "support/temp_folder.h"

using namespace corvane;
using corvane::test_support::TempFolder;
namespace fs = std::filesystem;

namespace {

class SetUpRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"CORVANE_STATE_DIR", "XDG_STATE_HOME", "HOME"})
            saved_.emplace_back(name, environment::Variable(name));
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value.empty()) ::unsetenv(name);
            else ::setenv(name, value.c_str(), 1);
        }
    }
    TempFolder tmp_;
    std::vector<std::pair<const char*, std::string>> saved_;
};

TEST_F(SetUpRecordTest, TheFolderMovesWithItsVariables) {
    ::setenv("HOME", "/home/ann", 1);
    const struct {
        const char* state;
        const char* xdg;
        const char* folder;
    } rows[] = {
        {"/srv/ws7/state/", "/x", "/srv/ws7/state"},
        {nullptr, "/home/ann/.st", "/home/ann/.st/corvane"},
        {nullptr, "relative", "/home/ann/.local/state/corvane"},
        {nullptr, nullptr, "/home/ann/.local/state/corvane"},
    };
    for (const auto& row : rows) {
        if (row.state) ::setenv("CORVANE_STATE_DIR", row.state, 1);
        else ::unsetenv("CORVANE_STATE_DIR");
        if (row.xdg) ::setenv("XDG_STATE_HOME", row.xdg, 1);
        else ::unsetenv("XDG_STATE_HOME");
        EXPECT_EQ(SetUpRecordFolder(), row.folder);
    }
}

TEST_F(SetUpRecordTest, ANameOnceRecordedStaysSetUp) {
    const std::string folder = tmp_ / "state/deeper";
    ::setenv("CORVANE_STATE_DIR", folder.c_str(), 1);
    EXPECT_FALSE(SetUpRecorded("/data/corvane"));
    EXPECT_TRUE(RecordSetUp("/data/corvane"));
    EXPECT_TRUE(SetUpRecorded("/data/corvane"));
    EXPECT_TRUE(RecordSetUp("/data/corvane"));
    EXPECT_FALSE(SetUpRecorded("/data/corvane-old"));
    EXPECT_FALSE(SetUpRecorded("/data/corvane/"));
    // Private to the account, and the name is there for a person who looks.
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path());
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "/data/corvane\n");
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(SetUpRecordTest, ARecordThatCannotBeLookedAtCountsAsSetUp) {
    const std::string file = tmp_.Write("state", "a file where the folder should be");
    ::setenv("CORVANE_STATE_DIR", file.c_str(), 1);
    EXPECT_TRUE(SetUpRecorded("/data/corvane"));
    ::setenv("CORVANE_STATE_DIR", (tmp_ / "state/below").c_str(), 1);
    EXPECT_TRUE(SetUpRecorded("/data/corvane"));
    EXPECT_FALSE(RecordSetUp("/data/other"));
}

}  // namespace
