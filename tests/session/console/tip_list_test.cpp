// The tips file and the random pick of the tip window.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "session/console/tip_list.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

// Hands out the given numbers in turn.
TipList::Random Sequence(std::deque<double> numbers) {
    return [numbers]() mutable {
        const double r = numbers.front();
        numbers.pop_front();
        return r;
    };
}

class TipListTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) { return folder.Write(name, bytes); }
    test_support::TempFolder folder;
};

TEST_F(TipListTest, LinesAreTipsKeptAsTheyAre) {
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> tips;
    } rows[] = {
        {"CR LF, a final break adds nothing", "one\r\ntwo\r\n", {"one", "two"}},
        {"LF and no final break", "one\ntwo", {"one", "two"}},
        {"empty lines are tips", "one\r\n\r\n  three  \r\n", {"one", "", "  three  "}},
        {"Windows-1252", "caf\xe9 \x80\r\n", {"caf\xc3\xa9 \xe2\x82\xac"}},
        {"empty file", "", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TipList tips(Sequence({0.0}));
        EXPECT_TRUE(tips.Load(Write("tips.txt", row.bytes)));
        EXPECT_EQ(tips.Tips(), row.tips);
        EXPECT_EQ(tips.CurrentIndex(), 1);
    }
}

TEST_F(TipListTest, NoFileReadsNothing) {
    std::filesystem::create_directories(folder / "a-folder");
    const std::string tipsFile = Write("tips.txt", "one\r\n");
    for (const std::string& name : {std::string(), folder / "missing.txt",
                                    folder / "a-folder", tipsFile + "  "}) {
        SCOPED_TRACE(name);
        TipList tips(Sequence({0.0}));
        EXPECT_FALSE(tips.Load(name));
        EXPECT_TRUE(tips.Tips().empty());
        EXPECT_EQ(tips.CurrentTip(), nullptr);
    }
}

// A FIFO or a device named as the tips file is no tips file: nothing waits on
// it, and the help text shows instead.
TEST_F(TipListTest, AFifoOrADeviceIsRefusedWithoutWaiting) {
    const std::string fifo = folder / "tips.fifo";
    const std::string device = folder / "tips.dev";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    ASSERT_EQ(::symlink("/dev/zero", device.c_str()), 0);
    for (const std::string& path : {fifo, device}) {
        SCOPED_TRACE(path);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::alarm(10);  // a hang ends the child with SIGALRM
            TipList tips(Sequence({0.0}));
            const bool loaded = tips.Load(path);
            ::_exit(!loaded && tips.Tips().empty() && tips.CurrentTip() == nullptr ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "the load hung or crashed";
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
}

TEST_F(TipListTest, TheIndexIsTheWholePartOfRTimesNPlusOne) {
    TipList tips(Sequence({0.0, 0.2499, 0.25, 0.74, 0.9999999, 0.5}));
    ASSERT_TRUE(tips.Load(Write("tips.txt", "a\nb\nc\nd\n")));
    EXPECT_EQ(tips.CurrentIndex(), 1);
    for (int expected : {1, 2, 3, 4, 3}) {
        tips.PickRandom();
        EXPECT_EQ(tips.CurrentIndex(), expected);
        EXPECT_EQ(*tips.CurrentTip(), std::string(1, static_cast<char>('a' + expected - 1)));
    }

    TipList one(Sequence({0.3, 0.9, 0.1}));
    ASSERT_TRUE(one.Load(Write("one.txt", "only\r\n")));
    one.PickRandom();
    one.PickRandom();
    EXPECT_EQ(*one.CurrentTip(), "only");

    // The clock-seeded generator stays inside the list.
    TipList seeded;
    ASSERT_TRUE(seeded.Load(Write("tips.txt", "a\nb\nc\n")));
    for (int i = 0; i < 200; ++i) {
        seeded.PickRandom();
        ASSERT_GE(seeded.CurrentIndex(), 1);
        ASSERT_LE(seeded.CurrentIndex(), 3);
    }
}

TEST_F(TipListTest, TheSettingNamesTheFileOrLeavesTheDefault) {
    ::setenv("CORVANE_PROGRAM_DIR", folder.Path().c_str(), 1);
    const std::string fallback = folder.Path() + "/TIPOFDAY.TXT";
    EXPECT_EQ(TipList::TipsFile(""), fallback);
    EXPECT_EQ(TipList::TipsFile("    "), fallback);
    EXPECT_EQ(TipList::TipsFile("/srv/tips.txt  "), "/srv/tips.txt  ");
    ::unsetenv("CORVANE_PROGRAM_DIR");
}

TEST_F(TipListTest, TheHelpTextAlwaysNamesTheDefaultFile) {
    EXPECT_EQ(TipList::HelpText(),
              "That the TIPOFDAY.TXT file was not found? \r\n\r\n"
              "Create a text file named TIPOFDAY.TXT using NotePad with 1 tip per line. "
              "Then place it in the same directory as the application. ");
}

}  // namespace
}  // namespace corvane
