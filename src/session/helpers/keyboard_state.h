#pragma once

#include <memory>

namespace corvane {

// The Caps Lock key as the desktop reports it.
struct CapsLockState {
    bool toggled = false;  // the lock is on
    bool held = false;     // the key is down at this moment
};

// Where the keyboard's state comes from: the X11 server in the running program, a fake in
// tests. Without one installed nothing is known and Caps Lock reads off.
class KeyboardState {
public:
    virtual ~KeyboardState() = default;
    virtual CapsLockState CapsLock() = 0;
};

// Installs the source; nullptr removes it. Returns the previous one.
std::shared_ptr<KeyboardState> SetKeyboardState(std::shared_ptr<KeyboardState> state);

// True exactly when Caps Lock is on and its key is not held down.
bool IsCapsLockOn();

}  // namespace corvane
