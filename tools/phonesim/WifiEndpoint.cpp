#include "WifiEndpoint.h"

#include <cstdio>

#include "MessageComposer.h"

namespace asio = boost::asio;
using asio::ip::udp;

namespace {

class WifiSession : public AppSession {
  public:
    WifiSession(PhoneContext& context, std::shared_ptr<udp::socket> socket, udp::endpoint replyTo)
        : AppSession(context, "wifi"), socket_(std::move(socket)), replyTo_(replyTo) {}

  protected:
    void sendMessage(const std::string& text) override {
        sendBytes(std::make_shared<std::vector<std::uint8_t>>(encryptWith(context_.cipher, text)));
    }

    void beforeDataMessage(std::uint64_t number) override {
        const long long every = context_.options.garbageEvery;
        if (every <= 0 || number % static_cast<std::uint64_t>(every) != 0) return;
        sendBytes(std::make_shared<std::vector<std::uint8_t>>());
        sendBytes(std::make_shared<std::vector<std::uint8_t>>(5, 'j'));
        sendBytes(std::make_shared<std::vector<std::uint8_t>>(16 + 21, 0x5a));
    }

  private:
    void sendBytes(std::shared_ptr<std::vector<std::uint8_t>> bytes) {
        // The buffer lives in the completion until the send is done.
        socket_->async_send_to(asio::buffer(*bytes), replyTo_,
                               [bytes](const boost::system::error_code&, std::size_t) {});
    }

    std::shared_ptr<udp::socket> socket_;
    udp::endpoint replyTo_;
};

// The reply port of "connect -port P ..."; the sender's own port when there is none.
unsigned short replyPort(const std::string& command, unsigned short senderPort) {
    unsigned int port = 0;
    const auto at = command.find(" -port ");
    if (at != std::string::npos && std::sscanf(command.c_str() + at, " -port %u", &port) == 1 &&
        port > 0 && port <= 65535)
        return static_cast<unsigned short>(port);
    return senderPort;
}

}  // namespace

WifiEndpoint::WifiEndpoint(PhoneContext& context, unsigned short port)
    : context_(context),
      socket_(std::make_shared<udp::socket>(
          context.io, udp::endpoint(asio::ip::make_address(context.options.bindAddress), port))),
      port_(socket_->local_endpoint().port()) {}

void WifiEndpoint::begin() {
    receiveNext();
}

void WifiEndpoint::receiveNext() {
    socket_->async_receive_from(
        asio::buffer(datagram_), sender_,
        [this](const boost::system::error_code& error, std::size_t size) {
            if (error == asio::error::operation_aborted || !socket_->is_open()) return;
            if (!error || error == asio::error::message_size) handleDatagram(size);
            receiveNext();
        });
}

void WifiEndpoint::handleDatagram(std::size_t size) {
    const std::string text(datagram_.data(), size);
    if (text.rfind("connect", 0) == 0) {
        auto& session = sessions_[sender_];
        if (session) session->close();
        session = std::make_shared<WifiSession>(
            context_, socket_, udp::endpoint(sender_.address(), replyPort(text, sender_.port())));
        session->handleCommand(text);
        return;
    }
    const auto found = sessions_.find(sender_);
    if (found == sessions_.end()) {
        context_.stats.recordCommand(text);
        context_.log("wifi command: " + text + " (from an unknown sender, ignored)");
        return;
    }
    found->second->handleCommand(text);
}

void WifiEndpoint::forgetSessions() {
    for (auto& entry : sessions_) entry.second->close();
    sessions_.clear();
}

void WifiEndpoint::close() {
    forgetSessions();
    boost::system::error_code ignored;
    socket_->close(ignored);
}

std::size_t WifiEndpoint::sendFrame(double timestamp) {
    std::size_t sent = 0;
    for (auto& entry : sessions_)
        if (entry.second->sendFrameNow(timestamp)) ++sent;
    return sent;
}
