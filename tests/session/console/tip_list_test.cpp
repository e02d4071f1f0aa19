// The tips file and the random pick of the tip window.
#include <gtest/gtest.h>
#include <stdlib.h>

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
