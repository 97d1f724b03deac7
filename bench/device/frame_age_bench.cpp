// How fresh the live node's frame is, and how soon a command reaches the phone, over Wi-Fi and
// over USB: a device node in the headless host, served at its rate, and phonesim in this process
// sending 60 numbered frames a second (frame k has the timestamp k, and this program notes when
// it sent each one).
//
// Streaming, for 10 seconds: at each refresh the node is read at once (the frame handed over at
// the refresh) or at a random moment before the next refresh (what a script reading the node
// sees). Counters:
//   skipped_newer_percent   refreshes that handed over an older frame than one sent at least
//                           1 ms before (on loopback a frame takes about 0.1 ms to arrive)
//   age_at_refresh_p50_ms   time from the phone's send of the frame handed over to the refresh
//   age_at_refresh_p99_ms
//   age_at_read_p50_ms      the same at a read at a random moment
//   node_age_p50_ms         the node's own lastFrameAge at the refresh (from the frame's arrival)
// Commands, given on the main thread while frames flow: 100 of each kind (start, pause, save,
// stop), each timed from the command to the phone's receipt:
//   command_p99_ms          the largest of the four kinds' 99th percentiles
//   start_p99_ms, pause_p99_ms, save_p99_ms, stop_p99_ms

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>

#include <headless/MainLoop.h>
#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "PhoneSim.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr double kPhoneRate = 60.0;
constexpr auto kStreamed = 10s;
constexpr auto kSettle = 500ms;  // the session's first frames are not measured
constexpr auto kArrived = 1ms;   // a frame sent this long before a refresh has arrived
constexpr int kCommandsOfEachKind = 100;
constexpr std::size_t kMaxFrames = 60 * 600;

void ensure(bool condition, const std::string& what) {
    if (!condition) throw std::runtime_error(what);
}

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return -1.0;
    std::sort(values.begin(), values.end());
    const auto index =
        static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void run(const std::string& script) {
    ensure(headless::runScript(script, {true, false}).ok(), "failed: " + script);
}

double plugValue(const char* name) {
    return MFnDependencyNode(headless::findNode("dev")).findPlug(name, true).asDouble();
}

// Sends frame 1, 2, 3, ... at the phone's rate on a thread of its own, noting when each went.
class FrameSender {
  public:
    explicit FrameSender(PhoneSim& phone) : phone_(phone), sentAt_(kMaxFrames) {
        thread_ = std::thread([this] { send(); });
    }
    ~FrameSender() {
        stopping_.store(true);
        thread_.join();
    }

    // When frame k was sent; frames below sentCount() only.
    Clock::time_point sentAt(std::size_t k) const { return sentAt_[k]; }
    std::size_t sentCount() const { return count_.load(std::memory_order_acquire); }
    // The newest frame sent at or before the moment; 0 when none.
    std::size_t newestSentBy(Clock::time_point moment) const {
        const std::size_t count = sentCount();
        const auto end = sentAt_.begin() + static_cast<std::ptrdiff_t>(count);
        const auto after = std::upper_bound(sentAt_.begin() + 1, end, moment);
        return static_cast<std::size_t>(after - sentAt_.begin()) - 1;
    }

  private:
    void send() {
        const auto period = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(1.0 / kPhoneRate));
        auto next = Clock::now();
        for (std::size_t k = 1; k < kMaxFrames && !stopping_.load(); ++k) {
            next += period;
            std::this_thread::sleep_until(next);  // the phone's own pace
            sentAt_[k] = Clock::now();
            count_.store(k + 1, std::memory_order_release);
            phone_.sendFrame(static_cast<double>(k));
        }
    }

    PhoneSim& phone_;
    std::vector<Clock::time_point> sentAt_;  // written by the sender before it publishes count_
    std::atomic<std::size_t> count_{1};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// The moments at which the phone received each command, from its log.
class CommandLog {
  public:
    void note(const std::string& line) {
        const auto at = line.find("command: ");
        if (at == std::string::npos) return;
        std::lock_guard<std::mutex> lock(mutex_);
        received_.push_back({line.substr(at + 9), Clock::now()});
    }
    // Waits for the next command beginning with prefix received after `from` entries; its time.
    Clock::time_point waitFor(const std::string& prefix, std::size_t& from) {
        const auto deadline = Clock::now() + 10s;
        while (Clock::now() < deadline) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                for (; from < received_.size(); ++from) {
                    if (received_[from].text.rfind(prefix, 0) == 0) return received_[from++].at;
                }
            }
            headless::processIdleEvents();  // the main loop turns while the host waits
            std::this_thread::sleep_for(200us);
        }
        throw std::runtime_error("the phone never received " + prefix);
    }
    std::size_t size() {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_.size();
    }

  private:
    struct Received {
        std::string text;
        Clock::time_point at;
    };
    std::mutex mutex_;
    std::vector<Received> received_;  // guarded by mutex_: the phone's thread appends
};

