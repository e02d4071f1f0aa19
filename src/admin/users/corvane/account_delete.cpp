#include "admin/users/corvane/account_delete.h"

#include <functional>
#include <vector>

#include "admin/users/corvane/user_activity.h"
#include "catalogue/user_permission.h"
#include "catalogue/user_program.h"
#include "catalogue/user_website.h"
#include "platform/core/error_trap.h"
#include "platform/core/raised_error.h"
#include "platform/settings/global_settings.h"
#include "recordstore/user.h"
#include "recordstore/user_member.h"

namespace corvane {
namespace {

// One link deleted: where, and the bytes it held.
struct Deleted {
    RecordTable* table;
    std::int32_t id;
    std::vector<std::uint8_t> bytes;
};

// Deletes the links of login in one link table as one change of it (one lock, one journal),
// noting each in done once it is written.
template <typename Link, typename Load, typename Links, typename Id>
void DeleteLinks(Link& table, const std::string& login, Load load, Links links, Id id, std::vector<Deleted>& done) {
    RecordTable::Change change(table);
    if (!(table.*load)(login)) return;
    std::vector<std::int32_t> ids;
    for (const auto& item : *(table.*links)()) ids.push_back(((*item).*id)());
    std::vector<Deleted> deleted;
    for (std::int32_t n : ids)
        if (auto bytes = table.DeleteValidRecord(n)) deleted.push_back({&table, n, std::move(*bytes)});
    change.Commit();
    for (Deleted& d : deleted) done.push_back(std::move(d));
}

// Puts the deleted links back, last first; how many could not be.
int PutBack(const std::vector<Deleted>& done) {
    int left = 0;
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
        try {
            it->table->RestoreDeleted(it->id, it->bytes);
        } catch (const RaisedError&) {
            ++left;
        }
    }
    return left;
}

}  // namespace

std::optional<std::string> DeleteAccountWithLinks(std::int32_t userId) {
    const std::optional<std::string> login = User().KeyAt(userId);
    if (!login) return std::nullopt;
    UserMember members;
    UserPermission permissions;
    UserWebsite websites;
    UserProgram programs;
    std::vector<Deleted> done;
    const std::function<void()> steps[] = {
        [&] { DeleteLinks(members, *login, &UserMember::LoadGroup, &UserMember::UserMembers, &UserMember::MemberID, done); },
        [&] {
            DeleteLinks(permissions, *login, &UserPermission::LoadPermissions, &UserPermission::UserPermissions,
                        &UserPermission::PermissionID, done);
        },
        [&] {
            DeleteLinks(websites, *login, &UserWebsite::LoadWebsites, &UserWebsite::UserWebsites,
                        &UserWebsite::WebsiteID, done);
        },
        [&] {
            DeleteLinks(programs, *login, &UserProgram::LoadPrograms, &UserProgram::UserPrograms,
                        &UserProgram::UserProgramID, done);
        },
    };
    try {
        for (const auto& step : steps) step();
        if (User().DeleteValidRecord(userId, *login)) return login;
    } catch (const RaisedError& e) {
        const int left = PutBack(done);
        if (left == 0) throw;
        // Some links could not be put back: the delete is finished instead, so that the
        // account does not stand with part of its links.
        try {
            for (const auto& step : steps) step();
            if (User().DeleteValidRecord(userId, *login)) return login;
        } catch (const RaisedError&) {
        }
        throw RaisedError(e.Number(), e.Source(),
                          e.Description() + " (the account " + *login + " was not deleted; " +
                              std::to_string(left) + " of its links were and could not be put back)");
    }
    // Renamed or deleted elsewhere meanwhile: its links go back as they were.
    if (const int left = PutBack(done); left > 0)
        throw RaisedError(kErrPathFileAccess, "DeleteAccountWithLinks",
                          "Path/File access error (the account " + *login + " changed meanwhile; " +
                              std::to_string(left) + " of its links were deleted and could not be put back)");
    return std::nullopt;
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
