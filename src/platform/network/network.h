#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

// What the network helpers ask of the system: host addresses and whether the
// machine is connected. Tests install a fake.
class NetworkPlatform {
public:
    virtual ~NetworkPlatform() = default;
    // The host's IPv4 addresses in the resolver's order; empty when unknown.
    virtual std::vector<std::array<std::uint8_t, 4>> ResolveIPv4(const std::string& host) = 0;
    // False when the machine has no connection; flags as Network reads them.
    virtual bool ConnectedState(std::uint32_t& flags) = 0;
};

// getaddrinfo for addresses; connected when an interface other than loopback
// is up and running with an address (a LAN connection), with the proxy flag
// when a proxy is configured in the environment.
std::unique_ptr<NetworkPlatform> MakeLinuxNetworkPlatform();
NetworkPlatform& CurrentNetworkPlatform();
void SetNetworkPlatform(std::shared_ptr<NetworkPlatform> platform);  // nullptr: Linux

// Connection state and name resolution. Needs no library start-up on Linux,
// so LastError stays empty.
class Network {
public:
    static constexpr std::uint32_t kModem = 0x1, kLan = 0x2, kProxy = 0x4, kRasInstalled = 0x10;

    const std::string& LastError() const { return lastError_; }

    // The host's IPv4 addresses, dotted, joined by CR LF; "<error>" when the
    // name cannot be resolved.
    std::string GetIPAddressFromHostName(const std::string& hostname) const;

    bool IsLanConnection() const { return Flags() & kLan; }
    bool IsModemConnection() const { return Flags() & kModem; }
    bool IsProxyConnection() const { return Flags() & kProxy; }
    bool IsRasInstalled() const { return Flags() & kRasInstalled; }
    bool IsNetConnected() const;

private:
    std::uint32_t Flags() const;
    std::string lastError_;
};

}  // namespace corvane
