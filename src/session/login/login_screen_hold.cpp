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

void LoginScreenHold::Take(ScreenHold::WindowId window) {
    if (ended_ || !(CoverAsked() || PointerAsked() || KeyboardAsked())) return;
    if (!hold_) {
        Refused("this window system lets no program hold it");
        return;
    }
    if (CoverAsked() && !covered_) {
        CarryOn([&] { covered_ = hold_->Cover(window); });
        if (!covered_) Refused("the cover was refused");
    }
    if (PointerAsked() && !pointer_) {
        CarryOn([&] { pointer_ = hold_->GrabPointer(window); });
        if (!pointer_) Refused("the pointer grab was refused");
    }
    if (KeyboardAsked() && !keyboard_) {
        CarryOn([&] { keyboard_ = hold_->GrabKeyboard(window); });
        if (!keyboard_) Refused("the keyboard grab was refused");
    }
}

void LoginScreenHold::Release() {
    if (!pointer_ && !keyboard_) return;
    pointer_ = keyboard_ = false;
    CarryOn([&] { hold_->Ungrab(); });
}

void LoginScreenHold::End() {
    if (ended_) return;
    ended_ = true;
    Release();
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
