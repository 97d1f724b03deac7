#pragma once
// Serves the video: a fresh TCP listener per offer, one connection, the bytes, then close.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <vector>

class VideoServer;

class VideoServers {
  public:
    VideoServers(boost::asio::io_context& io, std::string bindAddress, std::size_t videoBytes,
                 long long stallAfter);
    // Opens a listener and returns its port; throws when it cannot listen.
    unsigned short offer();
    void closeAll();
    void forget(const std::shared_ptr<VideoServer>& server);

  private:
    boost::asio::io_context& io_;
    std::string bindAddress_;
    std::size_t videoBytes_;
    long long stallAfter_;
    std::set<std::shared_ptr<VideoServer>> servers_;
};

class VideoServer : public std::enable_shared_from_this<VideoServer> {
  public:
    VideoServer(boost::asio::io_context& io, const std::string& bindAddress, std::size_t bytes,
                long long stallAfter, VideoServers& owner);
    unsigned short port() const { return port_; }
    void begin();
    void close();

  private:
    void writeNext();
    void finish();

    boost::asio::ip::tcp::acceptor acceptor_;
    boost::asio::ip::tcp::socket socket_;
    boost::asio::steady_timer acceptDeadline_;
    std::size_t bytes_;
    std::size_t stallAt_;
    std::size_t sent_ = 0;
    unsigned short port_ = 0;
    std::vector<char> chunk_;
    VideoServers& owner_;
};
