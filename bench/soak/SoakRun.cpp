#include "SoakRun.h"
#include "support/TemporaryFolder.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "PhoneSim.h"
#include "ProcessMemory.h"
#include "clip/folders/EnsureParentFolder.h"
#include "clip/format/ClipFrames.h"
#include "clip/format/ParseClipFile.h"
#include "clip/nodes/ClipWriterThreads.h"
#include "clip/nodes/SaveToFileArguments.h"
#include "device/channels/ChannelOutputRules.h"
#include "transport/connection/NetworkConnectionClientProcess.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Frame k carries timestamp k / 64: exact in binary and in the clip's eight decimals, so a
// frame's index can be read back from its time.
constexpr double kFramesPerSecond = 64.0;
constexpr auto kFrameWait = 5s;

double timestampOf(std::uint64_t frameIndex) {
    return static_cast<double>(frameIndex) / kFramesPerSecond;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class SoakFailure : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

void check(bool condition, const std::string& what) {
    if (!condition) throw SoakFailure(what);
}

// A folder of its own under the system's temporary folder, removed with everything in it.
void checkRecordedFrame(const CaptureFrame& frame, std::uint64_t frameIndex,
                        const ChannelNameLists& names, const std::string& which) {
    check(frame.timestamp == timestampOf(frameIndex),
          which + " frame has timestamp " + std::to_string(frame.timestamp) +
              ", not that of frame " + std::to_string(frameIndex));
    const auto expected = PhoneSim::flatFrame(names, frame.timestamp);
    check(frame.valueCount == expected.size(),
          which + " frame has " + std::to_string(frame.valueCount) + " values");
    for (std::size_t i = 0; i < expected.size(); ++i)
        check(frame.value(static_cast<std::uint32_t>(i)) == expected[i],
              which + " frame: value " + std::to_string(i) + " differs from what was sent");
}

// Scalars of a loaded frame against those sent at a timestamp; the clip keeps eight decimals.
void checkLoadedScalars(const ClipFrames& frames, std::size_t index, double sentAt,
                        const std::string& which) {
    const double* values = frames.values(index);
    for (std::size_t s = 0; s < frames.scalarCount(); ++s)
        check(std::fabs(values[s] - PhoneSim::channelValue(ChannelKind::scalar, s, 0, sentAt)) <=
                  1e-8,
              which + " loaded frame: scalar " + std::to_string(s) + " differs from what was sent");
}

struct Session {
    std::unique_ptr<PhoneSim> phone;
    std::unique_ptr<NetworkConnectionClientProcess> process;
};

Session openSession(std::uint32_t kind, const TemporaryFolder& folder) {
    const bool usb = kind == NetworkConnectionClientProcess::kUsbConnection;
    PhoneSimOptions options;
    options.rate = 0;  // frames only on sendFrame
    options.udpPort = usb ? -1 : 0;
    options.usbPort = usb ? 0 : -1;
    if (usb) {
        options.usbmuxdSocket = (folder.path() / "usbmuxd.sock").string();
        ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + options.usbmuxdSocket).c_str(), 1);
    }
    Session session;
    session.phone = std::make_unique<PhoneSim>(options);
    session.phone->start();
    const auto port = std::to_string(usb ? session.phone->usbPort() : session.phone->udpPort());

    session.process = std::make_unique<NetworkConnectionClientProcess>();
    check(session.process->beginConnection(kind, "127.0.0.1", port, nullptr),
          "the connection did not begin");
    check(session.process->waitForReply(kFrameWait), "the phone stand-in never replied");
    check(session.process->rejectCode() == 0 && session.process->isRunning(),
          "the connection was refused");
    check(session.process->startCapture(false), "startCapture was refused");
    check(session.phone->waitForCommand("start", kFrameWait),
          "the phone stand-in never saw \"start\"");
    return session;
}

// Sends every frame, never more than settings.framesInFlight ahead of what the process recorded.
void feed(const SoakSettings& settings, Session& session, SoakFigures& figures) {
    const auto start = Clock::now();
    for (std::uint64_t k = 0; k < settings.framesFed; ++k) {
        if (k >= settings.framesInFlight) {
            const std::uint64_t needed = k - settings.framesInFlight + 1;
            check(session.process->waitForFrames(needed, kFrameWait),
                  "frames lost: " + std::to_string(session.process->framesReceived()) +
                      " recorded of " + std::to_string(k) + " sent");
        }
        if (k == kMaxRecordedFrames + settings.framesInFlight) {
            // Every frame from here on replaces the oldest: memory should stay where it is.
            figures.residentAtBoundMiB = currentResidentMiB();
        }
        check(session.phone->sendFrame(timestampOf(k)) == 1,
              "no streaming session to send frame " + std::to_string(k));
        ++figures.framesFed;
    }
    check(session.process->waitForFrames(settings.framesFed, kFrameWait),
          "frames lost at the end: " + std::to_string(session.process->framesReceived()) +
              " recorded");
    figures.feedSeconds = secondsSince(start);
    figures.framesReceived = static_cast<double>(session.process->framesReceived());
}

