#pragma once

#include <memory>
#include <optional>

#include "session/helpers/screen_hold.h"

namespace corvane {

// The screen the login window holds while it waits, as the login settings
// ask: a cover over every screen ("Hide Desktop During Login", "Hide TaskBar
// During Login"), the pointer kept inside the window ("Clip Mouse To Login"),
// every key for the window ("Lock Task Manager During Login", "Cannot Cancel
// Login"). A modal window the program opens over the login holds them in its
// turn: the grabs move between windows and are never let go on the way.
// Where the window system refuses a part, the login goes on and the error
// log says once per login that the screen could not be held.
class LoginScreenHold {
public:
    using WindowId = ScreenHold::WindowId;

    // Uses the window system's hold installed now (CurrentScreenHold).
    LoginScreenHold();
    ~LoginScreenHold();
    LoginScreenHold(const LoginScreenHold&) = delete;
    LoginScreenHold& operator=(const LoginScreenHold&) = delete;

    // Takes what the settings ask for over the window: the cover once, each
    // grab not held on it. A grab held on another window moves to this one
    // at once. Nothing after End.
    void Take(WindowId window);
    // The window holding the grabs is leaving the screen, which would end
    // them: the grabs held move first to the given window (kWholeScreen:
    // none of the program's). Nothing after End.
    void MoveTo(WindowId window);
    // The grabs were ended by someone else (a popup list took them and let
    // go, the pointer was found outside): the next Take takes them afresh,
    // without letting go first.
    void Lost();
    // Lets go of everything, for good; once more does nothing.
    void End();

    bool Covered() const { return covered_; }
    bool PointerHeld() const { return pointer_.has_value(); }
    bool KeyboardHeld() const { return keyboard_.has_value(); }
    // The window each grab is held on, nothing while it is not held.
    std::optional<WindowId> PointerWindow() const { return pointer_; }
    std::optional<WindowId> KeyboardWindow() const { return keyboard_; }

private:
    using GrabCall = bool (ScreenHold::*)(WindowId);
    // Puts the grab on the window unless it is held there; whether it is.
    bool Grab(std::optional<WindowId>& held, GrabCall grab, WindowId window, const char* refusal);
    void Refused(const char* what);

    std::shared_ptr<ScreenHold> hold_;
    bool covered_ = false;
    std::optional<WindowId> pointer_;
    std::optional<WindowId> keyboard_;
    bool reported_ = false;
    bool ended_ = false;
};

}  // namespace corvane
