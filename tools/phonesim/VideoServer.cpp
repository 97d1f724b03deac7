#include "VideoServer.h"

#include <algorithm>
#include <boost/asio/write.hpp>

#include "PhoneSim.h"

namespace asio = boost::asio;
using asio::ip::tcp;

namespace {
constexpr std::size_t kVideoChunk = 65536;
// A listener nobody connects to is given up after this long.
constexpr std::chrono::seconds kAcceptWindow{30};
}  // namespace

VideoServers::VideoServers(asio::io_context& io, std::string bindAddress, std::size_t videoBytes,
                           long long stallAfter)
    : io_(io),
      bindAddress_(std::move(bindAddress)),
      videoBytes_(videoBytes),
      stallAfter_(stallAfter) {}

unsigned short VideoServers::offer() {
    auto server = std::make_shared<VideoServer>(io_, bindAddress_, videoBytes_, stallAfter_, *this);
    servers_.insert(server);
    server->begin();
    return server->port();
}

void VideoServers::closeAll() {
    auto servers = std::move(servers_);
    servers_.clear();
    for (const auto& server : servers) server->close();
}

void VideoServers::forget(const std::shared_ptr<VideoServer>& server) {
    servers_.erase(server);
}

VideoServer::VideoServer(asio::io_context& io, const std::string& bindAddress, std::size_t bytes,
                         long long stallAfter, VideoServers& owner)
    : acceptor_(io, tcp::endpoint(asio::ip::make_address(bindAddress), 0)),
      socket_(io),
      acceptDeadline_(io),
      bytes_(bytes),
      stallAt_(stallAfter < 0 ? bytes : std::min(bytes, static_cast<std::size_t>(stallAfter))),
      port_(acceptor_.local_endpoint().port()),
      owner_(owner) {}

void VideoServer::begin() {
    auto self = shared_from_this();
    acceptDeadline_.expires_after(kAcceptWindow);
    acceptDeadline_.async_wait([self](const boost::system::error_code& error) {
        if (!error) self->finish();
    });
    acceptor_.async_accept(socket_, [self](const boost::system::error_code& error) {
        self->acceptDeadline_.cancel();
        boost::system::error_code ignored;
        self->acceptor_.close(ignored);  // one connection per offer
        if (error) {
            self->finish();
            return;
        }
        self->writeNext();
    });
}

void VideoServer::writeNext() {
    if (sent_ >= stallAt_) {
        // Stalled (or all sent): a stall keeps the connection open until close().
        if (sent_ >= bytes_) finish();
        return;
    }
    const std::size_t count = std::min(kVideoChunk, stallAt_ - sent_);
    chunk_.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        chunk_[i] = static_cast<char>(PhoneSim::videoByte(sent_ + i));
    auto self = shared_from_this();
    asio::async_write(socket_, asio::buffer(chunk_),
                      [self, count](const boost::system::error_code& error, std::size_t) {
                          if (error) {
                              self->finish();
                              return;
                          }
                          self->sent_ += count;
                          self->writeNext();
                      });
}

void VideoServer::close() {
    boost::system::error_code ignored;
    acceptDeadline_.cancel();
    acceptor_.close(ignored);
    socket_.close(ignored);
}

void VideoServer::finish() {
    boost::system::error_code ignored;
    if (socket_.is_open()) socket_.shutdown(tcp::socket::shutdown_send, ignored);
    close();
    owner_.forget(shared_from_this());
}
