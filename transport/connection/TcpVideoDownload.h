#pragma once
// One video download of the Wi-Fi client: a TCP connection to the port that the phone offered,
// read to its end into the video file. Runs on the client's event loop; shared by its pending
// completions so that it outlives none of them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include "transport/connection/VideoFileWriter.h"

class TcpVideoDownload : public std::enable_shared_from_this<TcpVideoDownload> {
  public:
    explicit TcpVideoDownload(boost::asio::io_context& loop);

    // Opens the file and starts connecting. False when the file cannot be opened (nothing else
    // happens then).
    bool begin(const boost::asio::ip::tcp::endpoint& phone, const std::string& path);
    // Closes the connection, writes what was received and closes the file. Idempotent. False when
    // the file could not be written.
    bool finish();
    bool finished() const { return finished_; }
    // Ends a download that the phone has not finished yet, saying what was kept.
    void cutShort();

  private:
    void receiveNext();

    boost::asio::ip::tcp::socket socket_;
    std::array<std::uint8_t, 4096> chunk_{};
    VideoFileWriter file_;
    std::string path_;
    std::size_t received_ = 0;
    bool finished_ = false;
};
