#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "session/helpers/screen_hold.h"

namespace corvane::test {

// A window system that records what the program takes of the screen, in
// order ("Cover", "GrabPointer", "GrabKeyboard", "Ungrab", "Uncover"), and
// refuses the takes named in `refused`. Like an X server, a grab taken again
// moves to the new window, a refused one stays where it was, and a window
// leaving the screen (Unmapped) ends the grabs on it, recorded as "Dropped".
class FakeScreenHold final : public ScreenHold {
public:
    std::vector<std::string> calls;
    std::set<std::string> refused;
    bool covered = false, pointer = false, keyboard = false;
    // The window each grab is on while it is held.
    WindowId pointerWindow = 0, keyboardWindow = 0;

    bool Cover(WindowId) override { return covered = Took("Cover"); }
    void Uncover() override {
        calls.push_back("Uncover");
        covered = false;
    }
    bool GrabPointer(WindowId window) override { return Grab("GrabPointer", pointer, pointerWindow, window); }
    bool GrabKeyboard(WindowId window) override { return Grab("GrabKeyboard", keyboard, keyboardWindow, window); }
    void Ungrab() override {
        calls.push_back("Ungrab");
        pointer = keyboard = false;
    }
    // The window left the screen.
    void Unmapped(WindowId window) {
        if ((pointer && pointerWindow == window) || (keyboard && keyboardWindow == window)) calls.push_back("Dropped");
        if (pointerWindow == window) pointer = false;
        if (keyboardWindow == window) keyboard = false;
    }

private:
    bool Took(const std::string& what) {
        calls.push_back(what);
        return !refused.contains(what);
    }
    bool Grab(const std::string& what, bool& held, WindowId& on, WindowId window) {
        if (!Took(what)) return false;
        held = true;
        on = window;
        return true;
    }
};

// Installs a window system's hold for one test (nullptr: none, as on
// Wayland) and puts the previous one back.
class ScreenHoldScope {
public:
    explicit ScreenHoldScope(std::shared_ptr<ScreenHold> hold) : previous_(SetScreenHold(std::move(hold))) {}
    ~ScreenHoldScope() { SetScreenHold(previous_); }
    ScreenHoldScope(const ScreenHoldScope&) = delete;
    ScreenHoldScope& operator=(const ScreenHoldScope&) = delete;

private:
    std::shared_ptr<ScreenHold> previous_;
};

}  // namespace corvane::test
