#include <gtest/gtest.h>

#include "ui_core/msgbox/msgbox_layout.h"

using namespace corvane::ui;

namespace {

MsgBoxLayoutInput Plain(std::int32_t flags, double labelWidth, double labelHeight,
                        std::string prompt = "Short") {
    MsgBoxLayoutInput in;
    in.flags = DecodeMsgBoxFlags(flags);
    in.prompt = std::move(prompt);
    in.labelWidth = labelWidth;
    in.labelHeight = labelHeight;
    in.labelHeightWrapped = [](double) { return 1200.0; };
    return in;
}

}  // namespace

TEST(MsgBoxLayout, RichDefaultsGiveTheDesignBox) {
    MsgBoxLayoutInput in;
    in.flags = DecodeMsgBoxFlags(0);
    in.richText = true;
    in.richLineCount = [](double) { return 3; };
    const MsgBoxLayout out = LayoutMsgBox(in);
    EXPECT_EQ(out.windowWidth, 5360);
    EXPECT_EQ(out.windowHeight, 2080);
    for (const auto& b : out.buttons) EXPECT_EQ(b.top, 1205);
    // No icon: the text takes the icon's room.
    EXPECT_EQ(out.text, (TwipsRect{200, 180, 5360 - 400, 800}));
    // One OK button, centred without the plain box's nudge.
    EXPECT_EQ(out.buttons[0].left, 5360 / 2.0 - 1155 / 2.0);
}

TEST(MsgBoxLayout, RichShortTextIsCentredVertically) {
    for (const auto& [lines, shift] : {std::pair{1, 150}, {2, 75}, {3, 0}}) {
        MsgBoxLayoutInput in;
        in.flags = DecodeMsgBoxFlags(32);
        in.richText = true;
        in.boxWidth = 3000;
        in.boxHeight = 1000;
        double widthAsked = 0;
        in.richLineCount = [&, n = lines](double w) { widthAsked = w; return n; };
        const MsgBoxLayout out = LayoutMsgBox(in);
        EXPECT_EQ(widthAsked, 3000);  // the icon keeps its room
        EXPECT_EQ(out.text.top, 180 + shift) << lines;
        EXPECT_EQ(out.text.height, 1000 - shift) << lines;
        EXPECT_EQ(out.windowWidth, 4100);
        EXPECT_EQ(out.windowHeight, 2280);
    }
}

TEST(MsgBoxLayout, ShortPlainPromptGivesANarrowBoxAtLeastItsButtonRow) {
    // 100 twips of text + 1200 is narrower than one OK button needs.
    MsgBoxLayout out = LayoutMsgBox(Plain(0, 100, 195));
    EXPECT_EQ(out.windowWidth, 1555);
    EXPECT_EQ(out.buttons[0].left, 1555 / 2.0 - 1155 / 2.0 - 30);
    EXPECT_EQ(out.label.top, 180 + 150);
    EXPECT_FALSE(out.labelWraps);
    EXPECT_EQ(out.windowHeight, 1965);  // design height

    out = LayoutMsgBox(Plain(4, 3000, 195));
    EXPECT_EQ(out.windowWidth, 4200);
    EXPECT_EQ(out.buttons[0].left, 2100 - 1155 - 100);
    EXPECT_EQ(out.buttons[1].left, 2100 + 0.0);
}

TEST(MsgBoxLayout, ButtonRowsForEveryCountWithAndWithoutHelp) {
    const double w = 1155;
    struct Case {
        std::int32_t flags;
        double minWidth;
        std::vector<double> lefts;  // button 0.., then Help last when shown
    };
    const Case cases[] = {
        {0, w + 400, {(w + 400) / 2 - w / 2 - 30}},
        {16384, 2 * (w + 100) + 300, {2 * (w + 100) / 2 + 150 - w - 100, 2 * (w + 100) / 2 + 150}},
        {1, 2 * (w + 100) + 300, {1405 - w - 100, 1405}},
        {16384 + 1, 3 * (w + 100) + 400,
         {2082.5 - 1.5 * w - 125, 2082.5 - 0.5 * w - 25, 2082.5 + 0.5 * w + 75}},
        {2, 3 * (w + 100) + 300,
         {2032.5 - 1.5 * w - 150, 2032.5 - 0.5 * w - 50, 2032.5 + 0.5 * w + 50}},
        {16384 + 3, 4 * (w + 100) + 400,
         {2710 - 2.125 * w - 50, 2710 - 1.125 * w + 50, 2710 - 0.125 * w + 150,
          2710 + 0.875 * w + 250}},
    };
    for (const auto& c : cases) {
        const MsgBoxLayout out = LayoutMsgBox(Plain(c.flags, 100, 195));
        EXPECT_EQ(out.windowWidth, c.minWidth) << c.flags;
        const DecodedMsgBoxFlags d = DecodeMsgBoxFlags(c.flags);
        for (std::size_t i = 0; i < d.buttons.size(); ++i)
            EXPECT_DOUBLE_EQ(out.buttons[i].left, c.lefts[i]) << c.flags << " button " << i;
        if (d.help) {
            EXPECT_DOUBLE_EQ(out.buttons[3].left, c.lefts.back()) << c.flags;
        }
    }
}

TEST(MsgBoxLayout, WideOrTallPlainPromptWrapsAndGrowsDownwards) {
    // 8400 + 1200 twips is 640 pixels at 15 twips a pixel: it wraps.
    MsgBoxLayout out = LayoutMsgBox(Plain(0, 8400, 195, "long"));
    EXPECT_TRUE(out.labelWraps);
    EXPECT_EQ(out.label.width, 8500);
    EXPECT_EQ(out.windowWidth, 640 * 15);
    EXPECT_EQ(out.label.height, 1200);
    EXPECT_EQ(out.windowHeight, 1965 + (1200 - 705));
    EXPECT_EQ(out.buttons[0].top, 1095 + (1200 - 705));
    EXPECT_EQ(out.label.top, 180);  // a wrapped label is not centred

    out = LayoutMsgBox(Plain(0, 8399, 195, "just fits"));
    EXPECT_FALSE(out.labelWraps);
    EXPECT_EQ(out.windowWidth, 9599);

    // A tall unwrapped label grows the box by the rounded difference.
    out = LayoutMsgBox(Plain(0, 2000, 900.5, "a\r\nb\r\nc"));
    EXPECT_EQ(out.windowHeight, 1965 + 196);  // 195.5 rounds half to even
    EXPECT_EQ(out.label.top, 180);            // three lines stay at the top
}

TEST(MsgBoxLayout, TwoLinePlainPromptMovesDownLess) {
    EXPECT_EQ(LayoutMsgBox(Plain(0, 2000, 390, "one\r\ntwo")).label.top, 180 + 75);
    // A lone line feed is no line break for the centring.
    EXPECT_EQ(LayoutMsgBox(Plain(0, 2000, 390, "one\ntwo")).label.top, 180 + 150);
}

TEST(MsgBoxLayout, NoButtonsPlacesNothingAndKeepsTheWidth) {
    const MsgBoxLayout out = LayoutMsgBox(Plain(6, 100, 195));
    EXPECT_EQ(out.windowWidth, 1300);
    EXPECT_EQ(out.buttons[0].left, 120);
    EXPECT_EQ(out.buttons[3].left, 3960);
}
