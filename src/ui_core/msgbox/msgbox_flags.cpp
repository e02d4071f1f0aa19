#include "ui_core/msgbox/msgbox_flags.h"

#include "ui_core/msgbox/msgbox_seam.h"

namespace corvane::ui {
namespace {

constexpr MsgBoxButtonKind kOk{33, "OK"}, kCancel{25, "Cancel"}, kAbort{410, "Abort"},
    kRetry{411, "Retry"}, kIgnore{412, "Ignore"}, kYes{47, "Yes"}, kNo{48, "No"};

std::vector<MsgBoxButtonKind> ButtonSet(int set) {
    switch (set) {
        case 0: return {kOk};
        case 1: return {kOk, kCancel};
        case 2: return {kAbort, kRetry, kIgnore};
        case 3: return {kYes, kNo, kCancel};
        case 4: return {kYes, kNo};
        case 5: return {kRetry, kCancel};
        default: return {};
    }
}

}  // namespace

DecodedMsgBoxFlags DecodeMsgBoxFlags(std::int32_t flags) {
    DecodedMsgBoxFlags d;
    std::int32_t v = flags;
    if (v >= kMsgHelpButton) {
        v %= kMsgHelpButton;
        d.help = true;
    }
    if (v >= kMsgSystemModal) {
        v %= kMsgSystemModal;
        d.systemModal = true;
    }
    if (v >= 256) {
        d.low = v % 256;
        d.defaultCode = v - d.low;
    } else {
        d.low = v;
    }
    switch (d.defaultCode) {
        case 256: d.tabPositions = {3, 0, 1, 2}; break;
        case 512: d.tabPositions = {2, 3, 0, 1}; break;
        case 768: d.tabPositions = {1, 2, 3, 0}; break;
        default: break;
    }

    const std::int32_t low = d.low;
    if (low < 0) return d;
    if (low < 16) {
        d.buttonSet = low;
    } else if (low < 32) {
        d.icon = MsgBoxIcon::Critical;
        d.sound = 64;
        d.buttonSet = low - 16;
    } else if (low < 48) {
        d.icon = MsgBoxIcon::Question;
        d.buttonSet = low - 32;
    } else if (low < 64) {
        d.icon = MsgBoxIcon::Exclamation;
        d.sound = 64;
        d.buttonSet = low - 48;
    } else {
        d.icon = MsgBoxIcon::Information;
        d.buttonSet = low % 64;
    }
    d.buttons = ButtonSet(d.buttonSet);
    return d;
}

int ResultCodeForTag(std::string_view tag) {
    if (tag == "OK") return kMsgOk;
    if (tag == "Cancel") return kMsgCancel;
    if (tag == "Yes") return kMsgYes;
    if (tag == "No") return kMsgNo;
    if (tag == "Retry") return kMsgRetry;
    if (tag == "Ignore") return kMsgIgnore;
    if (tag == "Abort") return kMsgAbort;
    if (tag == "Help") return kMsgHelp;
    return kMsgNone;
}

}  // namespace corvane::ui
