#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "session/helpers/screen_hold.h"

namespace corvane::test {

// A window system that records what the program takes of the screen, in
// order ("Cover", "GrabPointer", "GrabKeyboard", "Ungrab", "Uncover"), and
// refuses the takes named in `refused`.
class FakeScreenHold final : public ScreenHold {
public:
    std::vector<std::string> calls;
    std::set<std::string> refused;
    bool covered = false, pointer = false, keyboard = false;

    bool Cover(WindowId) override { return covered = Took("Cover"); }
    void Uncover() override {
        calls.push_back("Uncover");
        covered = false;
    }
    bool GrabPointer(WindowId) override { return pointer = Took("GrabPointer"); }
    bool GrabKeyboard(WindowId) override { return keyboard = Took("GrabKeyboard"); }
    void Ungrab() override {
        calls.push_back("Ungrab");
        pointer = keyboard = false;
    }

private:
    bool Took(const std::string& what) {
        calls.push_back(what);
        return !refused.contains(what);
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
