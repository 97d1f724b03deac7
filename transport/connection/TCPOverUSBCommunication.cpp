#include "transport/connection/TCPOverUSBCommunication.h"

#include <usbmuxd.h>

#include <stdexcept>
#include <utility>

#include "transport/protocol/PhoneCommands.h"
#include "transport/protocol/TransportMessages.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kMaxTcpPort = 65535;

struct DeviceListDeleter {
    void operator()(usbmuxd_device_info_t* list) const { usbmuxd_device_list_free(&list); }
};

}  // namespace

TCPOverUSBCommunication::TCPOverUSBCommunication(std::uint32_t port,
                                                 std::unique_ptr<IDataHandler> handler,
                                                 UsbTimeouts timeouts, StreamDropCounter* drops)
    : handler_(std::move(handler)),
      port_(port),
      timeouts_(timeouts),
      drops_(drops ? drops : &ownDrops_),
      videos_(timeouts.poll, timeouts.videoSilence) {}

TCPOverUSBCommunication::~TCPOverUSBCommunication() {
    videos_.finish();
    tunnel_.close();
    handler_.reset();
}

void TCPOverUSBCommunication::leave(UsbCommand command) {
    mailbox_.leave(std::move(command));
    // After the command is in the mailbox: the loop takes every command after its wake-up.
    wakeup_.wake();
}

void TCPOverUSBCommunication::start(bool withVideo) {
    leave(UsbCommand(UsbCommand::Kind::start, withVideo));
}

void TCPOverUSBCommunication::pause() {
    leave(UsbCommand(UsbCommand::Kind::pause));
}

void TCPOverUSBCommunication::saveCapture(std::string path, double startTime, double endTime) {
    leave(UsbCommand(std::move(path), startTime, endTime));
}

void TCPOverUSBCommunication::stop() {
    leave(UsbCommand(UsbCommand::Kind::stop));
}

void TCPOverUSBCommunication::run() {
    if (port_ == 0 || port_ > kMaxTcpPort) {
        reportTransportMessage("USB port " + std::to_string(port_) + " is not a TCP port.");
        return;
    }
    const auto device = chooseDevice();
    if (!device) return;
    deviceHandle_ = *device;
    tunnel_ = UsbTunnel::connect(deviceHandle_, static_cast<unsigned short>(port_));
    if (!tunnel_.isOpen()) return;
    if (handshake()) messageLoop();
    endVideos();
    tunnel_.close();
}

void TCPOverUSBCommunication::endVideos() {
    videos_.finish();
    for (const std::string& path : awaitedVideos_) reportVideoNotReceived(path);
    awaitedVideos_.clear();
}

std::optional<std::uint32_t> TCPOverUSBCommunication::chooseDevice() {
    usbmuxd_device_info_t* rawList = nullptr;
    const int count = usbmuxd_get_device_list(&rawList);
    std::unique_ptr<usbmuxd_device_info_t, DeviceListDeleter> list(rawList);
    if (count < 0 || !list) return std::nullopt;
    // The last device with a product id is the one used.
    std::optional<std::uint32_t> chosen;
    for (int i = 0; i < count && list.get()[i].udid[0] != '\0'; ++i) {
        if (list.get()[i].product_id > 0) chosen = list.get()[i].handle;
    }
    return chosen;
}

template <class OnPayload>
bool TCPOverUSBCommunication::feedReceived(std::size_t received, OnPayload&& onPayload) {
    const auto result = assembler_.feed(chunk_.data(), received, std::forward<OnPayload>(onPayload),
                                        [this](std::size_t length) { reportOversized(length); });
    if (result != UsbMessageAssembler::FeedResult::lostStep) return true;
    reportTransportMessage(
        "The USB stream from the phone cannot be followed: a message header is not a length.");
    return false;
}

bool TCPOverUSBCommunication::handshake() {
    if (sendCommandBlock(kUsbConnectCommand) != SendResult::sent) return false;
    assembler_.reset();
    bool replied = false;
    bool accepted = false;
    auto lastHeard = Clock::now();
    while (!replied) {
        if (mailbox_.isStopPending()) return false;  // closed before the phone answered
        std::size_t received = 0;
        const auto status = receiveOrWake(received);
        if (status == UsbTunnel::ReceiveStatus::closed) {
            tunnel_.close();
            throw std::logic_error("connect failed");
        }
        if (status == UsbTunnel::ReceiveStatus::quiet) {
            if (Clock::now() - lastHeard >= timeouts_.replySilence) {
                reportTransportMessage("The phone did not answer the USB connect command.");
                return false;
            }
            continue;
        }
        lastHeard = Clock::now();
        // Messages behind the reply in the same receive are data messages.
        const bool followed =
            feedReceived(received, [&](const std::uint8_t* payload, std::size_t length) {
                if (replied) {
                    if (accepted) handlePayload(payload, length);
                    return;
                }
                std::string text;
                if (!decryptor_.decrypt(payload, length, text)) {
                    dropUndecryptable(length);
                    return;
                }
                replied = true;
                accepted = handler_->handleConnectReply(std::move(text));
            });
        if (!followed) return false;
    }
    return accepted;
}

