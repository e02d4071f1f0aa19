#include <gtest/gtest.h>

#include "ui_core/msgbox/msgbox_flags.h"
#include "ui_core/msgbox/msgbox_seam.h"

using namespace corvane;
using namespace corvane::ui;

namespace {

std::vector<std::string_view> Tags(const DecodedMsgBoxFlags& d) {
    std::vector<std::string_view> tags;
    for (const auto& b : d.buttons) tags.push_back(b.tag);
    return tags;
}

}  // namespace

TEST(MsgBoxFlags, DecodesTheClassicFlagWord) {
    using Icon = MsgBoxIcon;
    struct Case {
        std::int32_t flags;
        bool help, systemModal;
        std::array<int, 4> tabs;
        Icon icon;
        int sound;
        int set;
        std::vector<std::string_view> tags;
    };
    const Case cases[] = {
        {0, false, false, {0, 1, 2, 3}, Icon::None, 0, 0, {"OK"}},
        {4 + 32 + 256, false, false, {3, 0, 1, 2}, Icon::Question, 0, 4, {"Yes", "No"}},
        {5 + 16 + 4096, false, true, {0, 1, 2, 3}, Icon::Critical, 64, 5, {"Retry", "Cancel"}},
        {2 + 48 + 512, false, false, {2, 3, 0, 1}, Icon::Exclamation, 64, 2,
         {"Abort", "Retry", "Ignore"}},
        {3 + 64 + 768, false, false, {1, 2, 3, 0}, Icon::Information, 0, 3,
         {"Yes", "No", "Cancel"}},
        {16384, true, false, {0, 1, 2, 3}, Icon::None, 0, 0, {"OK"}},
        {32768, true, false, {0, 1, 2, 3}, Icon::None, 0, 0, {"OK"}},  // Help with OK
        {8192, false, true, {0, 1, 2, 3}, Icon::None, 0, 0, {"OK"}},
        {16384 + 4096 + 1, true, true, {0, 1, 2, 3}, Icon::None, 0, 1, {"OK", "Cancel"}},
        {1024 + 1, false, false, {0, 1, 2, 3}, Icon::None, 0, 1, {"OK", "Cancel"}},
        {3840, false, false, {0, 1, 2, 3}, Icon::None, 0, 0, {"OK"}},
        {6, false, false, {0, 1, 2, 3}, Icon::None, 0, 6, {}},
        {64 + 16, false, false, {0, 1, 2, 3}, Icon::Information, 0, 16, {}},
        {64 + 64 + 4, false, false, {0, 1, 2, 3}, Icon::Information, 0, 4, {"Yes", "No"}},
        {-1, false, false, {0, 1, 2, 3}, Icon::None, 0, -1, {}},
        {-32768, false, false, {0, 1, 2, 3}, Icon::None, 0, -1, {}},
    };
    for (const auto& c : cases) {
        const DecodedMsgBoxFlags d = DecodeMsgBoxFlags(c.flags);
        EXPECT_EQ(d.help, c.help) << c.flags;
        EXPECT_EQ(d.systemModal, c.systemModal) << c.flags;
        EXPECT_EQ(d.tabPositions, c.tabs) << c.flags;
        EXPECT_EQ(d.icon, c.icon) << c.flags;
        EXPECT_EQ(d.sound, c.sound) << c.flags;
        EXPECT_EQ(d.buttonSet, c.set) << c.flags;
        EXPECT_EQ(Tags(d), c.tags) << c.flags;
    }
}

TEST(MsgBoxFlags, CaptionsComeFromTheirMessages) {
    const auto d = DecodeMsgBoxFlags(kMsgAbortRetryIgnore);
    const std::vector<MsgBoxButtonKind> expected{{410, "Abort"}, {411, "Retry"}, {412, "Ignore"}};
    EXPECT_EQ(d.buttons, expected);
    EXPECT_EQ(DecodeMsgBoxFlags(kMsgYesNoCancel).buttons[1], (MsgBoxButtonKind{48, "No"}));
    EXPECT_EQ(DecodeMsgBoxFlags(kMsgOkCancel).buttons[1], (MsgBoxButtonKind{25, "Cancel"}));
    EXPECT_EQ(kHelpButton, (MsgBoxButtonKind{58, "Help"}));
}

TEST(MsgBoxFlags, AnswerWordsTurnIntoCodesExactly) {
    const std::pair<std::string_view, int> cases[] = {
        {"OK", 1},    {"Cancel", 2}, {"Abort", 3}, {"Retry", 4}, {"Ignore", 5}, {"Yes", 6},
        {"No", 7},    {"Help", 9},   {"", 0},      {"ok", 0},    {"YES", 0},    {"Help ", 0},
    };
    for (const auto& [tag, code] : cases) EXPECT_EQ(ResultCodeForTag(tag), code) << tag;
}
