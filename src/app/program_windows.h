#pragma once

namespace corvane {

// Hands the launchers the real windows built so far; every other window
// opens as its placeholder. One line per window.
void RegisterProgramWindows();

}  // namespace corvane
