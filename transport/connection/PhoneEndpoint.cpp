#include "transport/connection/PhoneEndpoint.h"

#include <boost/asio/error.hpp>
#include <boost/asio/ip/address_v6.hpp>
#include <boost/system/system_error.hpp>

bool isIpv6Address(const std::string& address) {
    boost::system::error_code error;
    boost::asio::ip::make_address_v6(address, error);
    return !error;
}

boost::asio::ip::udp::endpoint resolvePhoneEndpoint(boost::asio::io_context& loop,
                                                    const std::string& address,
                                                    const std::string& port) {
    using boost::asio::ip::udp;
    udp::resolver resolver(loop);
    boost::system::error_code error;
    auto results =
        resolver.resolve(udp::v4(), address, port, udp::resolver::address_configured, error);
    if (error) {
        // A host with loopback only has no "configured" IPv4 address; a local phone still works.
        boost::system::error_code retryError;
        results = resolver.resolve(udp::v4(), address, port, retryError);
        if (retryError) throw boost::system::system_error(error, "resolve");
    }
    if (results.empty()) {
        throw boost::system::system_error(boost::asio::error::host_not_found, "resolve");
    }
    return results.begin()->endpoint();
}
