#pragma once

#include <cstdint>

namespace corvane {

// Makes the network neighbourhood and the share folders browse through
// libsmbclient: the workgroups, their servers, the servers' shares and the
// folders on them. Signs in with the desktop user's Kerberos ticket or as
// guest; a share that wants a password cannot be opened. port 0 is the
// usual SMB port.
void InstallSmbNetwork(std::uint16_t port = 0);

}  // namespace corvane
