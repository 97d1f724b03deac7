#pragma once
// What one soak run measured. Plain data, so that it can cross a pipe from a child process.

#include <cstdint>

struct SoakFigures {
    bool ok = false;
    char error[512] = {};  // why the run failed, when !ok

    double framesFed = 0;
    double framesReceived = 0;
    double feedSeconds = 0;
    double recordingFrames = 0;
    double oldestFrameIndex = 0;  // index (from 0) in the feed of the oldest frame kept
    double copySeconds = 0;       // copyRecording alone
    double saveSeconds = 0;       // copyRecording, then the writer thread until the file is closed
    double clipBytes = 0;
    double loadSeconds = 0;
    double loadedFrames = 0;
    double baselinePeakMiB = 0;  // ru_maxrss once connected, before the first frame
    double peakMiB = 0;          // ru_maxrss after the load
    double residentBeforeFeedMiB = 0;
    double residentAtBoundMiB = 0;  // once the recording first holds its 216000 frames
    double residentAfterFeedMiB = 0;
    double residentAfterReleaseMiB = 0;  // session closed, recording and loaded clip released
    double heapBeforeFeedMiB = 0;        // allocated and not freed, once connected
    double heapAfterReleaseMiB = 0;      // the same after the release
};
