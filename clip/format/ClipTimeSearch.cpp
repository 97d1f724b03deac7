#include "clip/format/ClipTimeSearch.h"

#include <algorithm>
#include <cmath>

bool clipTimesInOrder(const std::vector<double>& times) {
    for (std::size_t i = 1; i < times.size(); ++i)
        if (!(times[i - 1] <= times[i])) return false;
    return true;
}

std::size_t firstFrameNotBelow(const std::vector<double>& times, bool inOrder, double u) {
    const std::size_t count = times.size();
    if (count == 0) return 0;
    if (!inOrder) {
        std::size_t index = 0;
        while (index < count && u > times[index]) ++index;
        return index;
    }
    // In order (no NaN), "u > time" holds for a prefix of the times only: find where it ends.
    // Capture runs at a steady rate, so start where the average frame spacing puts u, gallop
    // outwards until the end of the prefix is bracketed, and halve the bracket.
    const auto below = [u](double time) { return u > time; };
    std::size_t low = 0;       // the prefix ends at or after low
    std::size_t high = count;  // ... and at or before high
    const double span = count > 1 ? times.back() - times.front() : 0.0;
    const double position = (u - times.front()) / span * static_cast<double>(count - 1);
    if (span > 0.0 && std::isfinite(span) && position >= 0.0 &&
        position < static_cast<double>(count)) {
        const auto guess = static_cast<std::size_t>(position);
        std::size_t step = 1;
        if (below(times[guess])) {
            low = guess + 1;
            while (low + step < count && below(times[low + step])) {
                low += step + 1;
                step *= 2;
            }
            high = std::min(count, low + step);
        } else {
            high = guess;
            while (high >= step && !below(times[high - step])) {
                high -= step;
                step *= 2;
            }
            low = high >= step ? high - step + 1 : 0;
        }
    }
    const auto found =
        std::partition_point(times.begin() + static_cast<std::ptrdiff_t>(low),
                             times.begin() + static_cast<std::ptrdiff_t>(high), below);
    return static_cast<std::size_t>(found - times.begin());
}

ClipBlendPoint clipBlendPoint(const std::vector<double>& times, bool inOrder, double u) {
    ClipBlendPoint point;
    point.next = firstFrameNotBelow(times, inOrder, u);
    if (point.next < times.size()) {
        point.previous = point.next == 0 ? 0 : point.next - 1;
        const double span = times[point.next] - times[point.previous];
        if (span > 0.0) point.weight = (u - times[point.previous]) / span;
    } else {
        point.previous = point.next = times.size() - 1;
        point.weight = 1.0;
    }
    return point;
}
