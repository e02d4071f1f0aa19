#pragma once

class QDialog;
class QWidget;

namespace corvane {

// Runs a dialog in its own event loop, counted: while one runs, a window the
// session closes is not deleted under it (CloseAfterNestedDialogs).
int RunNestedDialog(QDialog& dialog);

// How many counted dialogs run now, one inside another each counting.
int NestedDialogDepth();

// For a window that must close now. With no counted dialog running: false,
// and the caller closes it. Otherwise every dialog the window opened (one
// inside another too, and a box without a parent shown while one of them was
// the active window) is rejected so that its loop returns, the window is
// hidden, and it is closed (and deleted later, when asked) once the last
// counted dialog has returned: true. A dialog on the stack of a window's
// handler is never freed with the window that way.
bool CloseAfterNestedDialogs(QWidget* window, bool deleteAfter = false);

}  // namespace corvane
