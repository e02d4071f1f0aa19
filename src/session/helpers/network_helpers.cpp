#include "session/helpers/network_helpers.h"

#include <cstdint>

#include "platform/core/environment.h"
#include "platform/network/network_resource.h"
#include "platform/system/process_spawn.h"

namespace corvane {
namespace {

constexpr std::int32_t kDomain = 1, kServer = 2, kGroup = 5, kNetwork = 6;

// One step of the walk; a failing step is skipped and the walk goes on.
template <typename F>
void Step(F&& step) {
    try {
        step();
    } catch (...) {
    }
}

void AddServers(NetworkResource& parent, NetworkResources& found) {
    Step([&] {
        for (const auto& child : parent.Nodes())
            if (child && child->ResourceType() == kServer) Step([&] { found.AddResource(child); });
    });
}

}  // namespace

std::shared_ptr<NetworkResources> GetNetworkComputers() {
    auto found = std::make_shared<NetworkResources>();
    Step([&] {
        NetworkResource top;
        for (const auto& entry : top.Nodes()) {
            if (!entry) continue;
            const std::int32_t type = entry->ResourceType();
            if (type != kNetwork && type != kDomain && type != kGroup) continue;
            AddServers(*entry, *found);
            Step([&] {
                for (const auto& child : entry->Nodes())
                    if (child && (child->ResourceType() == kDomain || type == kGroup)) AddServers(*child, *found);
            });
        }
    });
    return found;
}

void BroadcastNetMessage(const std::string& message) {
    Step([&] {
        const auto computers = GetNetworkComputers();
        const std::string self = GetLocalComputerName();
        for (const auto& computer : *computers) {
            Step([&] {
                const std::string name = computer->ShortName();
                if (name != self) SpawnProcess({"net", "send", name, message});
            });
        }
    });
}

}  // namespace corvane
