#pragma once

#include <memory>
#include <string>

#include "platform/network/network_resources.h"

namespace corvane {

// The servers of the network neighbourhood: those directly below each network, domain or
// group, and those below each domain of a network (and below every child of a group). An
// entry that cannot be enumerated, or a server met twice, is skipped. Never raises.
std::shared_ptr<NetworkResources> GetNetworkComputers();

// Sends the message to every computer found, except one whose short name is this computer's
// name exactly: `net send <computer> <message>` started as an argument list, never through a
// shell, without waiting. A computer that cannot be reached is skipped; nothing is reported.
void BroadcastNetMessage(const std::string& message);

}  // namespace corvane
