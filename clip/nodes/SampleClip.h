#pragma once
// Clip playback: the values of a clip at a clip time, blended linearly between the two frames
// around it and held at the first and last frame outside the clip.

#include "ClipFrame.h"
#include "ClipFrames.h"

#include <array>
#include <cstddef>
#include <vector>

// Fills the three value lists (their sizes stay as they are) with the clip's values at clip time
// u: the first frame whose time is not below u, blended with the frame before it. Positions that
// the frames do not have are set to 0.0. An empty clip changes nothing.
void sampleClip(const ClipFrames& frames, double u, std::vector<double>& scalarValues,
                std::vector<std::array<double, 6>>& matrixValues,
                std::vector<std::array<double, 3>>& vectorValues);

// The frame times of clip records in one compact array, built once when the clip is loaded.
class ClipTimeIndex {
public:
    ClipTimeIndex() = default;
    explicit ClipTimeIndex(const std::vector<ClipFrame>& frames);

    bool inOrder() const { return inOrder_; }
    std::size_t size() const { return times_.size(); }
    std::size_t firstNotBelow(double u) const { return firstFrameNotBelow(times_, inOrder_, u); }
    ClipBlendPoint blendPoint(double u) const { return clipBlendPoint(times_, inOrder_, u); }

private:
    std::vector<double> times_;
    bool inOrder_ = true;
};

// The same over frames kept as records. ClipFrames is faster on long clips (its values sit
// together in memory). An index whose size does not match the frames is rebuilt for the call.
void sampleClip(const std::vector<ClipFrame>& frames, const ClipTimeIndex& index, double u,
                std::vector<double>& scalarValues, std::vector<std::array<double, 6>>& matrixValues,
                std::vector<std::array<double, 3>>& vectorValues);
