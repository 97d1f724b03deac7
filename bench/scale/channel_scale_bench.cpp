// How the plug-in's cost grows with the number of channels, through the plug-in in the headless
// host against phonesim:
//   - establishConnection over USB (usbmuxd stand-in) and over Wi-Fi, from the command to
//     "Connection established." with every channel output built;
//   - loadClipFromFile of a clip with 50000 scalar channels;
//   - one live frame: from the phone's send until every channel output of the node shows it,
//     read as a rig reads them, one plug at a time.
// Time is wall-clock; CPU is the whole process's (phonesim runs in it too, composing and
// encrypting the phone's messages); main_thread_cpu_ms is what the step kept Maya's main thread
// busy. Goals on an idle machine: 22001 channels connect over USB in under 1 s, the 50000-channel
// clip loads in under 2 s, and live values reach every output at every size up to the frame limit
// over USB (over Wi-Fi, up to what one datagram carries).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>

#include <headless/MainLoop.h>
#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "MessageComposer.h"
#include "PhoneSim.h"
#include "clip/format/ClipWriter.h"
#include "support/TemporaryFolder.h"
#include "transport/cipher/AesCbcCipher.h"
#include "transport/records/CaptureRecords.h"

namespace {

constexpr std::size_t kFrameValueLimit = 22001;
constexpr std::size_t kClipChannels = 50000;
constexpr std::size_t kLargestDatagram = 65507;

void ensure(bool condition, const std::string& what) {
    if (!condition) throw std::runtime_error(what);
}

// CPU time of the calling thread (Maya's main thread in these runs).
double threadCpuMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Adds the main thread's CPU time of a timed step to the counter "main_thread_cpu_ms".
class MainThreadCpu {
  public:
    explicit MainThreadCpu(double& total) : total_(total), start_(threadCpuMilliseconds()) {}
    ~MainThreadCpu() { total_ += threadCpuMilliseconds() - start_; }
    MainThreadCpu(const MainThreadCpu&) = delete;
    MainThreadCpu& operator=(const MainThreadCpu&) = delete;

