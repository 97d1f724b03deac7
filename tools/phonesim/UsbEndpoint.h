#pragma once
// The USB side of the app: a TCP listener; each connection is one session with 200-byte command
// blocks in and length-prefixed messages out.

#include <boost/asio/ip/tcp.hpp>
#include <memory>
#include <set>

#include "AppSession.h"

class UsbSession;

class UsbEndpoint {
  public:
    // Binds and listens; throws boost::system::system_error when it cannot.
    UsbEndpoint(PhoneContext& context, unsigned short port);
    unsigned short port() const { return port_; }
    void begin();
    void close();
    void closeSessions();
    std::size_t sendFrame(double timestamp);
    void forget(const std::shared_ptr<UsbSession>& session);

  private:
    void acceptNext();

    PhoneContext& context_;
    boost::asio::ip::tcp::acceptor acceptor_;
    unsigned short port_ = 0;
    std::set<std::shared_ptr<UsbSession>> sessions_;
};
