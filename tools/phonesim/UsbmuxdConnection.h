#pragma once
// One client connection to the usbmuxd stand-in: requests and replies until a Connect turns it
// into a tunnel.

#include <array>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/local/stream_protocol.hpp>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PlistValue.h"

class UsbmuxdStandIn;

class UsbmuxdConnection : public std::enable_shared_from_this<UsbmuxdConnection> {
  public:
    UsbmuxdConnection(boost::asio::local::stream_protocol::socket socket, UsbmuxdStandIn& owner);
    void begin();
    void close();

  private:
    // Fills the buffer from the client, then goes on with then; a failed read ends the connection.
    void readExactly(boost::asio::mutable_buffer buffer, std::function<void()> then);
    void readHeader();
    void readBody(std::uint32_t bodyLength);
    void handleRequest(const std::string& body);
    void connectDevice(plist_t request);
    // Replies are queued and written in order; afterWritten runs once this one is written.
    void reply(plist_t message, std::function<void()> afterWritten = {});
    void replyResult(std::uint64_t number, std::function<void()> afterWritten = {});
    void writeNext();
    void becomeTunnel(std::shared_ptr<boost::asio::ip::tcp::socket> phone);
    void end();

    boost::asio::local::stream_protocol::socket socket_;
    UsbmuxdStandIn& owner_;
    std::array<std::uint8_t, 16> header_{};
    std::vector<char> body_;
    std::uint32_t tag_ = 0;
    std::deque<std::pair<std::string, std::function<void()>>> replies_;
    bool writing_ = false;
    bool ended_ = false;
};
