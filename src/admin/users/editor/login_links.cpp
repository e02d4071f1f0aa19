#include "admin/users/editor/login_links.h"

#include <cstdint>

#include "catalogue/user_permission.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "recordstore/user_member.h"

namespace corvane {

namespace {

// One link table from its first record to its last, rewriting the old login's links.
template <typename Links>
void MoveIn(const std::string& oldLogin, const std::string& newLogin, const std::string& place) {
    Links table;
    bool empty = true;
    if (!RunTrapped(place, {[&] { empty = table.IsEmpty(); }}) || empty) return;
    if (!RunTrapped(place, {[&] { table.MoveFirst(); }})) return;
    for (;;) {
        bool eof = true;
        bool moved = false;
        const bool carriedOn = RunTrapped(place, {
            [&] { eof = table.IsEOF(); },
            [&] {
                if (eof || !text::Equals(text::TrimSpaces(table.UserLogin()), oldLogin)) return;
                table.SetUserLogin(newLogin);
                table.SaveChanges();
            },
            [&] {
                if (eof) return;
                table.MoveNext();
                moved = true;
            },
        });
        // A walk that cannot step on would never end.
        if (!carriedOn || eof || !moved) break;
    }
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