void TCPOverUSBCommunication::messageLoop() {
    for (;;) {
        if (!receiveOnce()) return;
        while (auto command = mailbox_.take()) {
            if (!carryOut(*command)) return;
        }
    }
}

UsbTunnel::ReceiveStatus TCPOverUSBCommunication::receiveOrWake(std::size_t& received) {
    received = 0;
    const SocketWaiter::Ready ready = wakeup_.wait(tunnel_.socket(), timeouts_.poll);
    if (!ready.readable) return UsbTunnel::ReceiveStatus::quiet;
    // The tunnel has data or was closed: the receive returns at once either way.
    return tunnel_.receive(chunk_.data(), chunk_.size(), timeouts_.poll, received);
}

bool TCPOverUSBCommunication::receiveOnce() {
    std::size_t received = 0;
    const auto status = receiveOrWake(received);
    if (status == UsbTunnel::ReceiveStatus::closed) {
        reportTransportMessage("The phone closed the USB connection.");
        return false;
    }
    if (status != UsbTunnel::ReceiveStatus::data) return true;
    return feedReceived(received, [this](const std::uint8_t* payload, std::size_t length) {
        handlePayload(payload, length);
    });
}

bool TCPOverUSBCommunication::carryOut(const UsbCommand& command) {
    switch (command.kind) {
        case UsbCommand::Kind::start:
            return sendCommandBlock(startCommand(command.withVideo)) != SendResult::failed;
        case UsbCommand::Kind::pause:
            return sendCommandBlock(kPauseCommand) != SendResult::failed;
        case UsbCommand::Kind::save: {
            const auto result =
                sendCommandBlock(saveCaptureCommand(command.startTime, command.endTime));
            if (result == SendResult::sent) awaitedVideos_.push_back(command.path);
            if (result == SendResult::tooLong) reportVideoNotAsked(command.path);
            return result != SendResult::failed;
        }
        case UsbCommand::Kind::stop:
            sendCommandBlock(kStopCommand);
            return false;
    }
    return false;
}

TCPOverUSBCommunication::SendResult TCPOverUSBCommunication::sendCommandBlock(
    std::string_view text) {
    // The block always keeps at least one zero byte after the text.
    if (text.size() >= kCommandBlockBytes) {
        reportTransportMessage("A command of " + std::to_string(text.size()) +
                               " bytes does not fit a USB command block and was not sent.");
        return SendResult::tooLong;
    }
    std::array<std::uint8_t, kCommandBlockBytes> block{};
    std::copy(text.begin(), text.end(), block.begin());
    return tunnel_.sendAll(block.data(), block.size()) ? SendResult::sent : SendResult::failed;
}

void TCPOverUSBCommunication::handlePayload(const std::uint8_t* payload, std::size_t length) {
    std::string text;
    if (!decryptor_.decrypt(payload, length, text)) {
        dropUndecryptable(length);
        return;
    }
    if (isResetReply(text)) {
        // The rest of the receive is still handled; the loop then sends "stop".
        stop();
        return;
    }
    if (!awaitedVideos_.empty() && isVideoReply(text)) {
        std::string path = std::move(awaitedVideos_.front());
        awaitedVideos_.pop_front();
        if (isVideoCancelReply(text)) {
            reportVideoCancelled(path);
        } else if (const int port = videoReplyPort(text); port >= 0) {
            // Fetched beside the stream, after the videos offered before it.
            videos_.fetch(deviceHandle_, port, std::move(path));
        } else {
            reportVideoReplyUnusable(path, text);
        }
        return;
    }
    handler_->handleFrame(std::move(text));
}

void TCPOverUSBCommunication::dropUndecryptable(std::size_t length) {
    drops_->count(StreamDrop::undecryptable, "Dropped a USB message of " + std::to_string(length) +
                                                 " bytes that holds no message.");
}

void TCPOverUSBCommunication::reportOversized(std::size_t length) {
    drops_->count(StreamDrop::oversized, "Dropped a USB message of " + std::to_string(length) +
                                             " bytes: longer than the " +
                                             std::to_string(UsbMessageAssembler::kDefaultCapacity) +
                                             "-byte assembly buffer.");
}
