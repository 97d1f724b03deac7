#include "UDPClient.h"

#include <algorithm>
#include <exception>
#include <utility>

#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>
#include <boost/asio/post.hpp>

#include "PhoneCommands.h"
#include "PhoneEndpoint.h"
#include "TransportMessages.h"
#include "UdpVideoDownload.h"

namespace {

using boost::asio::ip::tcp;
using boost::asio::ip::udp;

constexpr std::chrono::milliseconds kReceiveRetryDelay{100};

std::string describe(const boost::system::error_code& error) {
    return std::string(error.category().name()) + ":" + std::to_string(error.value()) + " (" +
           error.message() + ")";
}

}  // namespace

bool phoneAddressResolves(const std::string& address, const std::string& port) {
    try {
        boost::asio::io_context loop;
        resolvePhoneEndpoint(loop, address, port);
        return true;
    } catch (const boost::system::system_error&) {
        return false;
    }
}

UDPClient::UDPClient(std::string address, std::string port, std::unique_ptr<IDataHandler> handler,
                     unsigned short receivePort)
    : handler_(std::move(handler)),
      address_(std::move(address)),
      socket_(loop_, udp::endpoint(udp::v4(), receivePort)),
      replyTimer_(loop_),
      retryTimer_(loop_) {
    phone_ = resolvePhoneEndpoint(loop_, address_, port);
    sender_ = phone_;
    localPort_ = socket_.local_endpoint().port();
}

UDPClient::~UDPClient() {
    try {
        socket_.close();
        replyTimer_.cancel();
        retryTimer_.cancel();
    } catch (const std::exception& error) {
        reportTransportMessage(error.what());
    }
    finishVideoDownloads();
    handler_.reset();
}

bool UDPClient::isStopped() {
    std::lock_guard<std::mutex> lock(stopMutex_);
    return stopped_;
}

void UDPClient::run() {
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stopped_ = false;
    }
    replyTimer_.expires_after(kReplyTimeout);
    replyTimer_.async_wait([this](const boost::system::error_code& error) {
        if (error == boost::asio::error::operation_aborted || isStopped()) return;
        endSession();  // no reply in time
    });

    auto command = std::make_shared<std::string>(wifiConnectCommand(localPort_));
    socket_.async_send_to(boost::asio::buffer(*command), phone_,
                          [this, command](const boost::system::error_code&, std::size_t) {
                              if (!isStopped()) receive(ReceiveStep::connectReply);
                          });
    loop_.run();
    finishVideoDownloads();
}

void UDPClient::endSession() {
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stopped_ = true;
    }
    replyTimer_.cancel();
    retryTimer_.cancel();
    loop_.stop();
}

void UDPClient::receive(ReceiveStep step) {
    socket_.async_receive_from(
        boost::asio::buffer(receiveBuffer_), sender_,
        [this, step](const boost::system::error_code& error, std::size_t received) {
            if (step == ReceiveStep::connectReply) {
                onConnectReply(error, received);
            } else {
                onMessage(error, received);
            }
        });
}

void UDPClient::onConnectReply(const boost::system::error_code& error, std::size_t received) {
    if (isStopped()) return;
    if (error && error != boost::asio::error::message_size) {
        // No further receive: the reply timer ends the session.
        reportTransportMessage(describe(error));
        return;
    }
    std::string text;
    if (!decryptor_.decrypt(receiveBuffer_.data(), received, text)) {
        reportTransportMessage("Dropped a datagram of " + std::to_string(received) +
                               " bytes that holds no message.");
        receive(ReceiveStep::connectReply);  // the reply timer keeps running
        return;
    }
    if (isDataMessage(text)) {
        reportTransportMessage("Dropped a data message that arrived before the answer to connect.");
        receive(ReceiveStep::connectReply);  // the reply timer keeps running
        return;
    }
    replyTimer_.cancel();
    if (handler_->handleConnectReply(std::move(text))) {
        receive(ReceiveStep::message);
    } else {
        endSession();  // refused
    }
}

void UDPClient::onMessage(const boost::system::error_code& error, std::size_t received) {
    if (isStopped()) return;
    if (error && error != boost::asio::error::message_size) {
        reportTransportMessage(describe(error));
        // Receive again a little later, so that an error that persists cannot spin the loop.
        retryTimer_.expires_after(kReceiveRetryDelay);
        retryTimer_.async_wait([this](const boost::system::error_code& waitError) {
            if (!waitError && !isStopped()) receive(ReceiveStep::message);
        });
        return;
    }
    std::string text;
    if (!decryptor_.decrypt(receiveBuffer_.data(), received, text)) {
        reportTransportMessage("Dropped a datagram of " + std::to_string(received) +
                               " bytes that holds no message.");
        receive(ReceiveStep::message);
        return;
    }
    if (isResetReply(text)) {
        endSession();
        return;
    }
    handleMessage(std::move(text));
    receive(ReceiveStep::message);
}

void UDPClient::handleMessage(std::string text) {
    if (awaitingVideo_ && isVideoReply(text)) {
        awaitingVideo_ = false;
        if (isVideoCancelReply(text)) {
            reportVideoCancelled(videoPath_);
            videoPath_.clear();
        } else if (const int port = videoReplyPort(text); port >= 0) {
            startVideoDownload(port);
        } else {
            reportVideoReplyUnusable(videoPath_, text);
        }
        return;
    }
    handler_->handleFrame(std::move(text));
}

void UDPClient::startVideoDownload(int port) {
    downloads_.erase(std::remove_if(downloads_.begin(), downloads_.end(),
                                    [](const auto& download) { return download->finished(); }),
                     downloads_.end());
    // The phone endpoint resolved at construction: the address text may be a host name.
    const tcp::endpoint phone(phone_.address(), static_cast<unsigned short>(port));
    auto download = std::make_shared<UdpVideoDownload>(loop_);
    if (download->begin(phone, videoPath_)) downloads_.push_back(std::move(download));
}

void UDPClient::finishVideoDownloads() {
    for (auto& download : downloads_) download->cutShort();
    downloads_.clear();
    if (awaitingVideo_) {
        reportVideoNotReceived(videoPath_);
        awaitingVideo_ = false;
    }
}

void UDPClient::sendCommand(std::string text, std::function<void()> after) {
    // The socket belongs to the loop's thread: the send is started there.
    auto command = std::make_shared<std::string>(std::move(text));
    boost::asio::post(loop_, [this, command, after = std::move(after)]() mutable {
        socket_.async_send_to(boost::asio::buffer(*command), phone_,
                              [command, after = std::move(after)](const boost::system::error_code&,
                                                                  std::size_t) {
                                  if (after) after();
                              });
    });
}

void UDPClient::start(bool withVideo) {
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stopped_ = false;
    }
    sendCommand(startCommand(withVideo), nullptr);
}

void UDPClient::pause() {
    if (isStopped()) return;
    sendCommand(std::string(kPauseCommand), nullptr);
}

void UDPClient::saveCapture(std::string path, double startTime, double endTime) {
    if (isStopped()) return;
    boost::asio::post(loop_, [this, path = std::move(path)]() mutable { videoPath_ = std::move(path); });
    sendCommand(saveCaptureCommand(startTime, endTime), [this] { awaitingVideo_ = true; });
}

void UDPClient::stop() {
    if (isStopped()) return;
    sendCommand(std::string(kStopCommand), [this] { endSession(); });
}
