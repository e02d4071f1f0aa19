#pragma once

namespace corvane {

// Lets the core yield to the window event loop (processEvents).
void InstallEventLoopYield();

// Starts the window layer's services for the running program: the event-loop
// yield, the registry of loaded windows, the program's own message box, the
// desktop's opener for help files and the starting of programs. Call once,
// after the QApplication exists. Tests install only what they need.
void InstallWidgetServices();

}  // namespace corvane
