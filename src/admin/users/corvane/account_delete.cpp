#include "admin/users/corvane/account_delete.h"

#include <vector>

#include "admin/users/corvane/user_activity.h"
#include "catalogue/user_permission.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "platform/core/error_trap.h"
#include "platform/core/raised_error.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"
#include "recordstore/tables_change.h"
#include "recordstore/user_member.h"

namespace corvane {
namespace {

// Deletes the links of login in one link table (inside the change of all of them).
template <typename Link, typename Load, typename Links, typename Id>
void DeleteLinks(Link& table, const std::string& login, Load load, Links links, Id id) {
    if (!(table.*load)(login)) return;
    std::vector<std::int32_t> ids;
    for (const auto& item : *(table.*links)()) ids.push_back(((*item).*id)());
    for (std::int32_t n : ids) table.DeleteValidRecord(n);
}

}  // namespace

std::optional<std::string> DeleteAccountWithLinks(std::int32_t userId) {
    User users;
    UserMember members;
    UserPermission permissions;
    UserWebsite websites;
    UserProgram programs;
    // The account and every link of its login as one commit: a cut anywhere leaves all or
    // nothing of it in every table.
    TablesChange change({&users, &members, &permissions, &websites, &programs});
    const std::optional<std::string> login = users.KeyAt(userId);
    if (!login) return std::nullopt;
    DeleteLinks(members, *login, &UserMember::LoadGroup, &UserMember::UserMembers, &UserMember::MemberID);
    DeleteLinks(permissions, *login, &UserPermission::LoadPermissions, &UserPermission::UserPermissions,
                &UserPermission::PermissionID);
    DeleteLinks(websites, *login, &UserWebsite::LoadWebsites, &UserWebsite::UserWebsites, &UserWebsite::WebsiteID);
    DeleteLinks(programs, *login, &UserProgram::LoadPrograms, &UserProgram::UserPrograms, &UserProgram::UserProgramID);
    // Renamed or deleted elsewhere meanwhile: nothing of it is written.
    if (!users.DeleteValidRecord(userId, *login)) return std::nullopt;
    change.Commit();
    return login;
}

void DeleteAccounts(const std::vector<std::int32_t>& userIds) {
    constexpr int kDeleteUsers = 271;
    for (std::int32_t userId : userIds) {
        // A record deleted elsewhere already leaves nothing to do.
        std::optional<std::string> login;
        const bool carriedOn = RunTrapped("frmCorvane.DeleteUsers",
                                          {[&] { login = DeleteAccountWithLinks(userId); },
                                           [&] {
                                               if (login) LogUserWindowActivity(kDeleteUsers, *login);
                                           }},
                                          gLanguage);
        if (!carriedOn) return;
    }
}

}  // namespace corvane
