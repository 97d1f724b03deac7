// USB framing: cutting a recorded stream of face messages, received in 4096-byte pieces, into
// messages; alone, and with decryption and decoding as the USB client does it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "BenchObserver.h"
#include "PhoneSim.h"
#include "transport/protocol/MocapDataHandler.h"
#include "transport/protocol/PhoneMessageDecryptor.h"
#include "transport/protocol/UsbMessageAssembler.h"

namespace {

constexpr std::size_t kReceiveBytes = 4096;
constexpr int kMessages = 256;

std::vector<std::uint8_t> recordedStream() {
    const auto channels = PhoneSim::defaultChannels();
    std::vector<std::uint8_t> stream;
    for (int i = 0; i < kMessages; ++i) {
        const auto framed = PhoneSim::usbFrame(
            PhoneSim::encryptMessage(PhoneSim::dataMessageText(channels, i / 60.0)));
        stream.insert(stream.end(), framed.begin(), framed.end());
    }
    return stream;
}

template <class OnPayload>
void feedInReceives(UsbMessageAssembler& assembler, const std::vector<std::uint8_t>& stream,
                    OnPayload&& onPayload) {
    for (std::size_t at = 0; at < stream.size(); at += kReceiveBytes) {
        const std::size_t size = std::min(kReceiveBytes, stream.size() - at);
        assembler.feed(stream.data() + at, size, onPayload, [](std::size_t) {});
    }
}

void BM_UsbFramingOnly(benchmark::State& state) {
    const auto stream = recordedStream();
    UsbMessageAssembler assembler;
    std::size_t messages = 0;
    for (auto _ : state) {
        feedInReceives(assembler, stream, [&](const std::uint8_t* payload, std::size_t) {
            benchmark::DoNotOptimize(payload);
            ++messages;
        });
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(messages));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_UsbFramingOnly);

void BM_UsbFramingDecryptDecode(benchmark::State& state) {
    const auto stream = recordedStream();
    BenchObserver observer;
    auto handler = std::make_unique<MocapDataHandler>(&observer);
    handler->handleConnectReply(PhoneSim::channelListText(PhoneSim::defaultChannels()));
    UsbMessageAssembler assembler;
    PhoneMessageDecryptor decryptor(UsbMessageAssembler::kDefaultCapacity);
    std::string text;
    for (auto _ : state) {
        feedInReceives(assembler, stream, [&](const std::uint8_t* payload, std::size_t length) {
            if (decryptor.decrypt(payload, length, text)) handler->handleFrame(std::move(text));
        });
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(observer.frames));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_UsbFramingDecryptDecode);

}  // namespace
