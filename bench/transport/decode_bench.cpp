// Decoding data messages: the default face message (52 scalars, 2 vectors, 3 matrices) and a
// message that fills the whole 22001-value frame.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "BenchObserver.h"
#include "PhoneSim.h"
#include "transport/protocol/MocapDataHandler.h"

namespace {

void decode(benchmark::State& state, const ChannelNameLists& channels) {
    BenchObserver observer;
    auto handler = std::make_unique<MocapDataHandler>(&observer);
    handler->handleConnectReply(PhoneSim::channelListText(channels));
    const std::string message = PhoneSim::dataMessageText(channels, 12.5);
    for (auto _ : state) {
        handler->handleFrame(message);  // the copy is the transport's text, as in a session
        benchmark::DoNotOptimize(observer.latest.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * message.size()));
    state.counters["values"] = static_cast<double>(channels.flatValueCount());
}

void BM_DecodeFaceMessage(benchmark::State& state) {
    decode(state, PhoneSim::defaultChannels());
}
BENCHMARK(BM_DecodeFaceMessage);

// 3001 scalars, 1000 vectors and 1000 matrices: 3001 + 3000 + 16000 = 22001 values.
void BM_DecodeFullFrameMessage(benchmark::State& state) {
    ChannelNameLists channels;
    for (int i = 0; i < 3001; ++i) channels.scalars().push_back("scalar" + std::to_string(i));
    for (int i = 0; i < 1000; ++i) channels.vectors().push_back("vector" + std::to_string(i));
    for (int i = 0; i < 1000; ++i) channels.matrices().push_back("matrix" + std::to_string(i));
    decode(state, channels);
}
BENCHMARK(BM_DecodeFullFrameMessage)->Unit(benchmark::kMicrosecond);

}  // namespace
