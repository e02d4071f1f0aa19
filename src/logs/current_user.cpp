#include "logs/current_user.h"

#include "platform/core/text.h"

namespace corvane {

std::string gAuthenticatedUser;
bool gAuthenticated = false;
std::string gAuthenticatedGroup;

std::string GetCurrentUser() {
    if (text::TrimSpaces(gAuthenticatedUser).empty()) return "Anonymous";
    return gAuthenticatedUser;
}

}  // namespace corvane
