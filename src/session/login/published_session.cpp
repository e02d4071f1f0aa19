#include "session/login/published_session.h"

#include "platform/core/text.h"
#include "recordstore/user.h"

namespace corvane {

bool gAuthenticated = false;
std::string gAuthenticatedGroup;

std::string GetCurrentGroup() {
    User user;
    if (user.Load(GetCurrentUser()) && user.IsAdministrator() != 0) return "Administrators";
    if (text::Trim(gAuthenticatedGroup).empty()) return "Anonymous";
    return gAuthenticatedGroup;
}

}  // namespace corvane
