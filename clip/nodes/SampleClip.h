#pragma once
// Clip playback: the values of a clip at a clip time, blended linearly between the two frames
// around it and held at the first and last frame outside the clip.

#include "clip/format/ClipFrames.h"
#include "device/channels/ChannelOutputRules.h"

#include <array>
#include <vector>

// Fills the three value lists (their sizes stay as they are) with the clip's values at clip time
// u: the first frame whose time is not below u, blended with the frame before it. Positions that
// the frames do not have are set to 0.0. An empty clip changes nothing.
void sampleClip(const ClipFrames& frames, double u, std::vector<double>& scalarValues,
                std::vector<MatrixChannelOutputs>& matrixValues,
                std::vector<std::array<double, kVectorComponents>>& vectorValues);
