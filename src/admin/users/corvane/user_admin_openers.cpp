#include "admin/users/corvane/user_admin_openers.h"

#include <utility>

namespace corvane {
namespace {

UserAdminOpeners& Installed() {
    static UserAdminOpeners openers;
    return openers;
}

}  // namespace

UserAdminOpeners SetUserAdminOpeners(UserAdminOpeners openers) {
    return std::exchange(Installed(), std::move(openers));
}

const UserAdminOpeners& CurrentUserAdminOpeners() { return Installed(); }

}  // namespace corvane
