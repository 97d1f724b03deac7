#pragma once
// Copies bytes both ways between a usbmuxd client's socket and a TCP connection, each read
// written on at once so that the sender's cuts survive as far as the kernel allows. Either side
// closing closes both, after the bytes already read have been written.

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/local/stream_protocol.hpp>
#include <array>
#include <functional>
#include <memory>

class ByteRelay : public std::enable_shared_from_this<ByteRelay> {
public:
    ByteRelay(boost::asio::local::stream_protocol::socket client, boost::asio::ip::tcp::socket phone,
              std::function<void(const std::shared_ptr<ByteRelay>&)> onClosed);
    void begin();
    void close();

private:
    template <typename From, typename To, typename Buffer>
    void pump(From& from, To& to, Buffer& buffer);
    void finish();

    boost::asio::local::stream_protocol::socket client_;
    boost::asio::ip::tcp::socket phone_;
    std::array<char, 65536> toPhone_{};
    std::array<char, 65536> toClient_{};
    std::function<void(const std::shared_ptr<ByteRelay>&)> onClosed_;
    bool finished_ = false;
};