void measureFreshness(benchmark::State& state, const FrameSender& sender) {
    const auto period =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / 60.0));
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> within(0.0, 0.9);
    std::vector<double> atRefresh, atRead, nodeAges;
    std::size_t refreshes = 0, skipped = 0;
    const auto settled = Clock::now() + kSettle;
    const auto end = settled + kStreamed;
    bool readAtRefresh = true;
    while (Clock::now() < end) {
        if (headless::refresh(1s) == 0) continue;
        const auto refreshed = Clock::now();
        if (!readAtRefresh)
            std::this_thread::sleep_until(
                refreshed + std::chrono::duration_cast<Clock::duration>(within(random) * period));
        const auto read = Clock::now();
        const auto k = static_cast<std::size_t>(plugValue("lastFrameTime"));
        const double nodeAge = plugValue("lastFrameAge");
        if (read < settled || k == 0 || k >= sender.sentCount()) {
            readAtRefresh = !readAtRefresh;
            continue;
        }
        const double age = milliseconds(read - sender.sentAt(k));
        if (readAtRefresh) {
            ++refreshes;
            if (k < sender.newestSentBy(read - kArrived)) ++skipped;
            atRefresh.push_back(age);
            nodeAges.push_back(nodeAge);
        } else {
            atRead.push_back(age);
        }
        readAtRefresh = !readAtRefresh;
    }
    ensure(refreshes > 0, "no refresh handed over a frame");
    state.counters["refreshes"] = static_cast<double>(refreshes);
    state.counters["skipped_newer_percent"] =
        100.0 * static_cast<double>(skipped) / static_cast<double>(refreshes);
    state.counters["age_at_refresh_p50_ms"] = percentile(atRefresh, 0.5);
    state.counters["age_at_refresh_p99_ms"] = percentile(atRefresh, 0.99);
    state.counters["age_at_read_p50_ms"] = percentile(atRead, 0.5);
    state.counters["node_age_p50_ms"] = percentile(nodeAges, 0.5);
}

void measureCommands(benchmark::State& state, CommandLog& log, const std::string& folder) {
    std::size_t seen = log.size();
    auto timed = [&](const std::string& command, const std::string& received,
                     std::vector<double>& into) {
        const auto given = Clock::now();
        const headless::CommandResult result = headless::execute(command);
        ensure(result.ok && result.error.empty(), "failed: " + command + ": " + result.error);
        into.push_back(milliseconds(log.waitFor(received, seen) - given));
    };
    std::vector<double> starts, pauses, saves, stops;
    for (int i = 0; i < kCommandsOfEachKind; ++i) {
        timed("pauseMocapSession dev", "pause", pauses);
        timed("startMocapSession dev", "start", starts);
    }
    // Saves want frames in the recording: the phone streams meanwhile.
    headless::runMainLoopFor(200ms);
    for (int i = 0; i < kCommandsOfEachKind; ++i) {
        const std::string clip = folder + "/take" + std::to_string(i);
        timed("saveMocapData dev \"" + clip + ".clip\" 0.1 \"" + clip + ".mov\"", "saveCapture",
              saves);
    }
    for (int i = 0; i < kCommandsOfEachKind; ++i) {
        timed("stopMocapSession dev", "stop", stops);
        run("establishConnection dev; startMocapSession dev");
    }
    const double worst = std::max({percentile(starts, 0.99), percentile(pauses, 0.99),
                                   percentile(saves, 0.99), percentile(stops, 0.99)});
    state.counters["command_p99_ms"] = worst;
    state.counters["start_p99_ms"] = percentile(starts, 0.99);
    state.counters["pause_p99_ms"] = percentile(pauses, 0.99);
    state.counters["save_p99_ms"] = percentile(saves, 0.99);
    state.counters["stop_p99_ms"] = percentile(stops, 0.99);
}

void BM_FrameAge(benchmark::State& state, bool usb) {
    headless::setEchoScriptOutput(false);
    if (!headless::isPluginLoaded("lumoraMocap")) {
        std::string error;
        ensure(headless::loadPlugin("lumoraMocap", &error), error);
    }
    headless::newScene();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("lmra-frame-age-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);

    auto log = std::make_shared<CommandLog>();
    PhoneSimOptions options;
    options.udpPort = usb ? -1 : 0;
    options.usbPort = usb ? 0 : -1;
    options.rate = 0.0;  // frames come from the sender below
    options.videoBytes = 1000;
    options.log = [log](const std::string& line) { log->note(line); };
    if (usb) {
        options.usbmuxdSocket = (folder / "usbmuxd.sock").string();
        ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + options.usbmuxdSocket).c_str(), 1);
    }
    PhoneSim phone(options);
    phone.start();

    for (auto _ : state) {
        run("createNode LMRARealTimeDevice -n dev; setAttr -type \"string\" dev.ipAddress "
            "\"127.0.0.1\"; "
            "setAttr dev.rv 1");
        run("setAttr dev.connectionType " + std::string(usb ? "1" : "0") +
            "; setAttr dev.wifiPort " + std::to_string(phone.udpPort()) + "; setAttr dev.usbPort " +
            std::to_string(phone.usbPort()));
        run("establishConnection dev; startMocapSession dev");
        const auto begun = Clock::now();
        {
            FrameSender sender(phone);
            measureFreshness(state, sender);
            measureCommands(state, *log, folder.string());
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - begun).count());
        run("stopMocapSession dev");
    }
    headless::newScene();
    phone.stop();
    std::filesystem::remove_all(folder);
}

BENCHMARK_CAPTURE(BM_FrameAge, Wifi, false)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_FrameAge, Usb, true)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
