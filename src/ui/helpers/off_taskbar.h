#pragma once

#include <functional>

class QWidget;

namespace corvane {

// Keeps the window off the task bar and the pager where the window system
// takes such a request (X11; Wayland has none); it stays an ordinary window
// with its title bar. The request is made again each time the window shows,
// as the window manager forgets it when the window is hidden.
void KeepOffTaskbar(QWidget* window);

// What makes the request: the X11 one in the running program, a recorder in
// tests. Returns the one it replaces; an empty function restores the X11 one.
using TaskbarRequest = std::function<void(QWidget* window)>;
TaskbarRequest SetTaskbarRequest(TaskbarRequest request);

}  // namespace corvane
