#pragma once

#include <memory>

#include "session/helpers/keyboard_state.h"

namespace corvane::test {

// A keyboard whose Caps Lock the test sets by hand.
class FakeKeyboardState final : public KeyboardState {
public:
    CapsLockState caps;
    CapsLockState CapsLock() override { return caps; }
};

// Installs a keyboard source for one test and puts the previous one back.
class KeyboardStateScope {
public:
    explicit KeyboardStateScope(std::shared_ptr<KeyboardState> state)
        : previous_(SetKeyboardState(std::move(state))) {}
    ~KeyboardStateScope() { SetKeyboardState(previous_); }
    KeyboardStateScope(const KeyboardStateScope&) = delete;
    KeyboardStateScope& operator=(const KeyboardStateScope&) = delete;

private:
    std::shared_ptr<KeyboardState> previous_;
};

}  // namespace corvane::test
