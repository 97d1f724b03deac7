// How long "saveMocapData" keeps the main thread when the device node's recording is full
// (216000 frames, an hour at 60 frames a second), and how long the writer thread then takes.
//
// The recording is filled once, by phonesim streaming at a high rate into a live session of a
// device node in the headless host; every run then saves the whole hour.

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "PhoneSim.h"
#include "clip/format/ClipFileReader.h"
#include "support/TemporaryFolder.h"
#include "support/WaitUntil.h"

namespace {

constexpr std::size_t kFullRecording = 216000;

std::size_t storedFrameCount(const std::string& path) {
    ClipFileReader reader(path);
    ChannelNameLists names;
    if (!reader.readNames(names)) return 0;
    std::size_t count = 0;
    double time = 0.0;
    std::vector<double> values;
    while (reader.readFrame(time, values) == ClipFileReader::FrameRead::frame) ++count;
    return count;
}

void run(const std::string& script) {
    const auto result = headless::runScript(script, {true, false});
    if (!result.ok()) throw std::runtime_error("failed: " + script);
}

// A device node in a live session whose recording holds a full hour.
class FullSession {
  public:
    FullSession() {
        headless::setEchoScriptOutput(false);
        std::string error;
        if (!headless::loadPlugin("lumoraMocap", &error)) throw std::runtime_error(error);

        PhoneSimOptions options;
        options.udpPort = 0;
        options.usbPort = -1;
        options.rate = 50000.0;
        options.timestampStep = 1.0 / 60.0;
        options.channels.scalars() = {"jawOpen", "smile", "blinkLeft", "blinkRight"};
        options.useDefaultChannels = false;
        phone_ = std::make_unique<PhoneSim>(options);
        phone_->start();

        run("createNode LMRARealTimeDevice -n dev; setAttr -type \"string\" dev.ipAddress "
            "\"127.0.0.1\"");
        run("setAttr dev.wifiPort " + std::to_string(phone_->udpPort()) +
            "; establishConnection dev");
        run("startMocapSession dev");
        // Datagrams may be dropped at this rate: save until the recording is full.
        const std::string probe = clipPath();
        const bool full = waitUntil(
            [&] {
                std::filesystem::remove(probe);
                // Refused while the recording holds no frame yet: try again.
                const std::string save = "saveMocapData dev " + probe + " 100000";
                if (!headless::runScript(save, {true, false}).ok()) return false;
                if (!waitUntil([&] { return std::filesystem::exists(probe); },
                               std::chrono::seconds(60)))
                    return false;
                return storedFrameCount(probe) == kFullRecording;
            },
            std::chrono::seconds(300));
        if (!full) throw std::runtime_error("the recording never filled up");
        run("pauseMocapSession dev");
        std::filesystem::remove(probe);
    }
    ~FullSession() {
        headless::newScene();
        phone_->stop();
    }

    std::string clipPath() const { return folder_.file("hour.clip"); }

  private:
    TemporaryFolder folder_;
    std::unique_ptr<PhoneSim> phone_;
};

FullSession& session() {
    static FullSession full;
    return full;
}

// Saves the whole hour on every run and removes the clip for the next. The writer thread's part
// (until the clip is on disk) is timed only when timeWriting.
void saveFullRecording(benchmark::State& state, bool timeWriting) {
    const std::string path = session().clipPath();
    for (auto _ : state) {
        const auto result = headless::execute("saveMocapData dev " + path + " 3600");
        if (!result.ok) state.SkipWithError("saveMocapData failed");
        if (!timeWriting) state.PauseTiming();
        if (!waitUntil([&] { return std::filesystem::exists(path); }, std::chrono::seconds(60)))
            state.SkipWithError("the clip was never written");
        if (timeWriting) state.PauseTiming();
        std::filesystem::remove(path);
        state.ResumeTiming();
    }
}

// A fixed number of runs each, timed on the wall clock.
template <int kIterations>
void wallClockMilliseconds(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->Iterations(kIterations)->UseRealTime();
}

// The command alone: copying the recording and handing it to the writer thread.
void BM_SaveCommandWithFullRecording(benchmark::State& state) {
    saveFullRecording(state, false);
}
BENCHMARK(BM_SaveCommandWithFullRecording)->Apply(wallClockMilliseconds<20>);

// The command and the writer thread until the hour is on disk.
void BM_SaveFullRecordingUntilWritten(benchmark::State& state) {
    saveFullRecording(state, true);
}
BENCHMARK(BM_SaveFullRecordingUntilWritten)->Apply(wallClockMilliseconds<3>);

}  // namespace
