#pragma once

#include <cstdint>
#include <string>

#include "logs/current_user.h"

namespace corvane {

// The small questions about the session. gAuthenticated, gAuthenticatedUser,
// gAuthenticatedGroup and GetCurrentUser live in logs/current_user.h, where
// the log writers read them.

// "Administrators" when the current user is an administrator, otherwise the
// published group as it stands, or "Anonymous" when it is blank. Errors of
// the user table reach the caller.
std::string GetCurrentGroup();

// Whether the login (trimmed, letter case ignored) names an account with the
// administrator flag. Errors go to HandleError under
// "Functions.IsAdministrator"; the answer is then False.
bool IsAdministrator(const std::string& login);

// The display text of an activity code 0 to 14 (New User ... Clear User
// Log); "" for any other code.
std::string GetActivityName(std::int32_t code, int language);

}  // namespace corvane
