// CPU time of one live device node's worker thread over 10 seconds of the host's main loop at
// 60 frames a second: idle (no connection) and streaming from phonesim over Wi-Fi at 60 fps.
// The worker is told apart from the other threads as the one that appears when the node is made.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>

#include <dirent.h>

#include <headless/MainLoop.h>
#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "PhoneSim.h"

namespace {

constexpr auto kMeasured = std::chrono::seconds(10);

std::set<std::string> threadIds() {
    std::set<std::string> ids;
    DIR* tasks = ::opendir("/proc/self/task");
    if (!tasks) return ids;
    while (const dirent* entry = ::readdir(tasks)) {
        if (entry->d_name[0] != '.') ids.insert(entry->d_name);
    }
    ::closedir(tasks);
    return ids;
}

// Nanoseconds the thread has run on a CPU so far.
std::uint64_t threadCpuNanoseconds(const std::string& id) {
    std::ifstream schedstat("/proc/self/task/" + id + "/schedstat");
    std::uint64_t running = 0;
    schedstat >> running;
    return running;
}

void ensure(bool condition, const std::string& what) {
    if (!condition) throw std::runtime_error(what);
}

// Makes the device node and gives its worker's thread id.
std::string createDeviceNode(const std::string& setup) {
    const std::set<std::string> before = threadIds();
    ensure(headless::runScript("createNode LMRARealTimeDevice -n dev;" + setup, {true, false}).ok(),
           "cannot create the device node");
    headless::refresh();
    for (const std::string& id : threadIds()) {
        if (!before.count(id)) return id;
    }
    throw std::runtime_error("no worker thread appeared");
}

void measureWorker(benchmark::State& state, const std::string& worker) {
    const std::uint64_t start = threadCpuNanoseconds(worker);
    const int served = headless::runMainLoopFor(kMeasured);
    const double cpuMs = static_cast<double>(threadCpuNanoseconds(worker) - start) / 1e6;
    const double wallMs = std::chrono::duration<double, std::milli>(kMeasured).count();
    state.SetIterationTime(std::chrono::duration<double>(kMeasured).count());
    state.counters["worker_cpu_ms"] = cpuMs;
    state.counters["worker_cpu_percent"] = 100.0 * cpuMs / wallMs;
    state.counters["refreshes"] = served;
}

void loadPlugin() {
    headless::setEchoScriptOutput(false);
    if (headless::isPluginLoaded("lumoraMocap")) return;
    std::string error;
    ensure(headless::loadPlugin("lumoraMocap", &error), error);
}

void BM_IdleLiveNodeWorker(benchmark::State& state) {
    loadPlugin();
    headless::newScene();
    for (auto _ : state) {
        const std::string worker = createDeviceNode("");
        measureWorker(state, worker);
    }
    headless::newScene();
}

void BM_StreamingNodeWorker(benchmark::State& state) {
    loadPlugin();
    headless::newScene();
    PhoneSimOptions options;
    options.udpPort = 0;
    options.usbPort = -1;
    options.rate = 60.0;
    PhoneSim phone(options);
    phone.start();
    for (auto _ : state) {
        const std::string worker = createDeviceNode(
            "setAttr dev.ipAddress -type \"string\" \"127.0.0.1\"; setAttr dev.wifiPort " +
            std::to_string(phone.udpPort()));
        ensure(headless::execute("establishConnection dev").result == "1", "no connection");
        ensure(headless::execute("startMocapSession dev").result == "1", "no session");
        const std::uint64_t sentBefore = phone.framesSent();
        measureWorker(state, worker);
        state.counters["phone_frames"] = static_cast<double>(phone.framesSent() - sentBefore);
    }
    headless::newScene();
}

BENCHMARK(BM_IdleLiveNodeWorker)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_StreamingNodeWorker)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
