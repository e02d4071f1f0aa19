#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "recordstore/link_form.h"

namespace corvane {

class UserMember;
// The memberships of one login or one group, as LoadGroup and LoadMembers hand them out.
using UserMembers = LinkCollection<UserMember>;

// Group memberships, members.sec: slot 84 bytes, data 44; UserLogin 0/20, Group 20/20,
// Active 40, Deleted 42. The key is the pair (Group, UserLogin), blank only when both are;
// the identity MemberID is the membership's own record number. TableName "UserMembership".
// No record locks and no count member.
class UserMember : public LinkForm<UserMember> {
public:
    static constexpr const char* kCollectionName = "UserMembers";

    UserMember();
    static const RecordDescription& Table();

    // The collection the last LoadGroup or LoadMembers built; null before the first.
    std::shared_ptr<corvane::UserMembers> UserMembers() const { return Links(); }
    void SetUserMembers(std::shared_ptr<corvane::UserMembers> v) { SetLinks(std::move(v)); }
    std::int32_t MemberID() const { return Identity(); }
    void SetMemberID(std::int32_t v) { SetIdentity(v); }
    std::string Group() const { return KeyText(); }
    void SetGroup(std::string v) { SetKeyText(std::move(v)); }

    // Load(strGroup, strUserLogin) and Exists(strGroup, strUserLogin): the group comes first.

    // Every valid membership of the login (trimmed, without letter case) into a new
    // UserMembers, in record order. Found: true, synchronised, the members hold the last
    // match. None: false, NoMatch. Either way the position ends past the last slot.
    // Error +8 under UserMember.LoadGroup (+11 when the file cannot be opened).
    bool LoadGroup(std::string_view strUserLogin) { return LoadLinks("LoadGroup", kUserLogin, strUserLogin); }
    // The same for every membership of one group, under UserMember.LoadMembers.
    bool LoadMembers(std::string_view strGroup) { return LoadLinks("LoadMembers", kKey, strGroup); }
};

}  // namespace corvane
