#include "transport/connection/UDPClient.h"

#include <algorithm>
#include <exception>
#include <utility>

#include <boost/asio/buffer.hpp>
#include <boost/asio/error.hpp>
#include <boost/asio/post.hpp>

#include "transport/connection/PhoneEndpoint.h"
#include "transport/connection/TcpVideoDownload.h"
#include "transport/protocol/PhoneCommands.h"
#include "transport/protocol/TransportMessages.h"

namespace {

using boost::asio::ip::tcp;
using boost::asio::ip::udp;

constexpr std::chrono::milliseconds kReceiveRetryDelay{100};
constexpr int kReceiveBufferBytes = 4 << 20;

std::string describe(const boost::system::error_code& error) {
    return std::string(error.category().name()) + ":" + std::to_string(error.value()) + " (" +
           error.message() + ")";
}

// A command the system would not send (no network, a broadcast address) is said, so that the
// time-out or the silence that follows has a reason.
void reportUnsent(const boost::system::error_code& error, const std::string& command,
                  const udp::endpoint& phone) {
    if (!error) return;
    reportTransportMessage("Could not send \"" + command + "\" to " + phone.address().to_string() +
                           ":" + std::to_string(phone.port()) + " (" + error.message() + ").");
}

}  // namespace

bool phoneAddressResolves(const std::string& address, const std::string& port) {
    return !resolvedPhoneAddress(address, port).empty();
}

std::string resolvedPhoneAddress(const std::string& address, const std::string& port) {
    try {
        boost::asio::io_context loop;
        const udp::endpoint phone = resolvePhoneEndpoint(loop, address, port);
        return phone.address().to_string() + ":" + std::to_string(phone.port());
    } catch (const boost::system::system_error&) {
        return "";
    }
}

UDPClient::UDPClient(std::string address, std::string port, std::unique_ptr<IDataHandler> handler,
                     unsigned short receivePort, StreamDropCounter* drops)
    : handler_(std::move(handler)),
      drops_(drops ? drops : &ownDrops_),
      address_(std::move(address)),
      socket_(loop_, udp::endpoint(udp::v4(), receivePort)),
      replyTimer_(loop_),
      retryTimer_(loop_) {
    phone_ = resolvePhoneEndpoint(loop_, address_, port);
    sender_ = phone_;
    localPort_ = socket_.local_endpoint().port();
    // Room for bursts while the session thread waits for a core; the system may grant less.
    boost::system::error_code ignored;
    socket_.set_option(udp::socket::receive_buffer_size(kReceiveBufferBytes), ignored);
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
                          [this, command](const boost::system::error_code& error, std::size_t) {
                              reportUnsent(error, *command, phone_);
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

bool UDPClient::acceptDatagram(const boost::system::error_code& error) {
    // Only the phone may feed the session: anyone on the network could send to this port. The
    // protocol has no authentication, so this keeps stray streams out, not a forger.
    if (sender_.address() != phone_.address()) {
        drops_->count(StreamDrop::foreignSender,
                      "Dropped a datagram from " + sender_.address().to_string() + ":" +
                          std::to_string(sender_.port()) + ": only the phone at " +
                          phone_.address().to_string() + " is listened to.");
        return false;
    }
    if (phonePortKnown_ && sender_.port() != phoneSourcePort_) {
        if (!strayPortReported_) {
            strayPortReported_ = true;
            reportTransportMessage("Datagrams from the phone's address but port " +
                                   std::to_string(sender_.port()) +
                                   " are dropped: the phone answered from port " +
                                   std::to_string(phoneSourcePort_) + ".");
        }
        drops_->count(StreamDrop::foreignSender,
                      "Dropped a datagram from another port than the phone's.");
        return false;
    }
    if (error == boost::asio::error::message_size) {
        drops_->count(StreamDrop::oversized, "Dropped a datagram longer than " +
                                                 std::to_string(kDatagramBytes) + " bytes unread.");
        return false;
    }
    return true;
}

bool UDPClient::decryptDatagram(std::size_t received, std::string& text) {
    if (decryptor_.decrypt(receiveBuffer_.data(), received, text)) return true;
    drops_->count(StreamDrop::undecryptable, "Dropped a datagram of " + std::to_string(received) +
                                                 " bytes that holds no message.");
    return false;
}

void UDPClient::onConnectReply(const boost::system::error_code& error, std::size_t received) {
    if (isStopped()) return;
    if (error && error != boost::asio::error::message_size) {
        // No further receive: the reply timer ends the session.
        reportTransportMessage(describe(error));
        return;
    }
    std::string text;
    if (!acceptDatagram(error) || !decryptDatagram(received, text)) {
        receive(ReceiveStep::connectReply);  // the reply timer keeps running
        return;
    }
    if (isDataMessage(text)) {
        if (!earlyDataReported_) {
            earlyDataReported_ = true;
            reportTransportMessage(
                "Dropped a data message that arrived before the answer to connect.");
        }
        receive(ReceiveStep::connectReply);  // the reply timer keeps running
        return;
    }
    replyTimer_.cancel();
    phonePortKnown_ = true;
    phoneSourcePort_ = sender_.port();
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
    if (!acceptDatagram(error) || !decryptDatagram(received, text)) {
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
    if (!awaitedVideos_.empty() && isVideoReply(text)) {
        const std::string path = std::move(awaitedVideos_.front());
        awaitedVideos_.pop_front();
        if (isVideoCancelReply(text)) {
            reportVideoCancelled(path);
        } else if (const int port = videoReplyPort(text); port >= 0) {
            startVideoDownload(port, path);
        } else {
            reportVideoReplyUnusable(path, text);
        }
        return;
    }
    handler_->handleFrame(std::move(text));
}

void UDPClient::startVideoDownload(int port, const std::string& path) {
    downloads_.erase(std::remove_if(downloads_.begin(), downloads_.end(),
                                    [](const auto& download) { return download->finished(); }),
                     downloads_.end());
    // The phone endpoint resolved at construction: the address text may be a host name.
    const tcp::endpoint phone(phone_.address(), static_cast<unsigned short>(port));
    auto download = std::make_shared<TcpVideoDownload>(loop_);
    if (download->begin(phone, path)) downloads_.push_back(std::move(download));
}

void UDPClient::finishVideoDownloads() {
    for (auto& download : downloads_) download->cutShort();
    downloads_.clear();
    for (const std::string& path : awaitedVideos_) reportVideoNotReceived(path);
    awaitedVideos_.clear();
}

void UDPClient::sendCommand(std::string text, std::function<void()> after) {
    // The socket belongs to the loop's thread: the send is started there.
    auto command = std::make_shared<std::string>(std::move(text));
    boost::asio::post(loop_, [this, command, after = std::move(after)]() mutable {
        socket_.async_send_to(boost::asio::buffer(*command), phone_,
                              [this, command, after = std::move(after)](
                                  const boost::system::error_code& error, std::size_t) {
                                  reportUnsent(error, *command, phone_);
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
    // The answer is awaited once the request is out; answers come in the order of the requests.
    sendCommand(saveCaptureCommand(startTime, endTime), [this, path = std::move(path)]() mutable {
        awaitedVideos_.push_back(std::move(path));
    });
}

void UDPClient::stop() {
    if (isStopped()) return;
    sendCommand(std::string(kStopCommand), [this] { endSession(); });
}
