#pragma once

namespace corvane {

// Puts the real options window (frmMainOptions) behind the launchers' window
// registry, in place of its placeholder. Called once at start-up.
void RegisterOptionsWindows();

}  // namespace corvane
