#pragma once

namespace corvane {

// Puts the new-user wizard (frmWizard) and the user window (frmCorvane)
// behind the launchers' window registry, in place of their placeholders, and
// gives the user window its openers: the user editor and the set-password
// dialog through the registry, the Advanced tab's windows through their
// launchers. Called once at start-up.
void RegisterUserAdminWindows();

}  // namespace corvane
