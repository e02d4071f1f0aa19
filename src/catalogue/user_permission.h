#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "recordstore/link_form.h"

namespace corvane {

class UserPermission;
// The permission links of one login or one permission, as LoadPermissions and LoadUsers hand
// them out.
using UserPermissions = LinkCollection<UserPermission>;

// Permission assignments, userpermissions.sec: slot 144 bytes, data 74; UserLogin 0/20,
// Permission 20/50, Active 70, Deleted 72. The key is the pair (Permission, UserLogin), blank
// only when both are; the identity PermissionID is the link's own record number, not the
// catalogue's. TableName "UserPermission". No record locks and no count member.
class UserPermission : public LinkForm<UserPermission> {
public:
    static constexpr const char* kCollectionName = "UserPermissions";

    UserPermission();
    static const RecordDescription& Table();

    // The collection the last LoadPermissions or LoadUsers built; null before the first.
    std::shared_ptr<corvane::UserPermissions> UserPermissions() const { return Links(); }
    void SetUserPermissions(std::shared_ptr<corvane::UserPermissions> v) { SetLinks(std::move(v)); }
    std::int32_t PermissionID() const { return Identity(); }
    void SetPermissionID(std::int32_t v) { SetIdentity(v); }
    // The permission's name.
    std::string Permission() const { return KeyText(); }
    void SetPermission(std::string v) { SetKeyText(std::move(v)); }

    // Load(strPermission, strUserLogin) and Exists(strPermission, strUserLogin): the
    // permission comes first.

    // Every valid link of the login into a new UserPermissions, in record order (see
    // UserMember::LoadGroup). Errors under UserPermission.LoadPermissions.
    bool LoadPermissions(std::string_view strUserLogin) {
        return LoadLinks("LoadPermissions", kUserLogin, strUserLogin);
    }
    // Every valid link of the permission, under UserPermission.LoadUsers.
    bool LoadUsers(std::string_view strPermission) { return LoadLinks("LoadUsers", kKey, strPermission); }
};

}  // namespace corvane
