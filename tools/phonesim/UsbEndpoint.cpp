#include "UsbEndpoint.h"

#include <array>
#include <boost/asio/read.hpp>
#include <cstring>

#include "ChunkedWriter.h"
#include "MessageComposer.h"

namespace asio = boost::asio;
using asio::ip::tcp;

namespace {
constexpr std::size_t kCommandBlock = 200;
constexpr std::size_t kOversizedPayload = 2u << 20;
}  // namespace

class UsbSession : public AppSession {
  public:
    UsbSession(PhoneContext& context, tcp::socket socket, UsbEndpoint& owner)
        : AppSession(context, "usb"),
          socket_(std::make_shared<tcp::socket>(std::move(socket))),
          owner_(owner) {}

    void begin() {
        boost::system::error_code ignored;
        socket_->set_option(tcp::no_delay(true), ignored);  // keep the chosen cuts apart
        std::weak_ptr<AppSession> weak = weak_from_this();
        writer_ = std::make_shared<ChunkedWriter>(socket_, context_.options.usbChunking, [weak] {
            if (auto self = weak.lock()) static_cast<UsbSession&>(*self).end();
        });
        readBlock();
    }

    void close() override {
        AppSession::close();
        if (writer_) writer_->close();
        boost::system::error_code ignored;
        socket_->shutdown(tcp::socket::shutdown_both, ignored);
        socket_->close(ignored);
    }

  protected:
    void sendMessage(const std::string& text) override {
        std::vector<std::uint8_t> frame;
        appendUsbFrame(frame, encryptWith(context_.cipher, text));
        sendBytes(frame);
    }

    void afterDataMessage(std::uint64_t number) override {
        const PhoneSimOptions& options = context_.options;
        if (options.usbGarbage == UsbGarbage::none || garbageSent_ ||
            static_cast<long long>(number) < options.usbGarbageAfter)
            return;
        garbageSent_ = true;
        std::vector<std::uint8_t> garbage;
        std::size_t noise = 56;
        if (options.usbGarbage == UsbGarbage::badHeader) {
            const char header[] = "garbage!";
            garbage.assign(header, header + 8);
        } else {
            char header[16];
            std::snprintf(header, sizeof header, "%08zu", kOversizedPayload);
            garbage.assign(header, header + 8);
            noise = kOversizedPayload;
        }
        for (std::size_t i = 0; i < noise; ++i)
            garbage.push_back(static_cast<std::uint8_t>(i * 7 + 3));
        context_.log("usb: sending a broken stream");
        sendBytes(garbage);
    }

  private:
    void sendBytes(const std::vector<std::uint8_t>& bytes) {
        if (context_.options.recordUsbStream)
            context_.stats.recordUsbBytes(bytes.data(), bytes.size());
        writer_->append(bytes.data(), bytes.size());
    }

    void readBlock() {
        auto self = std::static_pointer_cast<UsbSession>(shared_from_this());
        asio::async_read(*socket_, asio::buffer(block_),
                         [self](const boost::system::error_code& error, std::size_t) {
                             if (error) {
                                 self->end();
                                 return;
                             }
                             const char* text = self->block_.data();
                             self->handleCommand(std::string(text, strnlen(text, kCommandBlock)));
                             self->readBlock();
                         });
    }

    void end() {
        if (ended_) return;
        ended_ = true;
        context_.log("usb: connection closed");
        close();
        owner_.forget(std::static_pointer_cast<UsbSession>(shared_from_this()));
    }

    std::shared_ptr<tcp::socket> socket_;  // shared with the writer's completions
    std::shared_ptr<ChunkedWriter> writer_;
    UsbEndpoint& owner_;
    std::array<char, kCommandBlock> block_{};
    bool garbageSent_ = false;
    bool ended_ = false;
};

UsbEndpoint::UsbEndpoint(PhoneContext& context, unsigned short port)
    : context_(context),
      acceptor_(context.io,
                tcp::endpoint(asio::ip::make_address(context.options.bindAddress), port)),
      port_(acceptor_.local_endpoint().port()) {}

void UsbEndpoint::begin() {
    acceptNext();
}

void UsbEndpoint::acceptNext() {
    acceptor_.async_accept([this](const boost::system::error_code& error, tcp::socket socket) {
        if (!acceptor_.is_open()) return;
        if (!error) {
            context_.log("usb: connection accepted");
            auto session = std::make_shared<UsbSession>(context_, std::move(socket), *this);
            sessions_.insert(session);
            session->begin();
        }
        acceptNext();
    });
}

void UsbEndpoint::closeSessions() {
    auto sessions = std::move(sessions_);
    sessions_.clear();
    for (const auto& session : sessions) session->close();
}

void UsbEndpoint::close() {
    boost::system::error_code ignored;
    acceptor_.close(ignored);
    closeSessions();
}

std::size_t UsbEndpoint::sendFrame(double timestamp) {
    std::size_t sent = 0;
    for (const auto& session : sessions_)
        if (session->sendFrameNow(timestamp)) ++sent;
    return sent;
}

void UsbEndpoint::forget(const std::shared_ptr<UsbSession>& session) {
    sessions_.erase(session);
}
