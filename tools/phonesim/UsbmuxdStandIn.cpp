#include "UsbmuxdStandIn.h"

#include <sys/stat.h>

#include <stdexcept>

#include "ByteRelay.h"
#include "UsbmuxdConnection.h"

namespace asio = boost::asio;
using asio::local::stream_protocol;

namespace {

// Only a socket file is replaced, never some other file that happens to sit at the path.
void removeStaleSocket(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return;
    if (!S_ISSOCK(status.st_mode))
        throw std::runtime_error("phonesim: usbmuxd socket path " + path +
                                 " exists and is not a socket");
    ::unlink(path.c_str());
}

stream_protocol::acceptor bindAcceptor(asio::io_context& io, const std::string& path) {
    if (path.size() >= sizeof(sockaddr_un::sun_path))
        throw std::runtime_error("phonesim: usbmuxd socket path too long: " + path);
    removeStaleSocket(path);
    try {
        return stream_protocol::acceptor(io, stream_protocol::endpoint(path));
    } catch (const boost::system::system_error& error) {
        throw std::runtime_error("phonesim: cannot listen on usbmuxd socket " + path + ": " +
                                 error.code().message());
    }
}

}  // namespace

UsbmuxdStandIn::UsbmuxdStandIn(PhoneContext& context, std::string path)
    : context_(context), path_(std::move(path)), acceptor_(bindAcceptor(context.io, path_)) {}

UsbmuxdStandIn::~UsbmuxdStandIn() {
    boost::system::error_code ignored;
    acceptor_.close(ignored);
    ::unlink(path_.c_str());
}

void UsbmuxdStandIn::begin() {
    acceptNext();
}

void UsbmuxdStandIn::acceptNext() {
    acceptor_.async_accept(
        [this](const boost::system::error_code& error, stream_protocol::socket socket) {
            if (!acceptor_.is_open()) return;
            if (!error) {
                auto connection = std::make_shared<UsbmuxdConnection>(std::move(socket), *this);
                connections_.insert(connection);
                connection->begin();
            }
            acceptNext();
        });
}

void UsbmuxdStandIn::close() {
    boost::system::error_code ignored;
    acceptor_.close(ignored);
    auto connections = std::move(connections_);
    connections_.clear();
    for (const auto& connection : connections) connection->close();
    auto relays = std::move(relays_);
    relays_.clear();
    for (const auto& relay : relays) relay->close();
}

std::string UsbmuxdStandIn::tunnelAddress() const {
    const std::string& bind = context_.options.bindAddress;
    return bind == "0.0.0.0" ? "127.0.0.1" : bind;
}

void UsbmuxdStandIn::openTunnel(stream_protocol::socket client, asio::ip::tcp::socket phone) {
    context_.log("usbmuxd: tunnel open");
    auto relay = std::make_shared<ByteRelay>(
        std::move(client), std::move(phone),
        [this](const std::shared_ptr<ByteRelay>& closed) { relays_.erase(closed); });
    relays_.insert(relay);
    relay->begin();
}

void UsbmuxdStandIn::forget(const std::shared_ptr<UsbmuxdConnection>& connection) {
    connections_.erase(connection);
}
