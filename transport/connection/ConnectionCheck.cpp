#include "transport/connection/ConnectionCheck.h"

#include <cstdint>
#include <cstdlib>

#include "transport/messages/KindTexts.h"
#include "transport/protocol/HandlerObserver.h"
#include "transport/protocol/MocapDataHandler.h"
#include "transport/records/StreamInterfaces.h"

namespace {

const char* outcomeWord(CheckStep::Outcome outcome) {
    static constexpr const char* kWords[] = {"ok", "warning", "failed", "skipped"};
    return kindText(outcome, kWords, "");
}

// Keeps what the handler makes of the reply. Only the handler talks to it.
class ReplyObserver final : public HandlerObserver {
  public:
    std::uint32_t rejectCode() override { return rejectedWith; }

    bool setChannelLayout(ChannelNameLists&) override { return true; }
    bool acceptConnection(ChannelNameLists& names) override {
        channels = names;
        return true;
    }
    bool rejectConnection(std::uint32_t code) override {
        rejectedWith = code;
        return true;
    }
    std::uint64_t storeLatestFrame(const double*, std::uint64_t) override { return 0; }
    bool appendRecordedFrame(CaptureFrame&) override { return true; }

    ChannelNameLists channels;
    std::uint32_t rejectedWith = 0;
};

}  // namespace

std::string CheckStep::line() const {
    std::string text = name + ": " + outcomeWord(outcome) + ": " + detail;
    if (!next.empty()) text += " Next: " + next;
    return text;
}

std::string usbmuxdSocketDescription() {
    if (const char* address = std::getenv("USBMUXD_SOCKET_ADDRESS"); address && *address) {
        return std::string(address) + " (USBMUXD_SOCKET_ADDRESS)";
    }
#ifdef _WIN32
    return "127.0.0.1:27015";
#else
    return "/var/run/usbmuxd";
#endif
}

ConnectReply readConnectReply(std::string text) {
    ReplyObserver observer;
    MocapDataHandler handler(&observer);
    ConnectReply reply;
    if (handler.handleConnectReply(std::move(text))) {
        reply.kind = ConnectReply::Kind::accepted;
        reply.channels = std::move(observer.channels);
    } else {
        reply.kind = observer.rejectedWith == 1 ? ConnectReply::Kind::refused
                                                : ConnectReply::Kind::wrongScreen;
    }
    return reply;
}

CheckStep answerStep(const ConnectReply& reply, const std::string& from) {
    CheckStep step{"Answer", CheckStep::Outcome::ok, "", ""};
    switch (reply.kind) {
        case ConnectReply::Kind::accepted:
            step.detail = "the phone accepted the connection" +
                          (from.empty() ? std::string() : " (the answer came from " + from + ")") +
                          " and lists " + std::to_string(reply.channels.scalars().size()) +
                          " scalar, " + std::to_string(reply.channels.vectors().size()) +
                          " vector and " + std::to_string(reply.channels.matrices().size()) +
                          " matrix channels; the check ended that session again.";
            break;
        case ConnectReply::Kind::refused:
            step.outcome = CheckStep::Outcome::failed;
            step.detail = "the phone refused the connection (\"/reject\").";
            step.next =
                "end any other session that uses the app (or restart the app), keep the app on "
                "its streaming screen, and connect again.";
            break;
        case ConnectReply::Kind::wrongScreen:
            step.outcome = CheckStep::Outcome::failed;
            step.detail =
                "the phone refused the connection: the app is not on its streaming screen "
                "(\"/reject-wrong-screen\").";
            step.next = "open the app's streaming screen (the Streaming tab) and connect again.";
            break;
    }
    return step;
}

std::string silentPhoneHints(const ConnectionCheckSettings& settings, bool usb,
                             const std::string& receiveHint) {
    std::string hints = "open the app on the phone, unlock it and bring up its streaming screen; ";
    if (usb) {
        hints += "check that " + settings.portName + " (" + std::to_string(settings.port) +
                 ") is the app's USB port.";
        return hints;
    }
    return hints + receiveHint + "check that " + settings.portName + " (" +
           std::to_string(settings.port) + ") is the app's Wi-Fi port.";
}
