#pragma once

#include <string>

#include "logs/current_user.h"  // gAuthenticatedUser, GetCurrentUser

namespace corvane {

// The session as the whole program sees it; written only by the Security
// object at the end of its login and logout.
extern bool gAuthenticated;
extern std::string gAuthenticatedGroup;

// "Administrators" for an administrator, the published group, or "Anonymous".
std::string GetCurrentGroup();

}  // namespace corvane