  private:
    double& total_;
    double start_;
};

void reportMainThreadCpu(benchmark::State& state, double total) {
    state.counters["main_thread_cpu_ms"] =
        benchmark::Counter(total, benchmark::Counter::kAvgIterations);
}

void run(const std::string& script) {
    ensure(headless::runScript(script, {true, false}).ok(), "failed: " + script);
}

ChannelNameLists scalarChannels(std::size_t count) {
    ChannelNameLists names;
    for (std::size_t k = 0; k < count; ++k)
        names.scalars().push_back("channel" + std::to_string(k));
    return names;
}

// Bytes of an encrypted data message: the IV, then the text padded to whole blocks.
std::size_t datagramBytes(std::size_t channels) {
    const std::size_t text = composeDataMessage(scalarChannels(channels), 12345.5, false).size();
    return 16 + (text + 15) / 16 * 16;
}

// The most scalar channels whose data message fits in one UDP datagram.
std::size_t largestWifiChannelCount() {
    std::size_t low = 1;
    std::size_t high = kFrameValueLimit;
    while (low < high) {
        const std::size_t middle = (low + high + 1) / 2;
        if (datagramBytes(middle) <= kLargestDatagram) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

// Removed with everything in it when the program ends.
const TemporaryFolder& scratchFolder() {
    static const TemporaryFolder folder;
    return folder;
}

void loadPlugin() {
    headless::setEchoScriptOutput(false);
    if (headless::isPluginLoaded("lumoraMocap")) return;
    std::string error;
    ensure(headless::loadPlugin("lumoraMocap", &error), error);
}

// A phone listing `channels` scalar channels, on Wi-Fi and behind a usbmuxd stand-in.
std::unique_ptr<PhoneSim> startPhone(std::size_t channels) {
    PhoneSimOptions options;
    options.udpPort = 0;
    options.usbPort = 0;
    options.usbmuxdSocket = scratchFolder().file("usbmuxd.sock");
    ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + options.usbmuxdSocket).c_str(), 1);
    options.rate = 0.0;  // frames only when the benchmark sends them
    options.useDefaultChannels = false;
    options.channels = scalarChannels(channels);
    auto phone = std::make_unique<PhoneSim>(options);
    phone->start();
    return phone;
}

void createDevice(const PhoneSim& phone, bool usb) {
    headless::newScene();
    run("createNode LMRARealTimeDevice -n dev; setAttr -type \"string\" dev.ipAddress "
        "\"127.0.0.1\"");
    run("setAttr dev.wifiPort " + std::to_string(phone.udpPort()) + "; setAttr dev.usbPort " +
        std::to_string(phone.usbPort()) + "; setAttr dev.connectionType " + (usb ? "1" : "0"));
}

// Connects "dev" and checks that the last channel has its output.
bool connectDevice(std::size_t channels) {
    if (headless::execute("establishConnection dev").result != "1") return false;
    const std::string last = "channel" + std::to_string(channels - 1);
    return !MFnDependencyNode(headless::findNode("dev")).findPlug(last.c_str(), true).isNull();
}

// "establishConnection" on a new node, each iteration in a new scene.
void BM_Connect(benchmark::State& state, bool usb) {
    loadPlugin();
    const auto channels = static_cast<std::size_t>(state.range(0));
    const auto phone = startPhone(channels);
    double mainThread = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        createDevice(*phone, usb);
        state.ResumeTiming();
        bool connected = false;
        {
            const MainThreadCpu measure(mainThread);
            connected = connectDevice(channels);
        }
        if (!connected) {
            state.SkipWithError("no connection with every channel");
            break;
        }
        state.PauseTiming();
        headless::execute("stopMocapSession dev");
        state.ResumeTiming();
    }
    headless::newScene();
    state.counters["channels"] = static_cast<double>(channels);
    reportMainThreadCpu(state, mainThread);
}

// The live road: a frame sent by the phone until every output shows it. Outputs are read as a
// rig reads them, through plugs found once after the connection.
void BM_LiveFrame(benchmark::State& state, bool usb) {
    loadPlugin();
    const auto channels = static_cast<std::size_t>(state.range(0));
    const auto phone = startPhone(channels);
    createDevice(*phone, usb);
    if (!connectDevice(channels)) {
        state.SkipWithError("no connection with every channel");
        headless::newScene();
        return;
    }
    ensure(headless::execute("startMocapSession dev").result == "1", "no session");
    ensure(phone->waitForCommand("start", std::chrono::seconds(10)), "the phone never started");

    const MFnDependencyNode node(headless::findNode("dev"));
    std::vector<MPlug> outputs;
    const ChannelNameLists names = scalarChannels(channels);
    for (const std::string& name : names.scalars()) {
        outputs.push_back(node.findPlug(name.c_str(), true));
        if (outputs.back().isNull()) {
            state.SkipWithError(("no output " + name).c_str());
            return;
        }
    }
    double t = 1.0;
    std::size_t refreshes = 0;
    double mainThread = 0.0;
    for (auto _ : state) {
        const MainThreadCpu measure(mainThread);
        t += 1.0 / 64.0;  // exact in the phone's 2^-16 s steps
        phone->sendFrame(t);
        const double expectedLast = PhoneSim::channelValue(ChannelKind::scalar, channels - 1, 0, t);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        bool arrived = false;
        while (!arrived && std::chrono::steady_clock::now() < deadline) {
            headless::refresh(std::chrono::milliseconds(100));
            ++refreshes;
            arrived = std::fabs(outputs.back().asDouble() - expectedLast) < 1e-9;
        }
        if (!arrived) {
            state.SkipWithError("the frame never reached the last output");
            break;
        }
        // Every output of this frame, as a rig pulls them.
        std::size_t stale = channels;
        for (std::size_t k = 0; k < channels && stale == channels; ++k) {
            const double expected = PhoneSim::channelValue(ChannelKind::scalar, k, 0, t);
            if (std::fabs(outputs[k].asDouble() - expected) > 1e-9) stale = k;
        }
        if (stale != channels) {
            state.SkipWithError(("output " + std::to_string(stale) + " is stale").c_str());
            break;
        }
    }
    headless::execute("stopMocapSession dev");
    headless::newScene();
    state.counters["channels"] = static_cast<double>(channels);
    state.counters["datagram_bytes"] = static_cast<double>(datagramBytes(channels));
    state.counters["refreshes_per_frame"] =
        benchmark::Counter(static_cast<double>(refreshes), benchmark::Counter::kAvgIterations);
    reportMainThreadCpu(state, mainThread);
}

