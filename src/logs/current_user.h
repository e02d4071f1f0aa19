#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

// The login of the authenticated user as the session publishes it for the whole program;
// empty while nobody is logged in. The session sets it at login and clears it at logout.
extern std::string gAuthenticatedUser;
// Whether somebody is logged in, and the group chosen at login (empty when none); published
// with gAuthenticatedUser, False and empty at start.
extern bool gAuthenticated;
extern std::string gAuthenticatedGroup;

// Publishes the three values above (the session does, at the end of each login and log-off) and
// counts it, then tells the listeners: something kept for one login knows by the count that the
// login it was kept for has ended, also when the same account logs in again.
void PublishAuthentication(bool authenticated, const std::string& user, const std::string& group);
std::uint64_t AuthenticationNumber();
void OnAuthenticationPublished(std::function<void()> listener);

// The current login: gAuthenticatedUser as it stands, or "Anonymous" when it is blank after
// trimming spaces. Never fails.
std::string GetCurrentUser();

}  // namespace corvane
