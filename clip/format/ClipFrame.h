#pragma once
// One frame of a loaded clip, with the matrix channels already turned into their six outputs so
// that playback only blends numbers. Its order is the outputs' order, not the flat frame layout
// of CaptureFrame and the clip text: scalars, then the six outputs per matrix channel, then X Y Z
// per vector channel.

#include <array>
#include <vector>

struct ClipFrame {
    double time = 0.0;                            // seconds after the clip's first frame
    std::vector<double> scalars;                  // one per scalar channel
    std::vector<std::array<double, 6>> matrices;  // translate xyz, rotate xyz per matrix channel
    std::vector<std::array<double, 3>> vectors;   // x y z per vector channel
};
