#include "platform/network/network.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

#include "platform/core/environment.h"

namespace corvane {
namespace {

class LinuxNetworkPlatform final : public NetworkPlatform {
public:
    std::vector<std::array<std::uint8_t, 4>> ResolveIPv4(const std::string& host) override {
        std::vector<std::array<std::uint8_t, 4>> addresses;
        if (host.empty()) return addresses;
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return addresses;
        for (const addrinfo* a = found; a; a = a->ai_next) {
            if (a->ai_family != AF_INET || !a->ai_addr) continue;
            const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
            std::array<std::uint8_t, 4> bytes{};
            std::memcpy(bytes.data(), &in->sin_addr.s_addr, 4);
            if (std::find(addresses.begin(), addresses.end(), bytes) == addresses.end())
                addresses.push_back(bytes);
        }
        freeaddrinfo(found);
        return addresses;
    }

    bool ConnectedState(std::uint32_t& flags) override {
        flags = 0;
        ifaddrs* list = nullptr;
        if (getifaddrs(&list) != 0) return false;
        bool connected = false;
        for (const ifaddrs* i = list; i; i = i->ifa_next) {
            if (!i->ifa_addr || (i->ifa_flags & IFF_LOOPBACK)) continue;
            if (!(i->ifa_flags & IFF_UP) || !(i->ifa_flags & IFF_RUNNING)) continue;
            const int family = i->ifa_addr->sa_family;
            if (family == AF_INET || family == AF_INET6) connected = true;
        }
        freeifaddrs(list);
        if (!connected) return false;
        flags |= Network::kLan;
        for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY"})
            if (!environment::Variable(name).empty()) flags |= Network::kProxy;
        return true;
    }
};

std::shared_ptr<NetworkPlatform>& Current() {
    static std::shared_ptr<NetworkPlatform> current;
    return current;
}

}  // namespace

std::unique_ptr<NetworkPlatform> MakeLinuxNetworkPlatform() {
    return std::make_unique<LinuxNetworkPlatform>();
}

NetworkPlatform& CurrentNetworkPlatform() {
    if (!Current()) Current() = MakeLinuxNetworkPlatform();
    return *Current();
}

void SetNetworkPlatform(std::shared_ptr<NetworkPlatform> platform) { Current() = std::move(platform); }

std::string Network::GetIPAddressFromHostName(const std::string& hostname) const {
    const auto addresses = CurrentNetworkPlatform().ResolveIPv4(hostname);
    if (addresses.empty()) return "<error>";
    std::string out;
    for (const auto& a : addresses) {
        if (!out.empty()) out += "\r\n";
        out += std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) +
               "." + std::to_string(a[3]);
    }
    return out;
}

bool Network::IsNetConnected() const {
    std::uint32_t flags = 0;
    return CurrentNetworkPlatform().ConnectedState(flags);
}

std::uint32_t Network::Flags() const {
    std::uint32_t flags = 0;
    CurrentNetworkPlatform().ConnectedState(flags);
    return flags;
}

}  // namespace corvane
