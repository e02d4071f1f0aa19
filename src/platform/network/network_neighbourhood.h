#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

// One entry of the network neighbourhood: the whole network, a provider, a
// domain or workgroup, a server, a share or a printer.
struct NetResourceRecord {
    std::int32_t scope = 0, type = 0, displayType = 0, usage = 0;
    std::string localName, remoteName, comment, provider;
};

// Status codes of an enumeration.
inline constexpr std::int32_t kNetSuccess = 0;
inline constexpr std::int32_t kNetMoreData = 234;
inline constexpr std::int32_t kNetNoMoreItems = 259;
inline constexpr std::int32_t kNetNoNetwork = 1222;

class NetworkEnumeration {
public:
    virtual ~NetworkEnumeration() = default;
    // Success with the next entries (none when all were given), more data
    // (ask again), no more items, or another failure status.
    virtual std::int32_t Next(std::vector<NetResourceRecord>& entries) = 0;
};

// Browsing the neighbourhood. The Linux one has no neighbourhood to browse:
// every enumeration fails to open, so every resource has no children.
class NetworkNeighbourhood {
public:
    virtual ~NetworkNeighbourhood() = default;
    // The children of parent (a root has an empty record); none when the
    // enumeration cannot be opened.
    virtual std::unique_ptr<NetworkEnumeration> Open(std::int32_t scope, std::int32_t type,
                                                     std::int32_t usage,
                                                     const NetResourceRecord& parent) = 0;
};

std::unique_ptr<NetworkNeighbourhood> MakeLinuxNetworkNeighbourhood();
NetworkNeighbourhood& CurrentNetworkNeighbourhood();
void SetNetworkNeighbourhood(std::shared_ptr<NetworkNeighbourhood> neighbourhood);

}  // namespace corvane
