// A long capture session end to end, once per transport: 300000 frames of the default face set
// from phonesim through the connection process, the recording bounded at 216000 frames, then
// saved as a clip the way "saveMocapData" saves it and loaded back.
//
// Each run takes place in a child process of its own, so that its memory peak and the baseline
// before feeding belong to that run alone. The reported time is the feed; the other phases are
// counters (seconds, MiB, frames).

#include <benchmark/benchmark.h>

#include <cstdio>

#include "IsolatedRun.h"
#include "SoakRun.h"
#include "transport/connection/NetworkConnectionClientProcess.h"

namespace {

void report(benchmark::State& state, const SoakFigures& figures) {
    auto& counters = state.counters;
    counters["frames_fed"] = figures.framesFed;
    counters["frames_received"] = figures.framesReceived;
    counters["feed_frames_per_s"] =
        figures.feedSeconds > 0 ? figures.framesReceived / figures.feedSeconds : 0;
    counters["recording_frames"] = figures.recordingFrames;
    counters["oldest_kept_frame"] = figures.oldestFrameIndex;
    counters["copy_s"] = figures.copySeconds;
    counters["save_s"] = figures.saveSeconds;
    counters["clip_MiB"] = figures.clipBytes / (1024.0 * 1024.0);
    counters["load_s"] = figures.loadSeconds;
    counters["loaded_frames"] = figures.loadedFrames;
    counters["peak_MiB"] = figures.peakMiB;
    counters["peak_growth_MiB"] = figures.peakMiB - figures.baselinePeakMiB;
    const double recordingGrowth = figures.residentAfterFeedMiB - figures.residentBeforeFeedMiB;
    counters["rss_per_recorded_frame_B"] =
        figures.recordingFrames > 0 ? recordingGrowth * 1024.0 * 1024.0 / figures.recordingFrames
                                    : 0;
    counters["rss_growth_past_bound_MiB"] =
        figures.residentAfterFeedMiB - figures.residentAtBoundMiB;
    counters["rss_after_release_MiB"] = figures.residentAfterReleaseMiB;
    counters["rss_before_feed_MiB"] = figures.residentBeforeFeedMiB;
    counters["heap_before_feed_MiB"] = figures.heapBeforeFeedMiB;
    counters["heap_after_release_MiB"] = figures.heapAfterReleaseMiB;
}

void soak(benchmark::State& state, std::uint32_t connectionKind) {
    SoakSettings settings;
    settings.connectionKind = connectionKind;
    for (auto _ : state) {
        const SoakFigures figures = runIsolated([&] { return runSoak(settings); });
        state.SetIterationTime(figures.feedSeconds);
        report(state, figures);
        if (!figures.ok) {
            std::fprintf(stderr, "soak failed: %s\n", figures.error);
            state.SkipWithError(figures.error);
        }
    }
}

void BM_SoakWifi(benchmark::State& state) {
    soak(state, NetworkConnectionClientProcess::kWifiConnection);
}
BENCHMARK(BM_SoakWifi)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_SoakUsb(benchmark::State& state) {
    soak(state, NetworkConnectionClientProcess::kUsbConnection);
}
BENCHMARK(BM_SoakUsb)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
