#include "platform/network/net_users.h"

#include <algorithm>

#include "platform/network/net_accounts.h"
#include "platform/core/text.h"

namespace corvane {
namespace {

std::string NoGlobalGroup(const std::string& group) {
    return "There is no **GLOBAL** group '" + group + "'";
}

void DropTrailingComma(std::string& list) {
    if (!list.empty() && list.back() == ',') list.pop_back();
}

}  // namespace

std::string NetworkUsers::GetPrimaryDCName(const std::string& mName, const std::string& dName) {
    std::string controller;
    const std::int32_t status = CurrentNetworkAccounts().GetDCName(mName, dName, controller);
    if (status != kNerrSuccess) {
        lastError_ = "Error: " + std::to_string(status);
        return {};
    }
    return controller.substr(0, controller.find('\0'));
}

std::string NetworkUsers::GetPDC(const std::string& strDomain) {
    DomainName = strDomain;
    PrimaryDomainController = GetPrimaryDCName("", strDomain);
    return PrimaryDomainController;
}

std::string NetworkUsers::GetUserGroupList(const std::string& strNTGroup) {
    UserList.clear();
    NTGroup = strNTGroup;
    EnumerateUsers(PrimaryDomainController, NTGroup, UserList);
    return UserList;
}

std::string NetworkUsers::GetAllUsers() {
    UserList.clear();
    EnumerateUsers(PrimaryDomainController, "", UserList);
    return UserList;
}

std::int32_t NetworkUsers::GetUserCount() {
    std::string users;
    EnumerateUsers(PrimaryDomainController, "", users);
    DropTrailingComma(users);
    if (users.empty()) return 0;
    std::int32_t count = 1;
    for (char c : users)
        if (c == ',') ++count;
    return count;
}

std::string NetworkUsers::UserInGroup(const std::string& strUserName) {
    UserList.clear();
    EnumerateUsers(PrimaryDomainController, NTGroup, UserList);
    DropTrailingComma(UserList);
    if (strUserName.empty()) return "False";
    std::size_t start = 0;
    while (start <= UserList.size()) {
        const auto comma = std::min(UserList.find(',', start), UserList.size());
        if (text::Equals(std::string_view(UserList).substr(start, comma - start), strUserName)) return "True";
        start = comma + 1;
    }
    return "False";
}

std::int32_t NetworkUsers::EnumerateUsers(const std::string& sName, const std::string& gName,
                                          std::string& users) {
    std::uint32_t resume = 0;
    for (;;) {
        AccountPage page;
        const std::int32_t status = CurrentNetworkAccounts().ListUsers(sName, gName, resume, page);
        if (status != kNerrSuccess && status != kNerrMoreData) {
            lastError_ = status == kNerrGroupNotFound
                             ? NoGlobalGroup(gName)
                             : "Error " + std::to_string(status) + " enumerating user " +
                                   std::to_string(page.read) + " of " + std::to_string(page.total);
            return status;
        }
        for (const auto& name : page.names) users += name + ",";
        // A page that brings nothing new would be asked for again forever.
        if (page.read == page.total || page.read == 0) {
            DropTrailingComma(users);
            return status;
        }
    }
}

std::int32_t NetworkUsers::EnumerateGroups(const std::string& sName, const std::string& uName) {
    std::uint32_t resume = 0;
    for (;;) {
        AccountPage page;
        const std::int32_t status = CurrentNetworkAccounts().ListGroups(sName, uName, resume, page);
        if (status != kNerrSuccess && status != kNerrMoreData) {
            lastError_ = "Error " + std::to_string(status) + " enumerating group " +
                         std::to_string(page.read) + " of " + std::to_string(page.total);
            return status;
        }
        // A user's groups cannot be resumed: asking again gives the same page.
        if (page.read == page.total || page.read == 0 || !uName.empty()) return status;
    }
}

std::int32_t NetworkUsers::AddUser(const std::string& sName, const std::string& uName,
                                   const std::string& pwd) {
    std::uint32_t faulty = 0;
    const std::int32_t status = CurrentNetworkAccounts().AddUser(sName, uName, pwd, faulty);
    if (status != kNerrSuccess)
        lastError_ = "Error " + std::to_string(status) + " in parameter " + std::to_string(faulty) +
                     " when adding user " + uName;
    return status;
}

std::int32_t NetworkUsers::DelUser(const std::string& sName, const std::string& uName) {
    return CurrentNetworkAccounts().DeleteUser(sName, uName);
}

std::int32_t NetworkUsers::AddUserToGroup(const std::string& sName, const std::string& gName,
                                          const std::string& uName) {
    const std::int32_t status = CurrentNetworkAccounts().AddUserToGroup(sName, gName, uName);
    if (status == kNerrGroupNotFound) lastError_ = NoGlobalGroup(gName);
    return status;
}

std::int32_t NetworkUsers::DelUserFromGroup(const std::string& sName, const std::string& gName,
                                            const std::string& uName) {
    const std::int32_t status = CurrentNetworkAccounts().DeleteUserFromGroup(sName, gName, uName);
    if (status == kNerrGroupNotFound) lastError_ = NoGlobalGroup(gName);
    return status;
}

}  // namespace corvane
