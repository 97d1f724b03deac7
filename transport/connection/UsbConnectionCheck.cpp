// The connection check over USB: usbmuxd, the phone it lists, the tunnel to the app's port, the
// connect command and the phone's answer, in the order a connection goes through them.

#include <usbmuxd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "transport/connection/ConnectionCheck.h"
#include "transport/connection/ReceivePort.h"
#include "transport/connection/TCPOverUSBCommunication.h"
#include "transport/connection/UsbTunnel.h"
#include "transport/protocol/PhoneCommands.h"
#include "transport/protocol/PhoneMessageDecryptor.h"
#include "transport/protocol/UsbMessageAssembler.h"

namespace {

using Clock = std::chrono::steady_clock;
using Outcome = CheckStep::Outcome;

struct DeviceListDeleter {
    void operator()(usbmuxd_device_info_t* list) const { usbmuxd_device_list_free(&list); }
};

CheckStep skipped(const char* name, const char* because) {
    return CheckStep{name, Outcome::skipped, because, ""};
}

bool sendBlock(UsbTunnel& tunnel, std::string_view text) {
    std::array<std::uint8_t, TCPOverUSBCommunication::kCommandBlockBytes> block{};
    std::copy(text.begin(), text.end(), block.begin());
    return tunnel.sendAll(block.data(), block.size());
}

}  // namespace

std::vector<CheckStep> checkUsbConnection(const ConnectionCheckSettings& settings) {
    std::vector<CheckStep> steps;
    const std::string socketName = usbmuxdSocketDescription();
    auto skipRest = [&](std::size_t from, const char* because) {
        const char* names[] = {"usbmuxd", "Device", "Tunnel", "Connect sent", "Answer"};
        for (std::size_t i = from; i < std::size(names); ++i)
            steps.push_back(skipped(names[i], because));
    };

    // 1. usbmuxd, and 2. the phone it lists.
    usbmuxd_device_info_t* rawList = nullptr;
    const int count = usbmuxd_get_device_list(&rawList);
    std::unique_ptr<usbmuxd_device_info_t, DeviceListDeleter> list(rawList);
    if (count < 0 || !list) {
        steps.push_back(CheckStep{
            "usbmuxd", Outcome::failed, "usbmuxd cannot be reached at " + socketName + ".",
            "on Linux install and start the usbmuxd service (the usbmuxd package; it starts when "
            "a phone is plugged in); on Windows install Apple's mobile device support (it comes "
            "with iTunes or the Apple Devices app); on macOS it is built in: plug the phone in "
            "again."});
        skipRest(1, "needs usbmuxd.");
        return steps;
    }
    steps.push_back(
        CheckStep{"usbmuxd", Outcome::ok, "usbmuxd answers at " + socketName + ".", ""});

    // The last device with a product id is the one a session uses.
    const usbmuxd_device_info_t* chosen = nullptr;
    int listed = 0;
    for (int i = 0; i < count && list.get()[i].udid[0] != '\0'; ++i) {
        if (list.get()[i].product_id == 0) continue;
        chosen = &list.get()[i];
        ++listed;
    }
    if (!chosen) {
        steps.push_back(CheckStep{"Device", Outcome::failed, "usbmuxd lists no phone.",
                                  "plug the phone in with a data cable, unlock it and answer "
                                  "\"Trust This Computer\" on it."});
        skipRest(2, "needs a phone.");
        return steps;
    }
    std::string device = "usbmuxd lists the phone " + std::string(chosen->udid);
    if (listed > 1)
        device += " (the last of " + std::to_string(listed) + " listed, which is the one used)";
    steps.push_back(CheckStep{"Device", Outcome::ok, device + ".", ""});
    const std::uint32_t handle = chosen->handle;

    // 3. The tunnel to the app's port.
    const std::string portText = std::to_string(settings.port);
    if (settings.port < 1 || settings.port > kLastPort) {
        steps.push_back(CheckStep{"Tunnel", Outcome::failed,
                                  settings.portName + " is " + portText + ", not a port.",
                                  "set it to the app's USB port (35602 unless the app says "
                                  "otherwise)."});
        skipRest(3, "needs a tunnel.");
        return steps;
    }
    UsbTunnel tunnel = UsbTunnel::connect(handle, static_cast<unsigned short>(settings.port));
    if (!tunnel.isOpen()) {
        steps.push_back(CheckStep{
            "Tunnel", Outcome::failed,
            "the phone refused a connection to port " + portText + " (" + settings.portName + ").",
            "open the app on the phone, on its streaming screen; check that " + settings.portName +
                " is the app's USB port."});
        skipRest(3, "needs a tunnel.");
        return steps;
    }
    steps.push_back(CheckStep{"Tunnel", Outcome::ok,
                              "usbmuxd opened a connection to port " + portText + " on the phone.",
                              ""});

    // 4. The connect command.
    if (!sendBlock(tunnel, kUsbConnectCommand)) {
        steps.push_back(CheckStep{
            "Connect sent", Outcome::failed,
            "\"" + std::string(kUsbConnectCommand) + "\" could not be sent: the tunnel closed.",
            "plug the phone in again and keep the app open."});
        skipRest(4, "the connect command was not sent.");
        return steps;
    }
    steps.push_back(
        CheckStep{"Connect sent", Outcome::ok,
                  "\"" + std::string(kUsbConnectCommand) + "\" went through the tunnel.", ""});

    // 5. The answer: the first whole message, within the time-out.
    UsbMessageAssembler assembler;
    PhoneMessageDecryptor decryptor(UsbMessageAssembler::kDefaultCapacity);
    std::array<std::uint8_t, TCPOverUSBCommunication::kReceiveBytes> chunk{};
    const Clock::time_point deadline = Clock::now() + settings.replyTimeout;
    std::optional<std::string> replyText;
    bool closed = false;
    bool lostStep = false;
    while (!replyText && !closed && !lostStep && Clock::now() < deadline) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        std::size_t received = 0;
        const auto status = tunnel.receive(chunk.data(), chunk.size(),
                                           std::max(left, std::chrono::milliseconds(1)), received);
        if (status == UsbTunnel::ReceiveStatus::closed) {
            closed = true;
        } else if (status == UsbTunnel::ReceiveStatus::data) {
            const auto result = assembler.feed(
                chunk.data(), received,
                [&](const std::uint8_t* payload, std::size_t length) {
                    std::string text;
                    if (!replyText && decryptor.decrypt(payload, length, text))
                        replyText = std::move(text);
                },
                [](std::size_t) {});
            lostStep = result == UsbMessageAssembler::FeedResult::lostStep;
        }
    }
    if (replyText) {
        const ConnectReply reply = readConnectReply(*replyText);
        if (reply.kind == ConnectReply::Kind::accepted) sendBlock(tunnel, kStopCommand);
        steps.push_back(answerStep(reply, ""));
        return steps;
    }
    CheckStep silent{"Answer", Outcome::failed, "", silentPhoneHints(settings, true, "")};
    if (closed) {
        silent.detail = "the phone closed the connection without an answer.";
    } else if (lostStep) {
        silent.detail = "what came back is not the app's message stream.";
    } else {
        const long long ms = settings.replyTimeout.count();
        silent.detail =
            "no answer within " +
            (ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms") + ".";
    }
    steps.push_back(silent);
    return steps;
}
