#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

// A group member as the members window lists it.
struct MemberRow {
    std::string login;
    std::string name;
    std::int32_t userID = 0;
};

// The members of a group (its name trimmed, letter case aside) in membership-file order:
// one row for each membership whose login finds a user with a login. Errors go to
// HandleError under "frmMembers.LoadMembers"; the rows handed out before one stay handed out.
void LoadMemberRows(const std::string& groupName, const std::function<void(const MemberRow&)>& onRow);

}  // namespace corvane
