#pragma once
// Where a clip time falls among the frame times: the frame to blend from, the frame to blend to
// and the weight of the latter. Shared by every form in which a clip's frames are kept.

#include <cstddef>
#include <vector>

// Whether the times never decrease (a NaN time counts as out of order).
bool clipTimesInOrder(const std::vector<double>& times);

// The first frame whose time is not below u (frames are skipped while u is greater than their
// time); times.size() when every frame is below u. Searches where inOrder, scans otherwise; the
// frame found is the same.
std::size_t firstFrameNotBelow(const std::vector<double>& times, bool inOrder, double u);

struct ClipBlendPoint {
    std::size_t previous = 0;
    std::size_t next = 0;
    double weight = 0.0;  // of next: value = (1 - weight) * previous + weight * next
};

// Before the first frame: the first frame; after the last: the last; between: the straight-line
// blend of the two neighbours. times must not be empty.
ClipBlendPoint clipBlendPoint(const std::vector<double>& times, bool inOrder, double u);
