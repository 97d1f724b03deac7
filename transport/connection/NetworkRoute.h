#pragma once
// Which local address and network this computer uses to reach an IPv4 address, so that a
// connection check can tell whether the phone shares a subnet with it.

#include <optional>
#include <string>

#include <boost/asio/ip/address_v4.hpp>

struct LocalRoute {
    boost::asio::ip::address_v4 localAddress;
    // The network of the interface that holds localAddress; unset when it cannot be read.
    std::optional<unsigned> prefixLength;

    // "192.168.0.0/24", or empty without a prefix length.
    std::string network() const;
    // Whether address lies in that network; false without a prefix length.
    bool sameSubnet(const boost::asio::ip::address_v4& address) const;
};

// The route to target as the system would pick it for a datagram (nothing is sent). Unset, with
// the system's reason in error, when no network of this computer reaches target.
std::optional<LocalRoute> routeTo(const boost::asio::ip::address_v4& target, std::string& error);
