#include "platform/network/network_folders.h"

namespace corvane {
namespace {

class NoNetworkFolders final : public NetworkFolders {
public:
    bool List(const std::string&, std::vector<std::string>&, std::vector<std::string>&) override {
        return false;
    }
};

std::shared_ptr<NetworkFolders>& Current() {
    static std::shared_ptr<NetworkFolders> current;
    return current;
}

}  // namespace

NetworkFolders& CurrentNetworkFolders() {
    if (!Current()) Current() = std::make_shared<NoNetworkFolders>();
    return *Current();
}

void SetNetworkFolders(std::shared_ptr<NetworkFolders> folders) { Current() = std::move(folders); }

}  // namespace corvane