void checkRecording(const SoakSettings& settings, NetworkConnectionClientProcess& process,
                    SoakFigures& figures) {
    CaptureRecording recording;
    check(process.copyRecording(recording), "copyRecording failed");
    figures.recordingFrames = static_cast<double>(recording.frames.size());
    check(recording.names == PhoneSim::defaultChannels(),
          "the recording's channel names differ from the phone's");
    check(recording.frames.size() == kMaxRecordedFrames,
          "the recording holds " + std::to_string(recording.frames.size()) + " frames");
    figures.oldestFrameIndex = std::round(recording.frames.front().timestamp * kFramesPerSecond);
    const std::uint64_t oldest = settings.framesFed - kMaxRecordedFrames;
    checkRecordedFrame(recording.frames.front(), oldest, recording.names, "the oldest");
    checkRecordedFrame(recording.frames.back(), settings.framesFed - 1, recording.names,
                       "the newest");
    for (std::size_t i = 1; i < recording.frames.size(); ++i)
        check(recording.frames[i].timestamp == timestampOf(oldest + i),
              "recorded frame " + std::to_string(i) + " is out of sequence");
}

// As "saveMocapData" does it: copy the recording, prepare the folder, hand the copy to a writer
// thread; here also wait for the writer to finish.
void save(const SoakSettings& settings, NetworkConnectionClientProcess& process,
          const std::string& clipPath, SoakFigures& figures) {
    const auto start = Clock::now();
    SaveToFileArguments arguments;
    check(process.copyRecording(arguments.recording), "copyRecording failed");
    figures.copySeconds = secondsSince(start);
    arguments.clipPath = clipPath;
    arguments.clipLength = settings.clipLengthSeconds;
    check(!ensureParentFolder(arguments.clipPath), "cannot make the clip's folder");
    check(startClipWriter(std::move(arguments)), "no writer thread");
    waitForClipWriters();
    figures.saveSeconds = secondsSince(start);
    std::error_code error;
    const auto size = std::filesystem::file_size(clipPath, error);
    check(!error, "the clip file was not written: " + error.message());
    figures.clipBytes = static_cast<double>(size);
}

void load(const SoakSettings& settings, const std::string& clipPath, SoakFigures& figures) {
    ChannelNameLists names;
    ClipFrames frames(matrixChannelOutputs);
    const auto start = Clock::now();
    check(parseClipFile(names, frames, clipPath), "parseClipFile refused the clip");
    figures.loadSeconds = secondsSince(start);
    figures.loadedFrames = static_cast<double>(frames.size());
    check(names == PhoneSim::defaultChannels(), "the loaded channel names differ from the phone's");
    // The window starts before the oldest frame: a start frame carrying the oldest frame's values,
    // then every later frame.
    check(frames.size() == kMaxRecordedFrames,
          "the clip holds " + std::to_string(frames.size()) + " frames");
    const double lastTime = frames.time(frames.size() - 1);
    check(std::fabs(lastTime - settings.clipLengthSeconds) < 1e-6,
          "the loaded clip ends at " + std::to_string(lastTime) + " s");
    checkLoadedScalars(frames, 0, timestampOf(settings.framesFed - kMaxRecordedFrames),
                       "the first");
    checkLoadedScalars(frames, frames.size() - 1, timestampOf(settings.framesFed - 1), "the last");
    figures.peakMiB = peakResidentMiB();  // the loaded clip and the recording are both alive here
}

}  // namespace

SoakFigures runSoak(const SoakSettings& settings) {
    SoakFigures figures;
    try {
        TemporaryFolder folder;
        {
            Session session = openSession(settings.connectionKind, folder);
            figures.baselinePeakMiB = peakResidentMiB();
            figures.residentBeforeFeedMiB = currentResidentMiB();
            figures.heapBeforeFeedMiB = heapInUseMiB();
            feed(settings, session, figures);
            figures.residentAfterFeedMiB = currentResidentMiB();
            checkRecording(settings, *session.process, figures);
            const std::string clipPath = (folder.path() / "clips" / "soak.clip").string();
            save(settings, *session.process, clipPath, figures);
            load(settings, clipPath, figures);
            session.process->closeConnection();
            session.process.reset();
            session.phone->stop();
        }
        figures.residentAfterReleaseMiB = currentResidentMiB();
        figures.heapAfterReleaseMiB = heapInUseMiB();
        figures.ok = true;
    } catch (const std::exception& error) {
        std::snprintf(figures.error, sizeof figures.error, "%s", error.what());
    }
    if (figures.peakMiB == 0) figures.peakMiB = peakResidentMiB();
    return figures;
}
