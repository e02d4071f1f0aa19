#pragma once

namespace corvane {

// Puts the website and program catalogue windows (frmWebsites, frmPrograms)
// behind the launchers' window registry. Called once at start-up.
void RegisterCatalogueWindows();

}  // namespace corvane
