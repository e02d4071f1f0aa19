#pragma once

class QDialog;
class QWidget;

namespace corvane {

// Runs a dialog in its own event loop, counted, with the window it was
// opened for (its parent's window, or the active window for a box without a
// parent).
int RunNestedDialog(QDialog& dialog);

// How many counted dialogs run now, one inside another each counting.
int NestedDialogDepth();

// True while a loop runs beyond the program's main one: a counted dialog, or
// any other (a menu's exec, a drag, a modal window, a dialog of Qt's or the
// engine's). A window closed then may have its handler on the stack below.
bool NestedLoopRuns();

// For a window that must close now. With no nested loop running: false, and
// the caller closes it. Otherwise every dialog, menu and popup the window
// opened (one inside another too, and a box without a parent shown while one
// of them was the active window) is ended, innermost first, so that its loop
// returns; the window is hidden, and it is closed (and deleted later, when
// asked) once every nested loop has returned: true. A window is never freed
// under a loop that still runs on the stack of its handler.
bool CloseAfterNestedDialogs(QWidget* window, bool deleteAfter = false);

// A session's end: every dialog, menu, popup and drag in the process is
// ended, innermost first, whoever opened it; their loops return as the
// stack unwinds. A window that refuses to close stays.
void EndEveryDialog();

}  // namespace corvane
