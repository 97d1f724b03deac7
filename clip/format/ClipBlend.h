#pragma once
// The straight-line blend of two clip values, shared by playback and by the frame a save starts
// with. A value that is not finite is data to show at its own frame, never a term of a blend.

#include <cmath>

// (1 - weight) * from + weight * to when both are finite. Otherwise a weight of 0 gives from and
// 1 gives to, and in between the finite one of the two holds (the nearer one when neither is), so
// that an infinite or NaN value never spreads into the frames around it.
inline double blendClipValue(double from, double to, double weight) {
    if (std::isfinite(from) && std::isfinite(to)) return (1.0 - weight) * from + weight * to;
    if (!(weight > 0.0)) return from;
    if (weight >= 1.0) return to;
    if (std::isfinite(from)) return from;
    if (std::isfinite(to)) return to;
    return weight < 0.5 ? from : to;
}