// A clip with 50000 scalar channels and two frames.
std::string wideClip() {
    static const std::string path = [] {
        const std::string file = scratchFolder().file("wide.clip");
        std::ofstream out(file, std::ios::binary);
        const ChannelNameLists names = scalarChannels(kClipChannels);
        ClipWriter writer(out, names);
        std::vector<double> values(kClipChannels);
        for (int frame = 0; frame < 2; ++frame) {
            for (std::size_t k = 0; k < values.size(); ++k)
                values[k] = 0.001 * static_cast<double>(k % 1000) + frame;
            writer.writeFrame(frame / 60.0, values.data(), values.size());
        }
        writer.finish();
        return file;
    }();
    return path;
}

// "loadClipFromFile" into a new reader, each iteration in a new scene.
void BM_LoadWideClip(benchmark::State& state) {
    loadPlugin();
    const std::string path = wideClip();
    double mainThread = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        headless::newScene();
        run("createNode LMRAClipReader -n reader; connectAttr time1.outTime reader.time");
        state.ResumeTiming();
        const MainThreadCpu measure(mainThread);
        if (headless::execute("loadClipFromFile reader \"" + path + "\"").result != "1") {
            state.SkipWithError("the clip did not load");
        }
    }
    reportMainThreadCpu(state, mainThread);
    headless::newScene();
    state.counters["channels"] = static_cast<double>(kClipChannels);
    state.counters["clip_bytes"] = static_cast<double>(std::filesystem::file_size(path));
}

void connectSizes(benchmark::internal::Benchmark* b) {
    for (long n : {1000L, 8000L, static_cast<long>(kFrameValueLimit)}) b->Arg(n);
}

void usbLiveSizes(benchmark::internal::Benchmark* b) {
    for (long n : {52L, 1000L, 5000L, 12000L, static_cast<long>(kFrameValueLimit)}) b->Arg(n);
}

void wifiSizes(benchmark::internal::Benchmark* b) {
    const long largest = static_cast<long>(largestWifiChannelCount());
    for (long n : {52L, 1000L}) b->Arg(n);
    b->Arg(largest);
}

// A fixed number of runs each, timed on the wall clock with the whole process's CPU beside it.
template <int kIterations>
void wallClockMilliseconds(benchmark::internal::Benchmark* b) {
    b->Iterations(kIterations)
        ->UseRealTime()
        ->MeasureProcessCPUTime()
        ->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(BM_Connect, usb, true)->Apply(connectSizes)->Apply(wallClockMilliseconds<3>);
BENCHMARK_CAPTURE(BM_Connect, wifi, false)->Apply(wifiSizes)->Apply(wallClockMilliseconds<3>);
BENCHMARK(BM_LoadWideClip)->Apply(wallClockMilliseconds<3>);
BENCHMARK_CAPTURE(BM_LiveFrame, usb, true)->Apply(usbLiveSizes)->Apply(wallClockMilliseconds<20>);
BENCHMARK_CAPTURE(BM_LiveFrame, wifi, false)->Apply(wifiSizes)->Apply(wallClockMilliseconds<20>);

}  // namespace
