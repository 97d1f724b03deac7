#pragma once
// The stretch of a recording that a save writes: the last clipLength seconds, starting with a
// frame blended at the cut between the two recorded frames around it. A take never starts before
// the first recorded frame, nor before the phone last restarted its clock (a frame later than the
// last one), and always holds at least the last frame.

#include "transport/records/CaptureRecords.h"

#include <cstddef>
#include <optional>
#include <ostream>

struct ClipWindow {
    // The cut, last timestamp - clip length, or the timestamp of the frame the take starts with
    // when nothing was recorded at the cut.
    double startTime = 0.0;
    double endTime = 0.0;  // the last frame's timestamp
    // The frame at the cut; absent when the window starts with a recorded frame as it is (the
    // recording is shorter than the clip length, or holds a single frame).
    std::optional<CaptureFrame> startFrame;
    // Index in the recording of the first frame written after the start frame.
    std::size_t firstRecorded = 0;
};

// Cuts the window without copying the recording. Returns nothing when there is nothing to save:
// no frame, or a clip length that is not above zero.
std::optional<ClipWindow> cutClipWindow(const CaptureRecording& recording, double clipLength);

// Writes the recording's names and the window's frames as a clip file. Throws ClipWriteError
// (before writing anything when a name cannot be carried).
void writeClipWindow(std::ostream& out, const CaptureRecording& recording,
                     const ClipWindow& window);
