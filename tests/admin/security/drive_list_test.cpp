#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "admin/security/drive_list.h"

namespace corvane {
namespace {

class FakeDriveKinds : public DriveKinds {
public:
    std::map<char, DriveKind> kinds;
    std::map<char, std::string> labels;
    char broken = 0;
    int labelsAsked = 0;

    DriveKind KindOf(char letter) override {
        if (letter == broken) throw std::runtime_error("no answer");
        const auto found = kinds.find(letter);
        return found == kinds.end() ? DriveKind::kNone : found->second;
    }
    std::string LabelOf(char letter) override {
        ++labelsAsked;
        return labels[letter];
    }
};

TEST(DriveListTest, EveryLetterHasASortedRowWithItsKindsImage) {
    FakeDriveKinds fake;
    fake.kinds = {{'A', DriveKind::kRemovable}, {'C', DriveKind::kFixed}, {'D', DriveKind::kCdRom},
                  {'E', DriveKind::kFixed},     {'N', DriveKind::kRemote}};
    fake.labels = {{'C', "System"}, {'D', "Disc"}};
    fake.broken = 'Q';
    const auto rows = FillDriveRows(fake);
    ASSERT_EQ(rows.size(), 26u);
    struct Row {
        std::size_t index;
        const char* key;
        const char* text;
        const char* image;
    };
    for (const Row row : {Row{0, "A", " A:\\", "floppy"}, Row{2, "C", " C:\\ - [System]", "drive"},
                          Row{3, "D", " D:\\", "cd-rom"}, Row{4, "E", " E:\\", "drive"},
                          Row{13, "N", " N:\\", "network"}, Row{16, "Q", " Q:\\", "drive"},
                          Row{25, "Z", " Z:\\", "drive"}}) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(rows[row.index].key, row.key);
        EXPECT_EQ(rows[row.index].text, row.text);
        EXPECT_EQ(rows[row.index].image, row.image);
    }
    // Only fixed drives are asked for a label.
    EXPECT_EQ(fake.labelsAsked, 2);
}

TEST(DriveListTest, LinuxHasPlainDriveRows) {
    auto kinds = MakeLinuxDriveKinds();
    for (const auto& row : FillDriveRows(*kinds)) {
        EXPECT_EQ(row.image, "drive");
        EXPECT_EQ(row.text, " " + row.key + ":\\");
    }
}

TEST(DriveListTest, TheMaskKeepsOnlyTheTwentySixLetters) {
    struct Row {
        std::uint32_t mask;
        std::uint32_t back;
    };
    for (const Row row : {Row{0, 0}, Row{5, 5}, Row{0x3FFFFFF, 0x3FFFFFF}, Row{0x4000001, 1},
                          Row{0xFFFFFFFF, 0x3FFFFFF}}) {
        const auto ticks = DriveTicksFromMask(row.mask);
        EXPECT_EQ(DriveMaskFromTicks(ticks), row.back) << row.mask;
        EXPECT_EQ(ticks[0], (row.mask & 1U) != 0);
        EXPECT_EQ(ticks[25], (row.mask & 0x2000000U) != 0);
    }
}

}  // namespace
}  // namespace corvane
