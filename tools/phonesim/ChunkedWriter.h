#pragma once
// Writes a byte stream to a TCP socket in writes cut at chosen stream positions.

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "PhoneSim.h"

class ChunkedWriter : public std::enable_shared_from_this<ChunkedWriter> {
  public:
    // onError is called once when a write fails.
    ChunkedWriter(std::shared_ptr<boost::asio::ip::tcp::socket> socket,
                  PhoneSimUsbChunking chunking, std::function<void()> onError);
    void append(const std::uint8_t* bytes, std::size_t count);
    void close();

  private:
    void writeNext();
    std::size_t nextWriteSize();

    std::shared_ptr<boost::asio::ip::tcp::socket> socket_;
    PhoneSimUsbChunking chunking_;
    std::function<void()> onError_;
    boost::asio::steady_timer pauseTimer_;
    std::vector<std::uint8_t> pending_;  // bytes not yet handed to the socket, from pendingStart_
    std::size_t pendingStart_ = 0;
    std::vector<std::uint8_t> writing_;  // the write in flight
    std::size_t sizeIndex_ = 0;
    std::size_t untilCut_ = 0;  // stream bytes left before the next cut; 0: take the next size
    bool busy_ = false;         // a write or a pause is in flight
    bool closed_ = false;
};
