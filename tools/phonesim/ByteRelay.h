#pragma once
// Copies bytes both ways between a usbmuxd client's socket and a TCP connection, each read
// written on at once so that the sender's cuts survive as far as the kernel allows. A side that
// closes ends its direction only: the other side sees the end after every byte sent before it
// (a half close), and bytes that can no longer be delivered are read and dropped rather than
// left unread, which would reset the connection and lose what the closing side sent last. The
// relay closes when both directions have ended.

#include <array>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/local/stream_protocol.hpp>
#include <functional>
#include <memory>

class ByteRelay : public std::enable_shared_from_this<ByteRelay> {
  public:
    ByteRelay(boost::asio::local::stream_protocol::socket client,
              boost::asio::ip::tcp::socket phone,
              std::function<void(const std::shared_ptr<ByteRelay>&)> onClosed);
    void begin();
    void close();

  private:
    template <typename From, typename To, typename Buffer>
    void pump(From& from, To& to, Buffer& buffer, bool& ended);
    template <typename From, typename Buffer>
    void drain(From& from, Buffer& buffer, bool& ended);
    void endDirection(bool& ended);
    void finish();

    boost::asio::local::stream_protocol::socket client_;
    boost::asio::ip::tcp::socket phone_;
    std::array<char, 65536> toPhone_{};
    std::array<char, 65536> toClient_{};
    std::function<void(const std::shared_ptr<ByteRelay>&)> onClosed_;
    bool toPhoneEnded_ = false;
    bool toClientEnded_ = false;
    bool finished_ = false;
};
