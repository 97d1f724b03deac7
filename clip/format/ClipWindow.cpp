#include "clip/format/ClipWindow.h"

#include "clip/format/ClipBlend.h"
#include "clip/format/ClipWriter.h"

#include <algorithm>
#include <vector>

namespace {

// The latest frame at or before the cut, stepping back from the last frame; the first frame when
// all are later. With a single frame that frame is the anchor.
std::size_t findAnchor(const std::deque<CaptureFrame>& frames, double cut) {
    std::size_t index = frames.size() - 1;
    while (index > 0) {
        --index;
        if (!(frames[index].timestamp > cut)) break;
    }
    return index;
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
    const std::size_t anchor = findAnchor(frames, window.startTime);
    if (frames.size() == 1 || frames[anchor].timestamp > window.startTime) {
        // Nothing was recorded at the cut: the take is the recording from its first frame, not a
        // lead-in made up from it.
        window.startTime = frames.front().timestamp;
        window.firstRecorded = 0;
        return window;
    }
    window.firstRecorded = anchor + 1;
    window.startFrame = blendStartFrame(frames[anchor], frames[anchor + 1], window.startTime);
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
