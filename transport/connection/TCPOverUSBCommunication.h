#pragma once
// The USB transport: a tunnel through usbmuxd to the phone app's port, length-framed encrypted
// messages from the phone, 200-byte command blocks to it. One blocking loop on the session
// thread waits on the tunnel and on a wake-up together: what the phone sends is read as it
// arrives, and a command left in the mailbox by another thread is sent at once.

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "transport/connection/SocketWaiter.h"
#include "transport/connection/UsbCommandMailbox.h"
#include "transport/connection/UsbTunnel.h"
#include "transport/connection/UsbVideoFetcher.h"
#include "transport/protocol/PhoneMessageDecryptor.h"
#include "transport/protocol/StreamDrops.h"
#include "transport/protocol/UsbMessageAssembler.h"
#include "transport/records/StreamInterfaces.h"

// Bounds on the waits of a session.
struct UsbTimeouts {
    std::chrono::milliseconds poll{500};           // the longest single wait; commands wake it
    std::chrono::milliseconds replySilence{3000};  // the connect reply: then the session ends
    std::chrono::milliseconds videoSilence{5000};  // a stalled video transfer ends
};

class TCPOverUSBCommunication final : public CaptureDataStreamDeviceInterface {
  public:
    static constexpr std::size_t kCommandBlockBytes = 200;
    static constexpr std::size_t kReceiveBytes = 4096;

    // drops: where the client counts what it drops; its own counter when null.
    TCPOverUSBCommunication(std::uint32_t port, std::unique_ptr<IDataHandler> handler,
                            UsbTimeouts timeouts = UsbTimeouts(),
                            StreamDropCounter* drops = nullptr);
    ~TCPOverUSBCommunication() override;
    TCPOverUSBCommunication(const TCPOverUSBCommunication&) = delete;
    TCPOverUSBCommunication& operator=(const TCPOverUSBCommunication&) = delete;

    void run() override;
    void start(bool withVideo) override;
    void pause() override;
    void saveCapture(std::string path, double startTime, double endTime) override;
    void stop() override;

  private:
    enum class SendResult { sent, tooLong, failed };

    std::optional<std::uint32_t> chooseDevice();
    bool handshake();
    void messageLoop();
    // Waits until the tunnel has something or a command is left, then receives what there is:
    // quiet when woken by a command or when the wait timed out.
    UsbTunnel::ReceiveStatus receiveOrWake(std::size_t& received);
    bool receiveOnce();  // false: the session has ended
    // Hands what one receive brought to the assembler; false (and told) when the stream can no
    // longer be followed.
    template <class OnPayload>
    bool feedReceived(std::size_t received, OnPayload&& onPayload);
    void leave(UsbCommand command);
    // False when the command ends the session.
    bool carryOut(const UsbCommand& command);
    SendResult sendCommandBlock(std::string_view text);
    void handlePayload(const std::uint8_t* payload, std::size_t length);
    void dropUndecryptable(std::size_t length);
    void reportOversized(std::size_t length);
    // The videos that the session's end keeps from arriving.
    void endVideos();

    std::unique_ptr<IDataHandler> handler_;
    std::uint32_t port_;
    UsbTimeouts timeouts_;
    StreamDropCounter ownDrops_;
    StreamDropCounter* drops_;  // not owned, or ownDrops_

    // Used by the session thread only.
    std::uint32_t deviceHandle_ = 0;
    UsbTunnel tunnel_;
    std::array<std::uint8_t, kReceiveBytes> chunk_{};
    UsbMessageAssembler assembler_;
    PhoneMessageDecryptor decryptor_{UsbMessageAssembler::kDefaultCapacity};
    // The paths of the saves that the phone has yet to answer, oldest first: each answer is for
    // the oldest one.
    std::deque<std::string> awaitedVideos_;
    UsbVideoFetcher videos_;

    UsbCommandMailbox mailbox_;  // the hand-over from other threads
    SocketWaiter wakeup_;        // woken by whoever leaves a command
};
