#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

// Status codes of the account calls.
inline constexpr std::int32_t kNerrSuccess = 0;
inline constexpr std::int32_t kNerrMoreData = 234;
inline constexpr std::int32_t kNerrNotSupported = 50;
inline constexpr std::int32_t kNerrGroupNotFound = 2220;

// One page of an account listing.
struct AccountPage {
    std::vector<std::string> names;
    std::uint32_t read = 0;   // entries in this page
    std::uint32_t total = 0;  // entries left from the page's start
};

// The user and global-group accounts of a server or domain ("" is this
// computer). The Linux one has no such accounts: every call answers "not
// supported" and lists nothing.
class NetworkAccounts {
public:
    virtual ~NetworkAccounts() = default;
    virtual std::int32_t GetDCName(const std::string& server, const std::string& domain,
                                   std::string& controller) = 0;
    // Normal user accounts, or the members of group when it is not "";
    // resume moves on with each page.
    virtual std::int32_t ListUsers(const std::string& server, const std::string& group,
                                   std::uint32_t& resume, AccountPage& page) = 0;
    // Global groups of the server, or of user when it is not "" (a listing
    // that cannot be resumed: one page only).
    virtual std::int32_t ListGroups(const std::string& server, const std::string& user,
                                    std::uint32_t& resume, AccountPage& page) = 0;
    virtual std::int32_t AddUser(const std::string& server, const std::string& user,
                                 const std::string& password, std::uint32_t& faultyParameter) = 0;
    virtual std::int32_t DeleteUser(const std::string& server, const std::string& user) = 0;
    virtual std::int32_t AddUserToGroup(const std::string& server, const std::string& group,
                                        const std::string& user) = 0;
    virtual std::int32_t DeleteUserFromGroup(const std::string& server, const std::string& group,
                                             const std::string& user) = 0;
};

std::unique_ptr<NetworkAccounts> MakeLinuxNetworkAccounts();
NetworkAccounts& CurrentNetworkAccounts();
void SetNetworkAccounts(std::shared_ptr<NetworkAccounts> accounts);  // nullptr: Linux

}  // namespace corvane
