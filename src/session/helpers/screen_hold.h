#pragma once

#include <cstdint>
#include <memory>

namespace corvane {

// What the window system gives a program that holds the screen for one of its
// windows: a cover over every screen beneath that window, the pointer kept
// inside it, every key sent to the program. The X11 server's in the running
// program, a fake in tests. Each take answers false where the window system
// refuses it (another client holds a grab, no X11 server).
class ScreenHold {
public:
    // A native window id (an X11 window).
    using WindowId = std::uintptr_t;
    // No window of the program's: the grabs then hold the whole screen (the
    // pointer moves freely, but every click and key is the program's).
    static constexpr WindowId kWholeScreen = 0;

    virtual ~ScreenHold() = default;
    // Covers every screen with windows of the program's own, above the desktop,
    // its panels and other programs' windows, below the given window and the
    // windows the program opens over it. While covered, a window another
    // program maps or raises is put back beneath the cover at once.
    virtual bool Cover(WindowId window) = 0;
    virtual void Uncover() = 0;
    // Keeps the pointer inside the window (an active pointer grab confined to it).
    // A grab the program holds already moves to the window at once, with no
    // moment between when the pointer is free; refused, it stays where it was.
    virtual bool GrabPointer(WindowId window) = 0;
    // Sends every key to the program while its window has the focus (an active
    // keyboard grab), so no key binding of the desktop fires. Moves like the
    // pointer's grab.
    virtual bool GrabKeyboard(WindowId window) = 0;
    // Ends both grabs; harmless when neither is held. The window system ends
    // a grab by itself when its window leaves the screen.
    virtual void Ungrab() = 0;
};

// Installs the window system's hold; nullptr removes it. Returns the previous one.
std::shared_ptr<ScreenHold> SetScreenHold(std::shared_ptr<ScreenHold> hold);
// The installed hold, or nullptr where the program runs on no window system
// that lets it hold the screen: every take is then refused.
std::shared_ptr<ScreenHold> CurrentScreenHold();

}  // namespace corvane
