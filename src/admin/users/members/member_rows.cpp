#include "admin/users/members/member_rows.h"

#include <memory>

#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "recordstore/user.h"
#include "recordstore/user_member.h"

namespace corvane {

void LoadMemberRows(const std::string& groupName, const std::function<void(const MemberRow&)>& onRow) {
    UserMember memberships;
    bool found = false;
    RunTrapped("frmMembers.LoadMembers", {
                                             [&] { found = memberships.LoadMembers(groupName); },
                                             [&] {
                                                 if (!found || !memberships.UserMembers()) return;
                                                 for (const auto& membership : *memberships.UserMembers()) {
                                                     User user;
                                                     if (user.Load(membership->UserLogin()) &&
                                                         !text::Trim(user.Login()).empty())
                                                         onRow({user.Login(), user.Name(), user.UserID()});
                                                 }
                                             },
                                         });
}

}  // namespace corvane
