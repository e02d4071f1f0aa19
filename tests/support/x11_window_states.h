#pragma once

#include <QRect>
#include <QStringList>

class QWidget;

namespace corvane::test {

// The names in the window's _NET_WM_STATE property as the X server holds it,
// read over a connection of the test's own ("_NET_WM_STATE_SKIP_TASKBAR",
// ...); empty when there is no X server or no such property.
QStringList X11WindowStates(const QWidget* window);

// The window's outer rectangle on the root window as the X server holds it:
// the window manager's frame around it once it is framed (the root's child
// that holds the window), else the window itself. Invalid without X.
QRect X11FrameGeometry(const QWidget* window);

// The window's own rectangle (its client area) on the root window as the X
// server holds it. Invalid without X.
QRect X11ClientGeometry(const QWidget* window);

// Whether a window manager has taken the display (_NET_SUPPORTING_WM_CHECK
// on the root window).
bool X11WindowManagerRuns();

// Whether the application runs on X11 (the tests that read the server back
// skip themselves elsewhere).
bool RunsOnX11();

// Shows the window twice (hidden between) and checks that it asks to be left
// off the task bar and the pager each time while staying an ordinary window
// with a title bar: on X11 by reading both states back from the server, on
// any other platform through a recorder in place of the request.
void ExpectOffTheTaskbar(QWidget* window);

}  // namespace corvane::test
