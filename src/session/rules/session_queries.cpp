#include "session/rules/session_queries.h"

#include <array>

#include "messages/message_catalogue.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "recordstore/user.h"

namespace corvane {
namespace {

// The activity codes' messages: users, groups, access levels, permissions,
// then print, set password and clearing the user log.
constexpr std::array<int, 15> kActivityMessages = {269, 270, 271, 272, 273, 274, 275, 276,
                                                   277, 278, 279, 280, 4,   303, 331};

}  // namespace

std::string GetCurrentGroup() {
    if (IsAdministrator(GetCurrentUser())) return "Administrators";
    if (text::TrimSpaces(gAuthenticatedGroup).empty()) return "Anonymous";
    return gAuthenticatedGroup;
}

bool IsAdministrator(const std::string& login) {
    bool administrator = false;
    User user;
    bool found = false;
    const bool ran = RunDecision("Functions.IsAdministrator", {
        [&] { found = user.Load(login); },
        [&] { administrator = found && user.IsAdministrator() != 0; },
    });
    return ran && administrator;
}

std::string GetActivityName(std::int32_t code, int language) {
    if (code < 0 || code >= static_cast<std::int32_t>(kActivityMessages.size())) return "";
    return GetMessageText(kActivityMessages[static_cast<std::size_t>(code)], language);
}

}  // namespace corvane
