#pragma once

namespace corvane {

// Puts the real user editor (frmUserDetails) and group members window (frmMembers) behind
// the launchers' window registry, in place of their placeholders. Called once at start-up.
void RegisterUserEditorWindows();

}  // namespace corvane
