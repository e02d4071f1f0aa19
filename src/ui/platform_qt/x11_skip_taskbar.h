#pragma once

class QWindow;

namespace corvane {

// Asks the X11 window manager to leave the window off the task bar and the
// pager (_NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER); the window
// keeps its type and title bar. Before the window is mapped the two states
// join its _NET_WM_STATE property; once it is mapped they are asked for with a
// client message to the root window. False when the application does not run
// on X11 or the window has no native window yet.
bool X11SkipTaskbar(QWindow* window);

}  // namespace corvane
