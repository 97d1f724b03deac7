#pragma once
// A usbmuxd service for the real libusbmuxd client: a UNIX socket speaking the plist protocol
// (16-byte little-endian header, XML property list). Lists the configured devices and turns a
// Connect into a byte tunnel to a TCP port on this machine.

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/local/stream_protocol.hpp>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "PhoneContext.h"

class ByteRelay;
class UsbmuxdConnection;

class UsbmuxdStandIn {
  public:
    // Binds the socket at path (replacing a stale socket file); throws std::runtime_error.
    UsbmuxdStandIn(PhoneContext& context, std::string path);
    ~UsbmuxdStandIn();  // removes the socket file
    const std::string& path() const { return path_; }
    void begin();
    void close();

    // Used by the connections.
    PhoneContext& context() { return context_; }
    std::string tunnelAddress() const;
    void openTunnel(boost::asio::local::stream_protocol::socket client,
                    boost::asio::ip::tcp::socket phone);
    void forget(const std::shared_ptr<UsbmuxdConnection>& connection);

  private:
    void acceptNext();

    PhoneContext& context_;
    std::string path_;
    boost::asio::local::stream_protocol::acceptor acceptor_;
    std::set<std::shared_ptr<UsbmuxdConnection>> connections_;
    std::set<std::shared_ptr<ByteRelay>> relays_;
};
