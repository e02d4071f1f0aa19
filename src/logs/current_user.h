#pragma once

#include <string>

namespace corvane {

// The login of the authenticated user as the session publishes it for the whole program;
// empty while nobody is logged in. The session sets it at login and clears it at logout.
extern std::string gAuthenticatedUser;
// Whether somebody is logged in, and the group chosen at login (empty when none); published
// with gAuthenticatedUser, False and empty at start.
extern bool gAuthenticated;
extern std::string gAuthenticatedGroup;

// The current login: gAuthenticatedUser as it stands, or "Anonymous" when it is blank after
// trimming spaces. Never fails.
std::string GetCurrentUser();

}  // namespace corvane
