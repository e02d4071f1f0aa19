#include "ui_core/msgbox/msgbox_layout.h"

#include <cmath>
#include <cstdint>

namespace corvane::ui {
namespace {

double RoundHalfEven(double v) { return std::nearbyint(v); }

void LayOutPlain(const MsgBoxLayoutInput& in, MsgBoxLayout& out) {
    out.label.width = in.labelWidth;
    out.label.height = in.labelHeight;
    if ((in.labelWidth + 1200) / in.twipsPerPixelX < kMsgBoxMaxPlainWidthPixels) {
        out.windowWidth = in.labelWidth + 1200;
    } else {
        out.labelWraps = true;
        out.label.width = kMsgBoxWrapWidth;
        out.label.height =
            in.labelHeightWrapped ? in.labelHeightWrapped(kMsgBoxWrapWidth) : in.labelHeight;
        out.windowWidth = kMsgBoxMaxPlainWidthPixels * in.twipsPerPixelX;
    }
    if (out.label.height > kMsgBoxTextHeight) {
        const double d = RoundHalfEven(out.label.height - kMsgBoxTextHeight);
        out.windowHeight += d;
        for (auto& b : out.buttons) b.top += d;
    }
}

void LayOutRich(const MsgBoxLayoutInput& in, MsgBoxLayout& out) {
    const double width = in.boxWidth == 0 ? 4260 : in.boxWidth;
    const double height = in.boxHeight == 0 ? 800 : in.boxHeight;
    out.text.width = width;
    out.text.height = height;
    const double b = RoundHalfEven(out.text.top + out.text.height);
    out.windowWidth = width + 1100;
    for (auto& button : out.buttons) button.top = b + 225;
    out.windowHeight = b + 1100;
}

// Minimum width of a row, worked out in 16-bit whole numbers as the box did.
std::int16_t MinimumRowWidth(int count, bool help) {
    const auto w = static_cast<std::int16_t>(RoundHalfEven(kMsgBoxButtonWidth));
    const int slot = w + 100;
    int min = 0;
    if (count == 1) min = help ? 2 * slot + 300 : w + 400;
    else if (count == 2) min = help ? 3 * slot + 400 : 2 * slot + 300;
    else if (count == 3) min = help ? 4 * slot + 400 : 3 * slot + 300;
    return static_cast<std::int16_t>(min);
}

void PlaceButtons(const MsgBoxLayoutInput& in, MsgBoxLayout& out) {
    const int count = static_cast<int>(in.flags.buttons.size());
    if (count == 0) return;
    const bool help = in.flags.help;
    if (!in.richText) {
        const double min = MinimumRowWidth(count, help);
        if (out.windowWidth < min) out.windowWidth = min;
    }
    const double w = kMsgBoxButtonWidth;
    const double W = out.windowWidth;
    double first = 0;
    switch (count) {
        case 1:
            first = help ? W / 2 - w - 100 : (in.richText ? W / 2 - w / 2 : W / 2 - w / 2 - 30);
            break;
        case 2: first = help ? W / 2 - 1.5 * w - 125 : W / 2 - w - 100; break;
        default: first = help ? W / 2 - 2.125 * w - 50 : W / 2 - 1.5 * w - 150; break;
    }
    for (int i = 0; i < count; ++i) out.buttons[i].left = first + i * (w + 100);
    if (help) out.buttons[3].left = first + count * (w + 100);
}

int CrLfPieces(const std::string& text) {
    int pieces = 1;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++pieces;
    return pieces;
}

}  // namespace

TwipsRect IconPlace(MsgBoxIcon icon) {
    switch (icon) {
        case MsgBoxIcon::Critical: return {225, 135, 480, 480};
        case MsgBoxIcon::Question: return {225, 150, 480, 480};
        case MsgBoxIcon::Exclamation: return {225, 120, 480, 480};
        case MsgBoxIcon::Information: return {225, 150, 480, 480};
        case MsgBoxIcon::None: break;
    }
    return {};
}

MsgBoxLayout LayoutMsgBox(const MsgBoxLayoutInput& in) {
    MsgBoxLayout out;
    if (in.richText) LayOutRich(in, out);
    else LayOutPlain(in, out);

    const DecodedMsgBoxFlags& f = in.flags;
    if (f.buttonSet >= 0) {
        out.icon = IconPlace(f.icon);
        if (f.icon == MsgBoxIcon::None) {
            // The text takes the icon's room.
            out.text.left = 200;
            out.text.width = out.windowWidth - 400;
        }
    }
    PlaceButtons(in, out);

    if (in.richText) {
        const int lines = in.richLineCount ? in.richLineCount(out.text.width) : 0;
        const double shift = lines == 1 ? 150 : lines == 2 ? 75 : 0;
        out.text.top += shift;
        out.text.height -= shift;
    } else if (!out.labelWraps) {
        const int pieces = CrLfPieces(in.prompt);
        out.label.top += pieces == 1 ? 150 : pieces == 2 ? 75 : 0;
    }
    return out;
}

}  // namespace corvane::ui
