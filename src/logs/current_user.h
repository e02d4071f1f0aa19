#pragma once

#include <string>

namespace corvane {

// The login of the authenticated user as the session publishes it for the whole program;
// empty while nobody is logged in. The session sets it at login and clears it at logout.
extern std::string gAuthenticatedUser;

// The current login: gAuthenticatedUser as it stands, or "Anonymous" when it is blank after
// trimming spaces. Never fails.
std::string GetCurrentUser();

}  // namespace corvane
