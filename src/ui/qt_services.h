#pragma once

namespace corvane {

// Lets the core yield to the window event loop (processEvents).
void InstallEventLoopYield();

// Starts the window layer's services for the running program: the event-loop
// yield, the registry of loaded windows and the program's own message box.
// Call once, after the QApplication exists. Tests install only what they need.
void InstallWidgetServices();

}  // namespace corvane
