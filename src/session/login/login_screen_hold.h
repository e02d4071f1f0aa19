#pragma once

#include <memory>

#include "session/helpers/screen_hold.h"

namespace corvane {

// The screen the login window holds while it waits, as the login settings
// ask: a cover over every screen ("Hide Desktop During Login", "Hide TaskBar
// During Login"), the pointer kept inside the window ("Clip Mouse To Login"),
// every key for the window ("Lock Task Manager During Login", "Cannot Cancel
// Login"). Where the window system refuses a part, the login goes on and the
// error log says once per login that the screen could not be held.
class LoginScreenHold {
public:
    // Uses the window system's hold installed now (CurrentScreenHold).
    LoginScreenHold();
    ~LoginScreenHold();
    LoginScreenHold(const LoginScreenHold&) = delete;
    LoginScreenHold& operator=(const LoginScreenHold&) = delete;

    // Takes what the settings ask for over the window: the cover once, the
    // grabs that are not held. Nothing after End.
    void Take(ScreenHold::WindowId window);
    // Lets go of the grabs, for another window of the program that needs
    // input; the cover stays.
    void Release();
    // Lets go of everything, for good; once more does nothing.
    void End();

    bool Covered() const { return covered_; }
    bool PointerHeld() const { return pointer_; }
    bool KeyboardHeld() const { return keyboard_; }

private:
    void Refused(const char* what);

    std::shared_ptr<ScreenHold> hold_;
    bool covered_ = false;
    bool pointer_ = false;
    bool keyboard_ = false;
    bool reported_ = false;
    bool ended_ = false;
};

}  // namespace corvane
