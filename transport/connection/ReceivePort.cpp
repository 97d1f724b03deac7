#include "transport/connection/ReceivePort.h"

#include <boost/asio/error.hpp>

ReceivePortBinding bindReceivePort(boost::asio::ip::udp::socket& socket, unsigned short port) {
    using boost::asio::ip::udp;
    ReceivePortBinding binding;
    boost::system::error_code error;
    socket.open(udp::v4(), error);
    if (!error) socket.bind(udp::endpoint(udp::v4(), port), error);
    udp::endpoint local;
    if (!error) local = socket.local_endpoint(error);
    if (error) {
        binding.inUse = error == boost::asio::error::address_in_use;
        binding.reason = error.message();
        binding.port = port;
        boost::system::error_code ignored;
        socket.close(ignored);
        return binding;
    }
    binding.bound = true;
    binding.port = local.port();
    return binding;
}

ReceivePortBinding probeReceivePort(unsigned short port) {
    boost::asio::io_context loop;
    boost::asio::ip::udp::socket socket(loop);
    return bindReceivePort(socket, port);
}
