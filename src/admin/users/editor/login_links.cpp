#include "admin/users/editor/login_links.h"

#include "catalogue/user_permission.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "platform/core/text.h"
#include "recordstore/trapped_walk.h"
#include "recordstore/user_member.h"

namespace corvane {

namespace {

// One link table's links of the old login, found in one pass, rewritten to the new one.
template <typename Links>
void MoveIn(const std::string& oldLogin, const std::string& newLogin, const std::string& place) {
    RewriteMatching<Links>(
        place, Links::kUserLogin, [&](std::string_view login) { return text::Equals(text::TrimSpaces(login), oldLogin); },
        newLogin);
}

}  // namespace

void MoveLoginLinks(const std::string& oldLogin, const std::string& newLogin, const std::string& place) {
    const std::string from = text::Trim(oldLogin);
    const std::string to = text::Trim(newLogin);
    if (from == to || from.empty() || to.empty()) return;
    MoveIn<UserWebsite>(from, to, place);
    MoveIn<UserProgram>(from, to, place);
    MoveIn<UserPermission>(from, to, place);
    MoveIn<UserMember>(from, to, place);
}

}  // namespace corvane
