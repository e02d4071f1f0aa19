#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace corvane::ui {

enum class MsgBoxIcon { None, Critical, Question, Exclamation, Information };

// One answer button: the message that captions it and the word it answers.
struct MsgBoxButtonKind {
    int message = 0;
    std::string_view tag;
    bool operator==(const MsgBoxButtonKind&) const = default;
};

// What the classic flag word asks of the box.
struct DecodedMsgBoxFlags {
    bool help = false;         // a Help button after the others
    bool systemModal = false;  // the window is made top-most
    std::int32_t defaultCode = 0;  // 0, 256, 512, 768, or another value
    // Tab position of each of the four buttons; position 0 takes the focus.
    std::array<int, 4> tabPositions{0, 1, 2, 3};
    std::int32_t low = 0;  // the icon and button-set part
    MsgBoxIcon icon = MsgBoxIcon::None;
    int sound = 0;        // beep type: 64 asterisk, 0 default
    int buttonSet = -1;   // 0..5 show buttons; -1 when low is negative
    std::vector<MsgBoxButtonKind> buttons;  // the set's buttons, left to right
};

// Decodes with signed arithmetic on the classic values: 16384 and up means
// Help, then 4096 and up top-most, then the default-button field, the icon
// range and the button set.
DecodedMsgBoxFlags DecodeMsgBoxFlags(std::int32_t flags);

// The code of a button's answer word, compared exactly; 0 for anything else.
int ResultCodeForTag(std::string_view tag);

// The Help button's caption message and answer word.
inline constexpr MsgBoxButtonKind kHelpButton{58, "Help"};

}  // namespace corvane::ui
