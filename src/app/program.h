#pragma once

namespace corvane {

// Wires the running program once the QApplication exists: the start-up
// services of Main (one copy per computer, the splash, the main form over
// the Security object and the desktop's tray), the real windows and the
// login, screenshots when CORVANE_SCREENSHOT_DIR is set, and the end of the
// program on SIGTERM, SIGINT or the desktop session's quit.
void InstallProgram();

// The main form is loaded: the program is running.
bool MainFormLoaded();

// Runs the main form's unload, which ends the program; before the main form
// exists it only asks the program to end.
void UnloadMainForm();

}  // namespace corvane
