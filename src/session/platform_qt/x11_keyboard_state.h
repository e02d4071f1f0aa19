#pragma once

#include <memory>

#include "session/helpers/keyboard_state.h"

namespace corvane {

// Caps Lock as the X11 server of the running application reports it (locked and pressed
// modifiers of the core keyboard). Off when the application does not run on X11.
class X11KeyboardState : public KeyboardState {
public:
    CapsLockState CapsLock() override;
};

// Installs an X11KeyboardState as the program's keyboard source.
void InstallX11KeyboardState();

// Installs the keyboard source of the desktop the application runs on (the
// X11 server's on X11); true when one was installed.
bool InstallDesktopKeyboardState();

}  // namespace corvane
