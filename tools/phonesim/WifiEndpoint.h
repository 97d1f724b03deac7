#pragma once
// The Wi-Fi side of the app: one UDP socket; sessions keyed by the sender of their commands.

#include <array>
#include <boost/asio/ip/udp.hpp>
#include <map>
#include <memory>

#include "AppSession.h"

class WifiEndpoint {
  public:
    // Binds the socket; throws boost::system::system_error when it cannot.
    WifiEndpoint(PhoneContext& context, unsigned short port);
    unsigned short port() const { return port_; }
    void begin();
    void close();
    void forgetSessions();
    std::size_t sendFrame(double timestamp);

  private:
    void receiveNext();
    void handleDatagram(std::size_t size);

    PhoneContext& context_;
    std::shared_ptr<boost::asio::ip::udp::socket> socket_;  // shared with the sessions' sends
    unsigned short port_ = 0;
    std::array<char, 4096> datagram_{};
    boost::asio::ip::udp::endpoint sender_;
    std::map<boost::asio::ip::udp::endpoint, std::shared_ptr<AppSession>> sessions_;
};
