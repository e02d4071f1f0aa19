#include "platform/network/network_neighbourhood.h"

namespace corvane {
namespace {

class LinuxNetworkNeighbourhood final : public NetworkNeighbourhood {
public:
    std::unique_ptr<NetworkEnumeration> Open(std::int32_t, std::int32_t, std::int32_t,
                                             const NetResourceRecord&) override {
        return nullptr;
    }
};

std::shared_ptr<NetworkNeighbourhood>& Current() {
    static std::shared_ptr<NetworkNeighbourhood> current;
    return current;
}

}  // namespace

std::unique_ptr<NetworkNeighbourhood> MakeLinuxNetworkNeighbourhood() {
    return std::make_unique<LinuxNetworkNeighbourhood>();
}

NetworkNeighbourhood& CurrentNetworkNeighbourhood() {
    if (!Current()) Current() = MakeLinuxNetworkNeighbourhood();
    return *Current();
}

void SetNetworkNeighbourhood(std::shared_ptr<NetworkNeighbourhood> neighbourhood) {
    Current() = std::move(neighbourhood);
}

}  // namespace corvane
