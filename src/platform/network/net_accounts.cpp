#include "platform/network/net_accounts.h"

namespace corvane {
namespace {

class LinuxNetworkAccounts final : public NetworkAccounts {
public:
    std::int32_t GetDCName(const std::string&, const std::string&, std::string& controller) override {
        controller.clear();
        return kNerrNotSupported;
    }
    std::int32_t ListUsers(const std::string&, const std::string&, std::uint32_t&,
                           AccountPage& page) override {
        page = {};
        return kNerrNotSupported;
    }
    std::int32_t ListGroups(const std::string&, const std::string&, std::uint32_t&,
                            AccountPage& page) override {
        page = {};
        return kNerrNotSupported;
    }
    std::int32_t AddUser(const std::string&, const std::string&, const std::string&,
                         std::uint32_t& faultyParameter) override {
        faultyParameter = 0;
        return kNerrNotSupported;
    }
    std::int32_t DeleteUser(const std::string&, const std::string&) override {
        return kNerrNotSupported;
    }
    std::int32_t AddUserToGroup(const std::string&, const std::string&, const std::string&) override {
        return kNerrNotSupported;
    }
    std::int32_t DeleteUserFromGroup(const std::string&, const std::string&,
                                     const std::string&) override {
        return kNerrNotSupported;
    }
};

std::shared_ptr<NetworkAccounts>& Current() {
    static std::shared_ptr<NetworkAccounts> current;
    return current;
}

}  // namespace

std::unique_ptr<NetworkAccounts> MakeLinuxNetworkAccounts() {
    return std::make_unique<LinuxNetworkAccounts>();
}

NetworkAccounts& CurrentNetworkAccounts() {
    if (!Current()) Current() = MakeLinuxNetworkAccounts();
    return *Current();
}

void SetNetworkAccounts(std::shared_ptr<NetworkAccounts> accounts) { Current() = std::move(accounts); }

}  // namespace corvane
