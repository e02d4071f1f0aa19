#include "logs/current_user.h"

#include <vector>

#include "platform/core/text.h"

namespace corvane {

std::string gAuthenticatedUser;
bool gAuthenticated = false;
std::string gAuthenticatedGroup;

namespace {
std::uint64_t gAuthenticationNumber = 0;
std::vector<std::function<void()>>& Listeners() {
    static std::vector<std::function<void()>> listeners;
    return listeners;
}
}  // namespace

void PublishAuthentication(bool authenticated, const std::string& user, const std::string& group) {
    gAuthenticated = authenticated;
    gAuthenticatedUser = user;
    gAuthenticatedGroup = group;
    ++gAuthenticationNumber;
    // A copy: a listener may add another.
    for (const auto& listener : std::vector(Listeners())) listener();
}

std::uint64_t AuthenticationNumber() { return gAuthenticationNumber; }

void OnAuthenticationPublished(std::function<void()> listener) { Listeners().push_back(std::move(listener)); }

std::string GetCurrentUser() {
    if (text::TrimSpaces(gAuthenticatedUser).empty()) return "Anonymous";
    return gAuthenticatedUser;
}

}  // namespace corvane
