#pragma once
// The frames of a loaded clip. Times sit in one array and values frame after frame in large
// chunks, so that sampling a long clip touches two neighbouring stretches of memory rather than
// a scatter of small arrays. Matrix channels are kept as their six outputs.

#include "ClipFrame.h"
#include "ClipTimeSearch.h"

#include <cstddef>
#include <memory>
#include <vector>

class ClipFrames {
public:
    // Empties the frames and sets how many channels of each kind every frame has.
    void reset(std::size_t scalarCount, std::size_t vectorCount, std::size_t matrixCount);
    void clear() { reset(0, 0, 0); }

    // Appends a frame from its flat values (S scalars, X Y Z per vector, 16 row-major values per
    // matrix), applying the vector and matrix output rules.
    void appendFlat(double time, const double* flatValues);
    // Appends a frame already in output form; its lists must have this clip's sizes.
    void append(const ClipFrame& frame);

    std::size_t size() const { return times_.size(); }
    bool empty() const { return times_.empty(); }
    std::size_t scalarCount() const { return scalarCount_; }
    std::size_t vectorCount() const { return vectorCount_; }
    std::size_t matrixCount() const { return matrixCount_; }

    double time(std::size_t index) const { return times_[index]; }
    // Frame index's values: scalars, then six per matrix channel, then three per vector channel.
    const double* values(std::size_t index) const;
    ClipFrame frame(std::size_t index) const;

    // Whether the times never decrease (NaN counts as out of order).
    bool timesInOrder() const { return timesInOrder_; }
    // The first frame whose time is not below u (frames are skipped while u is greater than
    // their time); size() when every frame is below u. A search where the times are in order,
    // a scan from the first frame otherwise: the frame found is the same.
    std::size_t firstNotBelow(double u) const;
    // The two frames around u and the weight of the later one.
    ClipBlendPoint blendPoint(double u) const;

private:
    double* newFrameValues(double time);

    static constexpr std::size_t kFramesPerChunk = 4096;
    std::size_t scalarCount_ = 0;
    std::size_t vectorCount_ = 0;
    std::size_t matrixCount_ = 0;
    std::size_t stride_ = 0;  // values per frame
    std::vector<double> times_;
    std::vector<std::unique_ptr<double[]>> chunks_;
    bool timesInOrder_ = true;
};
