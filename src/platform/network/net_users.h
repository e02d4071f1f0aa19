#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// The user and global-group accounts of a server or domain, through the
// installed NetworkAccounts. Results of the account members are the status
// codes (0 success); failure texts go to LastError, which nothing clears.
class NetworkUsers {
public:
    std::int16_t UserCount = 0;
    std::string DomainName;
    std::string NTGroup;
    std::string UserList;                 // comma-separated, no trailing comma
    std::string PrimaryDomainController;  // "" for this computer

    const std::string& LastError() const { return lastError_; }

    std::string GetPrimaryDCName(const std::string& mName, const std::string& dName);
    std::string GetPDC(const std::string& strDomain);
    std::string GetUserGroupList(const std::string& strNTGroup);
    std::string GetAllUsers();
    // The number of normal user accounts; 0 when there are none.
    std::int32_t GetUserCount();
    // "True" when the user is one of NTGroup's members: whole names, without
    // regard to case ("ann" is not "joanne").
    std::string UserInGroup(const std::string& strUserName);

    std::int32_t EnumerateGroups(const std::string& sName, const std::string& uName);
    // Appends "name," for each account to users, removing the last comma when
    // the listing is complete.
    std::int32_t EnumerateUsers(const std::string& sName, const std::string& gName,
                                std::string& users);
    std::int32_t AddUser(const std::string& sName, const std::string& uName,
                         const std::string& pwd);
    std::int32_t DelUser(const std::string& sName, const std::string& uName);
    std::int32_t AddUserToGroup(const std::string& sName, const std::string& gName,
                                const std::string& uName);
    std::int32_t DelUserFromGroup(const std::string& sName, const std::string& gName,
                                  const std::string& uName);

private:
    std::string lastError_;
};

}  // namespace corvane
