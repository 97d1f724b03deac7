#include "transport/connection/NetworkRoute.h"

#include <cstdint>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/system/error_code.hpp>

#ifdef _WIN32
#include <iphlpapi.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <vector>
#else
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#endif

namespace {

std::uint32_t maskOf(unsigned prefixLength) {
    return prefixLength == 0 ? 0u : ~std::uint32_t{0} << (32 - prefixLength);
}

#ifdef _WIN32
std::optional<unsigned> prefixLengthOf(const boost::asio::ip::address_v4& local) {
    ULONG size = 16 * 1024;
    std::vector<unsigned char> storage(size);
    auto* adapters = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(storage.data());
    ULONG result = GetAdaptersAddresses(AF_INET, 0, nullptr, adapters, &size);
    if (result == ERROR_BUFFER_OVERFLOW) {
        storage.resize(size);
        adapters = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(storage.data());
        result = GetAdaptersAddresses(AF_INET, 0, nullptr, adapters, &size);
    }
    if (result != NO_ERROR) return std::nullopt;
    for (auto* adapter = adapters; adapter; adapter = adapter->Next) {
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const auto* address = reinterpret_cast<const sockaddr_in*>(unicast->Address.lpSockaddr);
            if (address->sin_family != AF_INET) continue;
            if (ntohl(address->sin_addr.s_addr) == local.to_uint())
                return unicast->OnLinkPrefixLength;
        }
    }
    return std::nullopt;
}
#else
std::optional<unsigned> prefixLengthOf(const boost::asio::ip::address_v4& local) {
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) return std::nullopt;
    std::optional<unsigned> found;
    for (const ifaddrs* entry = interfaces; entry && !found; entry = entry->ifa_next) {
        if (!entry->ifa_addr || !entry->ifa_netmask || entry->ifa_addr->sa_family != AF_INET)
            continue;
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        if (ntohl(address->sin_addr.s_addr) != local.to_uint()) continue;
        const auto* mask = reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask);
        std::uint32_t bits = ntohl(mask->sin_addr.s_addr);
        unsigned length = 0;
        while (bits & 0x80000000u) {
            ++length;
            bits <<= 1;
        }
        found = length;
    }
    freeifaddrs(interfaces);
    return found;
}
#endif

}  // namespace

std::string LocalRoute::network() const {
    if (!prefixLength) return {};
    const boost::asio::ip::address_v4 base(localAddress.to_uint() & maskOf(*prefixLength));
    return base.to_string() + "/" + std::to_string(*prefixLength);
}

bool LocalRoute::sameSubnet(const boost::asio::ip::address_v4& address) const {
    if (!prefixLength) return false;
    const std::uint32_t mask = maskOf(*prefixLength);
    return (address.to_uint() & mask) == (localAddress.to_uint() & mask);
}

std::optional<LocalRoute> routeTo(const boost::asio::ip::address_v4& target, std::string& error) {
    // Connecting a datagram socket only asks the system for its route: nothing goes out.
    boost::asio::io_context loop;
    boost::asio::ip::udp::socket socket(loop);
    boost::system::error_code failure;
    socket.open(boost::asio::ip::udp::v4(), failure);
    if (!failure) socket.connect(boost::asio::ip::udp::endpoint(target, 9), failure);
    boost::asio::ip::udp::endpoint local;
    if (!failure) local = socket.local_endpoint(failure);
    if (failure) {
        error = failure.message();
        return std::nullopt;
    }
    LocalRoute route;
    route.localAddress = local.address().to_v4();
    route.prefixLength = prefixLengthOf(route.localAddress);
    return route;
}
