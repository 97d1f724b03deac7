#pragma once
// The local UDP port a Wi-Fi session receives on: 0 lets the system pick a free one, any other
// value is fixed so that a firewall can let exactly that port through.

#include <string>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>

constexpr int kAnyReceivePort = 0;
constexpr int kLastPort = 65535;

// Whether value is 0 (any free port) or a port from 1 to 65535.
constexpr bool isReceivePortSetting(int value) {
    return value >= kAnyReceivePort && value <= kLastPort;
}

struct ReceivePortBinding {
    bool bound = false;
    bool inUse = false;       // another socket holds the port
    unsigned short port = 0;  // the port bound (the one the system picked for 0)
    std::string reason;       // the system's words when not bound
};

// Opens socket and binds it to port on every IPv4 address of this computer.
ReceivePortBinding bindReceivePort(boost::asio::ip::udp::socket& socket, unsigned short port);
// The same with a socket that is closed again at once: whether a session could bind the port.
ReceivePortBinding probeReceivePort(unsigned short port);
