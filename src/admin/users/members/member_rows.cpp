#include "admin/users/members/member_rows.h"

#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/core/error_trap.h"
#include "platform/core/text.h"
#include "recordstore/user.h"
#include "recordstore/user_member.h"

namespace corvane {
namespace {

// A login as Load compares it: trimmed, letter case folded, in the file's code page.
std::string LoginKey(std::string_view fileBytes) {
    std::string key(fileBytes);
    for (char& c : key) c = static_cast<char>(text::FoldByte(static_cast<unsigned char>(c)));
    return key;
}

}  // namespace

void LoadMemberRows(const std::string& groupName, const std::function<void(const MemberRow&)>& onRow) {
    // Two passes, one over each file: the group's logins in membership order, then the users
    // they name (the first record of a login wins, as a load finds it).
    std::vector<std::string> logins;
    std::unordered_map<std::string, std::optional<MemberRow>> users;
    RunTrapped("frmMembers.LoadMembers",
               {
                   [&] {
                       logins.clear();  // a retried step starts afresh
                       const std::string group = RecordEngine::MatchBytes(groupName);
                       UserMember memberships;
                       memberships.ScanValid([&](const SlotView& m) {
                           if (m.Equals(UserMember::kKey, group)) logins.push_back(LoginKey(m.Raw(UserMember::kUserLogin)));
                           return true;
                       });
                   },
                   [&] {
                       users.clear();
                       if (logins.empty()) return;
                       for (const auto& login : logins) users.try_emplace(login);
                       User table;
                       table.ScanValid([&](const SlotView& u) {
                           const auto found = users.find(LoginKey(u.Raw(User::kLogin)));
                           if (found != users.end() && !found->second)
                               found->second = MemberRow{u.Text(User::kLogin), u.Text(User::kName), u.RecordNumber()};
                           return true;
                       });
                   },
                   [&] {
                       for (const auto& login : logins)
                           if (const auto& row = users.at(login)) onRow(*row);
                   },
               });
}

}  // namespace corvane
