#include "clip/format/ClipWindow.h"

#include "clip/format/ClipBlend.h"
#include "clip/format/ClipWriter.h"

#include <algorithm>
#include <vector>

namespace {

// Where the take starts, stepping back from the last frame: at the latest frame at or before the
// cut (the anchor, blended towards the next one), or, when no frame is, at the first frame of the
// recording or the first one after the phone restarted its clock. A frame later than the last
// one was sent before such a restart: its time belongs to the old clock, so the take cannot reach
// back past it.
struct WindowStart {
    std::size_t index = 0;
    bool anchor = false;
};

WindowStart findWindowStart(const std::deque<CaptureFrame>& frames, double cut, double end) {
    std::size_t index = frames.size() - 1;
    while (index > 0) {
        const double earlier = frames[index - 1].timestamp;
        if (earlier > end) return {index, false};
        --index;
        if (!(earlier > cut)) return {index, true};
    }
    return {0, false};
}

CaptureFrame blendStartFrame(const CaptureFrame& anchor, const CaptureFrame& next, double cut) {
    double weight = 0.0;
    if (anchor.timestamp < cut && next.timestamp > anchor.timestamp)
        weight = (cut - anchor.timestamp) / (next.timestamp - anchor.timestamp);

    std::vector<double> values(anchor.values.get(), anchor.values.get() + anchor.valueCount);
    // The anchor's own value stands in where the next frame has fewer values.
    const std::uint32_t blended = std::min(anchor.valueCount, next.valueCount);
    for (std::uint32_t i = 0; i < blended; ++i)
        values[i] = blendClipValue(anchor.values[i], next.values[i], weight);
    return CaptureFrame(cut, values.data(), anchor.valueCount);
}

}  // namespace

std::optional<ClipWindow> cutClipWindow(const CaptureRecording& recording, double clipLength) {
    const auto& frames = recording.frames;
    if (frames.empty() || !(clipLength > 0.0)) return std::nullopt;

    ClipWindow window;
    window.endTime = frames.back().timestamp;
    window.startTime = window.endTime - clipLength;
    const WindowStart start = findWindowStart(frames, window.startTime, window.endTime);
    if (!start.anchor) {
        // Nothing was recorded at the cut: the take starts with a recorded frame as it is, not
        // a lead-in made up from it.
        window.startTime = frames[start.index].timestamp;
        window.firstRecorded = start.index;
        return window;
    }
    window.firstRecorded = start.index + 1;
    window.startFrame =
        blendStartFrame(frames[start.index], frames[start.index + 1], window.startTime);
    return window;
}

void writeClipWindow(std::ostream& out, const CaptureRecording& recording,
                     const ClipWindow& window) {
    ClipWriter writer(out, recording.names);
    if (window.startFrame) writer.writeFrame(*window.startFrame);
    for (std::size_t i = window.firstRecorded; i < recording.frames.size(); ++i)
        writer.writeFrame(recording.frames[i]);
    writer.finish();
}
