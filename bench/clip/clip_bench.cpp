// Clip file speed: writing and reading an hour of capture at 60 frames a second (216000 frames of
// 52 scalars, 2 vectors and 3 matrices: 106 values), and sampling at any clip length.

#include "clip/format/ClipWriter.h"
#include "clip/format/ParseClipFile.h"
#include "clip/nodes/SampleClip.h"
#include "device/channels/ChannelOutputRules.h"
#include "transport/records/CaptureRecords.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <streambuf>
#include <string>

namespace {

constexpr std::size_t kHourOfFrames = 216000;

ChannelNameLists captureNames() {
    ChannelNameLists names;
    for (int i = 0; i < 52; ++i) names.scalars().push_back("blendShape" + std::to_string(i));
    names.vectors() = {"leftEyeGaze", "rightEyeGaze"};
    names.matrices() = {"head", "leftEye", "rightEye"};
    return names;
}

// Values as a face capture gives them: weights in 0..1, gaze components, rigid transforms.
std::vector<double> captureValues(std::size_t frame) {
    std::vector<double> values;
    const double phase = static_cast<double>(frame) * 0.01;
    for (int i = 0; i < 52; ++i) values.push_back(0.5 + 0.5 * std::sin(phase + i));
    for (int i = 0; i < 6; ++i) values.push_back(std::cos(phase * (i + 1)));
    for (int m = 0; m < 3; ++m) {
        const double c = std::cos(phase + m);
        const double s = std::sin(phase + m);
        const double matrix[16] = {
            c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0.01 * m, 1.6 + 0.01 * s, 0.3 * c, 1};
        values.insert(values.end(), matrix, matrix + 16);
    }
    return values;
}

// Counts what would be written and drops it, so the write figure is formatting and encryption.
class CountingBuffer : public std::streambuf {
  public:
    std::size_t count = 0;

  protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        count += static_cast<std::size_t>(n);
        return n;
    }
    int_type overflow(int_type c) override {
        ++count;
        return c;
    }
};

std::size_t writeHour(std::ostream& out, const ChannelNameLists& names,
                      const std::vector<std::vector<double>>& pool) {
    ClipWriter writer(out, names);
    for (std::size_t f = 0; f < kHourOfFrames; ++f) {
        const auto& values = pool[f % pool.size()];
        writer.writeFrame(1000.0 + static_cast<double>(f) / 60.0, values.data(), values.size());
    }
    writer.finish();
    return kHourOfFrames;
}

std::vector<std::vector<double>> valuePool() {
    std::vector<std::vector<double>> pool;
    for (std::size_t f = 0; f < 997; ++f) pool.push_back(captureValues(f));
    return pool;
}

std::string benchFile() {
    return (std::filesystem::temp_directory_path() /
            ("lmra_clip_bench_" + std::to_string(::getpid()) + ".clip"))
        .string();
}

// Clip text bytes: the file holds 16 bytes of IV for each 8192 of text.
double textBytes(std::size_t fileBytes) {
    return static_cast<double>(fileBytes) * 8192.0 / 8208.0;
}

void BM_WriteHourOfCapture(benchmark::State& state) {
    const auto names = captureNames();
    const auto pool = valuePool();
    std::size_t fileBytes = 0;
    for (auto _ : state) {
        CountingBuffer buffer;
        std::ostream out(&buffer);
        writeHour(out, names, pool);
        fileBytes = buffer.count;
    }
    state.SetBytesProcessed(static_cast<int64_t>(textBytes(fileBytes)) * state.iterations());
    state.counters["text_MB"] = textBytes(fileBytes) / 1e6;
}
BENCHMARK(BM_WriteHourOfCapture)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteHourOfCaptureToFile(benchmark::State& state) {
    const auto names = captureNames();
    const auto pool = valuePool();
    const std::string path = benchFile();
    for (auto _ : state) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        writeHour(out, names, pool);
    }
    const auto size = std::filesystem::file_size(path);
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<int64_t>(textBytes(size)) * state.iterations());
}
BENCHMARK(BM_WriteHourOfCaptureToFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadHourOfCapture(benchmark::State& state) {
    const auto names = captureNames();
    const std::string path = benchFile();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        writeHour(out, names, valuePool());
    }
    const auto size = std::filesystem::file_size(path);
    for (auto _ : state) {
        ChannelNameLists readNames;
        ClipFrames frames(matrixChannelOutputs);
        if (!parseClipFile(readNames, frames, path) || frames.size() != kHourOfFrames)
            state.SkipWithError("the clip did not read back");
        benchmark::DoNotOptimize(frames.values(0));
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<int64_t>(textBytes(size)) * state.iterations());
}
BENCHMARK(BM_ReadHourOfCapture)->Unit(benchmark::kMillisecond)->Iterations(3);

ClipFrames captureClip(std::size_t frameCount) {
    ClipFrames frames(matrixChannelOutputs);
    frames.reset(52, 2, 3);
    for (std::size_t f = 0; f < frameCount; ++f) {
        const auto values = captureValues(f);
        frames.appendFlat(static_cast<double>(f) / 60.0, values.data());
    }
    return frames;
}

// Times picked at random across the clip: every sampling starts with cold caches.
void BM_SampleClipAtRandomTimes(benchmark::State& state) {
    const auto frames = captureClip(static_cast<std::size_t>(state.range(0)));
    std::vector<double> scalars(52);
    std::vector<std::array<double, 6>> matrices(3);
    std::vector<std::array<double, 3>> vectors(2);
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> anyTime(-1.0, frames.time(frames.size() - 1) + 1.0);
    std::vector<double> times(4096);
    for (auto& time : times) time = anyTime(random);
    std::size_t next = 0;
    for (auto _ : state) {
        sampleClip(frames, times[next++ & 4095], scalars, matrices, vectors);
        benchmark::DoNotOptimize(scalars.data());
    }
}
BENCHMARK(BM_SampleClipAtRandomTimes)->Arg(2)->Arg(3600)->Arg(216000)->Unit(benchmark::kNanosecond);

// Playback: the time moves on by one scene frame (24 fps) per sampling, wrapping at the end.
void BM_SampleClipInPlayback(benchmark::State& state) {
    const auto frames = captureClip(static_cast<std::size_t>(state.range(0)));
    std::vector<double> scalars(52);
    std::vector<std::array<double, 6>> matrices(3);
    std::vector<std::array<double, 3>> vectors(2);
    const double end = frames.time(frames.size() - 1);
    double time = 0.0;
    for (auto _ : state) {
        sampleClip(frames, time, scalars, matrices, vectors);
        benchmark::DoNotOptimize(scalars.data());
        time = time >= end ? 0.0 : time + 1.0 / 24.0;
    }
}
BENCHMARK(BM_SampleClipInPlayback)->Arg(2)->Arg(3600)->Arg(216000)->Unit(benchmark::kNanosecond);

}  // namespace
