#pragma once
// The phone's UDP endpoint from the address and port texts of a device node, resolved the one
// way that the Wi-Fi client and the connection check share.

#include <string>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>

// IPv4 only; the address may be a number or a host name, the port a number or a service name.
// Throws boost::system::system_error (operation "resolve") when it does not resolve.
// Whether the address is written as an IPv6 address ("fe80::1"): the phone is reached over IPv4
// only, so such an address never resolves, and saying why beats "does not resolve".
bool isIpv6Address(const std::string& address);

boost::asio::ip::udp::endpoint resolvePhoneEndpoint(boost::asio::io_context& loop,
                                                    const std::string& address,
                                                    const std::string& port);
