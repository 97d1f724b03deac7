// Loopback latency from the phone stand-in's send to the frame being readable through
// readLatestFrame, for both transports. Reports the median and the 99th percentile, and where the
// time goes (medians): phone_send_us, the stand-in's own part (a hop to its thread, encryption,
// the send); arrival_us, from the send to the frame stored by the session thread (the kernel's
// loopback, the session's wake-up, decryption and decoding); handover_us, from the frame stored to
// the waiting reader running again.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "PhoneSim.h"
#include "transport/connection/NetworkConnectionClientProcess.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

void measure(benchmark::State& state, std::uint32_t kind) {
    PhoneSimOptions options;
    options.rate = 0;
    options.udpPort = kind == NetworkConnectionClientProcess::kWifiConnection ? 0 : -1;
    options.usbPort = kind == NetworkConnectionClientProcess::kUsbConnection ? 0 : -1;
    std::filesystem::path socketFolder;
    if (kind == NetworkConnectionClientProcess::kUsbConnection) {
        std::random_device seed;
        socketFolder =
            std::filesystem::temp_directory_path() / ("lmra-latency-" + std::to_string(seed()));
        std::filesystem::create_directories(socketFolder);
        options.usbmuxdSocket = (socketFolder / "usbmuxd.sock").string();
        ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + options.usbmuxdSocket).c_str(), 1);
    }
    PhoneSim phone(options);
    phone.start();
    const std::string port =
        std::to_string(kind == NetworkConnectionClientProcess::kWifiConnection ? phone.udpPort()
                                                                               : phone.usbPort());
    auto process = std::make_unique<NetworkConnectionClientProcess>();
    if (!process->beginConnection(kind, "127.0.0.1", port, nullptr) || !process->waitForReply(5s) ||
        process->rejectCode() != 0 || !process->startCapture(false) ||
        !phone.waitForCommand("start", 5s)) {
        state.SkipWithError("no session with the phone stand-in");
        return;
    }

    const std::size_t valueCount = PhoneSim::defaultChannels().flatValueCount();
    std::vector<double> frame(valueCount);
    std::vector<double> latencies, phoneSends, arrivals, handovers;
    const auto micro = [](Clock::duration d) {
        return std::chrono::duration<double, std::micro>(d).count();
    };
    std::uint64_t sent = 0;
    for (auto _ : state) {
        const double timestamp = static_cast<double>(sent + 1) / 64.0;
        const auto begun = Clock::now();
        phone.sendFrame(timestamp);
        const auto handed = Clock::now();
        ++sent;
        if (!process->waitForFrames(sent, 5s)) {
            state.SkipWithError("frame lost");
            break;
        }
        const auto woken = Clock::now();
        process->readLatestFrame(frame.data(), valueCount * sizeof(double));
        const auto elapsed = micro(Clock::now() - begun);
        state.SetIterationTime(elapsed / 1e6);
        latencies.push_back(elapsed);
        const StreamHealth health = process->health(woken);
        phoneSends.push_back(micro(handed - begun));
        arrivals.push_back(micro(health.newestArrival - begun));
        handovers.push_back(micro(woken - health.newestArrival));
        benchmark::DoNotOptimize(frame.data());
    }
    process->closeConnection();
    if (!socketFolder.empty()) std::filesystem::remove_all(socketFolder);
    if (latencies.empty()) return;
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    state.counters["phone_send_us"] = median(phoneSends);
    state.counters["arrival_us"] = median(arrivals);
    state.counters["handover_us"] = median(handovers);
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_us"] = latencies[latencies.size() / 2];
    state.counters["p99_us"] =
        latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
}

void BM_LoopbackLatencyWifi(benchmark::State& state) {
    measure(state, NetworkConnectionClientProcess::kWifiConnection);
}
BENCHMARK(BM_LoopbackLatencyWifi)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_LoopbackLatencyUsb(benchmark::State& state) {
    measure(state, NetworkConnectionClientProcess::kUsbConnection);
}
BENCHMARK(BM_LoopbackLatencyUsb)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);

}  // namespace
