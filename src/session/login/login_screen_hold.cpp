#include "session/login/login_screen_hold.h"

#include "errors/error_log_file.h"
#include "platform/core/carry_on.h"
#include "platform/core/raised_error.h"
#include "platform/settings/global_settings.h"
#include "platform/settings/registry_store.h"

namespace corvane {
namespace {

bool CoverAsked() { return gHideDesktopDuringLogin || gHideTaskBarDuringLogin; }
bool PointerAsked() { return gClipMouseToLogin; }
bool KeyboardAsked() { return gLockTaskManagerDuringLogin || gCannotCancelLogin; }

}  // namespace

LoginScreenHold::LoginScreenHold() : hold_(CurrentScreenHold()) {}

LoginScreenHold::~LoginScreenHold() { End(); }

void LoginScreenHold::Take(WindowId window) {
    if (ended_ || !(CoverAsked() || PointerAsked() || KeyboardAsked())) return;
    if (!hold_) {
        Refused("this window system lets no program hold it");
        return;
    }
    if (CoverAsked() && !covered_ && window != ScreenHold::kWholeScreen) {
        CarryOn([&] { covered_ = hold_->Cover(window); });
        if (!covered_) Refused("the cover was refused");
    }
    if (PointerAsked()) Grab(pointer_, &ScreenHold::GrabPointer, window, "the pointer grab was refused");
    if (KeyboardAsked()) Grab(keyboard_, &ScreenHold::GrabKeyboard, window, "the keyboard grab was refused");
}

void LoginScreenHold::MoveTo(WindowId window) {
    if (ended_ || !hold_) return;
    // A grab that could not move ends with the window it was left on.
    if (pointer_ && !Grab(pointer_, &ScreenHold::GrabPointer, window, "the pointer grab was refused"))
        pointer_.reset();
    if (keyboard_ && !Grab(keyboard_, &ScreenHold::GrabKeyboard, window, "the keyboard grab was refused"))
        keyboard_.reset();
}

bool LoginScreenHold::Grab(std::optional<WindowId>& held, GrabCall grab, WindowId window, const char* refusal) {
    if (held == window) return true;
    bool took = false;
    CarryOn([&] { took = (hold_.get()->*grab)(window); });
    if (took) held = window;
    else Refused(refusal);
    return took;
}

void LoginScreenHold::Lost() {
    pointer_.reset();
    keyboard_.reset();
}

void LoginScreenHold::End() {
    if (ended_) return;
    ended_ = true;
    if (pointer_ || keyboard_) CarryOn([&] { hold_->Ungrab(); });
    Lost();
    if (covered_) CarryOn([&] { hold_->Uncover(); });
    covered_ = false;
}

void LoginScreenHold::Refused(const char* what) {
    // A grab refused now may be given at the next try; one line per login says it.
    if (reported_) return;
    reported_ = true;
    CarryOn([&] {
        std::string place = "frmLogin.HoldScreen";
        const RaisedError error(ERROR_ACCESS_DENIED, "frmLogin",
                                std::string("The screen could not be held for the login: ") + what);
        WriteErrorLog(FormatErrorLine(error, place), ErrorLogPath());
    });
}

}  // namespace corvane
