// Fuzzes the USB stream from the phone as the USB client takes it: UsbMessageAssembler cuts the
// bytes into length-prefixed messages, PhoneMessageDecryptor turns each into its text, the first
// text is the connect reply and the rest go to MocapDataHandler.
//
// The input's first byte chooses how the stream is cut into receives; the rest is the stream.
// The same stream is also fed in the client's 4096-byte receives: both cuts must yield the same
// messages, as a receive may end anywhere.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "CheckingObserver.h"
#include "ReusedHandler.h"
#include "transport/connection/TCPOverUSBCommunication.h"
#include "transport/protocol/MocapDataHandler.h"
#include "transport/protocol/PhoneCommands.h"
#include "transport/protocol/PhoneMessageDecryptor.h"
#include "transport/protocol/UsbMessageAssembler.h"

namespace {

struct StreamEvent {
    bool oversized = false;
    std::string payload;  // or, when oversized, empty with length set
    std::size_t length = 0;
    bool operator==(const StreamEvent& other) const {
        return oversized == other.oversized && length == other.length && payload == other.payload;
    }
};

struct FeedOutcome {
    std::vector<StreamEvent> events;
    bool lost = false;
    bool betweenMessages = true;
};

// Receive sizes from 1 to 64 bytes, repeating a pattern that the selector picks.
std::size_t receiveSize(std::uint8_t selector, std::size_t receiveIndex) {
    const std::size_t step = 1u + (selector >> 4);
    return 1u + ((selector & 0x0fu) * 7u + receiveIndex * step) % 64u;
}

template <class NextSize>
FeedOutcome feedStream(UsbMessageAssembler& assembler, const std::uint8_t* data, std::size_t size,
                       NextSize nextSize) {
    assembler.reset();
    FeedOutcome outcome;
    std::size_t at = 0;
    for (std::size_t receive = 0; at < size; ++receive) {
        const std::size_t take = std::min(nextSize(receive), size - at);
        const auto result = assembler.feed(
            data + at, take,
            [&](const std::uint8_t* payload, std::size_t length) {
                StreamEvent event;
                event.payload.assign(reinterpret_cast<const char*>(payload), length);
                event.length = length;
                outcome.events.push_back(std::move(event));
            },
            [&](std::size_t length) {
                StreamEvent event;
                event.oversized = true;
                event.length = length;
                outcome.events.push_back(std::move(event));
            });
        at += take;
        if (result == UsbMessageAssembler::FeedResult::lostStep) {
            outcome.lost = true;
            break;
        }
    }
    outcome.betweenMessages = assembler.isBetweenMessages();
    return outcome;
}

bool sameOutcome(const FeedOutcome& a, const FeedOutcome& b) {
    // Messages completed before the stream was lost are the same; a lost stream holds an
    // unfinished header, so where it stands between messages is only compared otherwise.
    return a.events == b.events && a.lost == b.lost &&
           (a.lost || a.betweenMessages == b.betweenMessages);
}

// Hands the messages on as the client does: the connect reply first, then data messages until
// a "/reset". A video reply is taken from the first data message on, as after a save command.
void handOn(const std::vector<StreamEvent>& events, PhoneMessageDecryptor& decryptor,
            CheckingObserver& observer) {
    const ReusedHandler handler = makeReusedHandler(&observer);
    bool replied = false;
    bool awaitingVideo = true;
    std::string text;
    for (const auto& event : events) {
        if (event.oversized) continue;
        const auto* payload = reinterpret_cast<const std::uint8_t*>(event.payload.data());
        if (!decryptor.decrypt(payload, event.payload.size(), text)) continue;
        if (!replied) {
            replied = true;
            if (!handler->handleConnectReply(text)) return;
            continue;
        }
        if (isResetReply(text)) return;
        if (awaitingVideo && isVideoReply(text)) {
            awaitingVideo = false;
            if (!isVideoCancelReply(text)) {
                const int port = videoReplyPort(text);
                if (port < -1 || port > 65535) std::abort();
            }
            continue;
        }
        handler->handleFrame(text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // Sized like the client's, allocated once; reset before each stream.
    static UsbMessageAssembler clientCut;
    static UsbMessageAssembler fineCut;
    static PhoneMessageDecryptor decryptor(UsbMessageAssembler::kDefaultCapacity);
    CheckingObserver observer;

    const std::uint8_t selector = data[0];
    const std::uint8_t* stream = data + 1;
    const std::size_t streamSize = size - 1;
    const FeedOutcome client = feedStream(clientCut, stream, streamSize, [](std::size_t) {
        return TCPOverUSBCommunication::kReceiveBytes;
    });
    const FeedOutcome fine =
        feedStream(fineCut, stream, streamSize,
                   [selector](std::size_t receive) { return receiveSize(selector, receive); });
    if (!sameOutcome(client, fine)) {
        std::fprintf(stderr, "usb_stream: the messages depend on where the receives end\n");
        std::abort();
    }
    handOn(client.events, decryptor, observer);
    return 0;
}
