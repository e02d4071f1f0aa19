#pragma once

#include <array>
#include <functional>
#include <string>

#include "ui_core/msgbox/msgbox_flags.h"

namespace corvane::ui {

// A rectangle in twips.
struct TwipsRect {
    double left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// Sizes of the message box in twips. Window sizes are outer sizes, those of
// a classic fixed dialog frame; the client area is the outer size less
// kMsgBoxFrame{Width,Height}.
inline constexpr double kMsgBoxFrameWidth = 90;
inline constexpr double kMsgBoxFrameHeight = 420;
inline constexpr double kMsgBoxClientWidth = 5220;
inline constexpr double kMsgBoxClientHeight = 1545;
inline constexpr double kMsgBoxButtonWidth = 1155;
inline constexpr double kMsgBoxButtonHeight = 345;
inline constexpr double kMsgBoxButtonTop = 1095;
inline constexpr double kMsgBoxTextLeft = 810;
inline constexpr double kMsgBoxTextTop = 180;
inline constexpr double kMsgBoxTextWidth = 4260;
inline constexpr double kMsgBoxTextHeight = 705;
inline constexpr double kMsgBoxWrapWidth = 8500;
inline constexpr int kMsgBoxMaxPlainWidthPixels = 640;

// What the layout needs to know of the prompt as the window would show it.
struct MsgBoxLayoutInput {
    DecodedMsgBoxFlags flags;
    bool richText = false;
    std::string prompt;
    // Plain mode: the label's size without wrapping, and its height when it
    // wraps at a given width.
    double labelWidth = 0;
    double labelHeight = 0;
    std::function<double(double width)> labelHeightWrapped;
    // Rich mode: the text area asked for (0 = default) and the number of
    // lines the view shows at a given width.
    double boxWidth = 0;
    double boxHeight = 0;
    std::function<int(double width)> richLineCount;
    double twipsPerPixelX = 15;
};

struct MsgBoxLayout {
    double windowWidth = kMsgBoxClientWidth + kMsgBoxFrameWidth;
    double windowHeight = kMsgBoxClientHeight + kMsgBoxFrameHeight;
    TwipsRect label{kMsgBoxTextLeft, kMsgBoxTextTop, 0, 0};
    bool labelWraps = false;
    TwipsRect text{kMsgBoxTextLeft, kMsgBoxTextTop, kMsgBoxTextWidth, kMsgBoxTextHeight};
    TwipsRect icon;  // of the icon shown, if any
    // All four buttons; those not shown keep their design places.
    std::array<TwipsRect, 4> buttons{
        TwipsRect{120, kMsgBoxButtonTop, kMsgBoxButtonWidth, kMsgBoxButtonHeight},
        TwipsRect{1410, kMsgBoxButtonTop, kMsgBoxButtonWidth, kMsgBoxButtonHeight},
        TwipsRect{2700, kMsgBoxButtonTop, kMsgBoxButtonWidth, kMsgBoxButtonHeight},
        TwipsRect{3960, kMsgBoxButtonTop, kMsgBoxButtonWidth, kMsgBoxButtonHeight}};
};

// Lays the box out: the text (plain or rich), the icon, the button row and
// the vertical centring of a short text, in that order.
MsgBoxLayout LayoutMsgBox(const MsgBoxLayoutInput& input);

// Design place of each icon.
TwipsRect IconPlace(MsgBoxIcon icon);

}  // namespace corvane::ui
