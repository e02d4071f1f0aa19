#pragma once

namespace corvane {

// Lets the core yield to the window event loop (processEvents).
void InstallEventLoopYield();

// Starts the window layer's services for the running program: the event-loop
// yield, the rule that keeps every window on screen, the registry of loaded windows, the program's own message box, and
// the error handler with its error dialog.
// Call once, after the QApplication exists. Tests install only what they need.
void InstallWidgetServices();

}  // namespace corvane
