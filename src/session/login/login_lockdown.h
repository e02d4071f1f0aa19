#pragma once

namespace corvane {

// The workstation lockdown the login window holds while it is loaded, as the
// login settings ask: the task bar and the desktop hidden, Task Manager
// locked. Apply notes what the workstation lockdown had already locked (the
// task bar of option 20, Task Manager of option 18) so that Undo lifts only
// what the login itself locked.
class LoginLockdown {
public:
    // In this order, each when its setting is on: hide the task bar, hide the
    // desktop, lock Task Manager. Each step carries on after an error.
    void Apply();
    // In this order: show the desktop, unlock Task Manager, show the task bar;
    // each only when Apply did it and the workstation lockdown had not. Once.
    void Undo();

private:
    bool applied_ = false;
    bool showDesktop_ = false;
    bool unlockTaskManager_ = false;
    bool showTaskbar_ = false;
};

// A screen rectangle in pixels.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PixelRect&) const = default;
};

// The rectangle the pointer is kept in: the window's place and size in twips
// turned into pixels with the screen's twips per pixel, each factor rounded
// to a whole number first and each quotient rounded.
PixelRect LoginClipRectangle(double leftTwips, double topTwips, double widthTwips,
                             double heightTwips, double twipsPerPixelX, double twipsPerPixelY);

}  // namespace corvane
