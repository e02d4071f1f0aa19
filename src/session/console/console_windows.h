#pragma once

namespace corvane {

// Hands the launchers the secure console, the tip of the day and the about
// window, and ISetup.ShowAbout its window.
void RegisterConsoleWindows();

// The about window, modal; unloaded afterwards.
void ShowAboutWindow();

}  // namespace corvane
