#pragma once
// The frames of a loaded clip. Times sit in one array and values frame after frame in large
// chunks, so that sampling a long clip touches two neighbouring stretches of memory rather than
// a scatter of small arrays. Matrix channels are kept as their six outputs, made by the rule the
// frames are built with: the clip format does no matrix algebra of its own (the nodes hand it
// Maya's decomposition, matrixChannelOutputs).

#include "clip/format/ClipFrame.h"
#include "clip/format/ClipTimeSearch.h"

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

// Turns a matrix channel's sixteen row-major values into its six outputs (translate xyz,
// rotate xyz).
using MatrixOutputRule = std::array<double, 6> (*)(const double* rowMajor16);

class ClipFrames {
  public:
    explicit ClipFrames(MatrixOutputRule matrixOutputs) : matrixOutputs_(matrixOutputs) {}

    // Empties the frames and sets how many channels of each kind every frame has.
    void reset(std::size_t scalarCount, std::size_t vectorCount, std::size_t matrixCount);
    void clear() { reset(0, 0, 0); }

    // Appends a frame from its flat values (S scalars, X Y Z per vector, 16 row-major values per
    // matrix), with each matrix through the matrix output rule.
    void appendFlat(double time, const double* flatValues);
    // Appends a frame already in output form; its lists must have this clip's sizes.
    void append(const ClipFrame& frame);

    std::size_t size() const { return times_.size(); }
    bool empty() const { return times_.empty(); }
    std::size_t scalarCount() const { return scalarCount_; }
    std::size_t vectorCount() const { return vectorCount_; }
    std::size_t matrixCount() const { return matrixCount_; }

    double time(std::size_t index) const { return times_[index]; }
    // The clip's length in seconds: its latest frame time, and 0 for a clip that starts later or
    // has no frames (what the clip reader and the take information report).
    double duration() const;
    // Frame index's values: scalars, then six per matrix channel, then three per vector channel.
    const double* values(std::size_t index) const;
    ClipFrame frame(std::size_t index) const;

    // Whether the times never decrease (NaN counts as out of order).
    bool timesInOrder() const { return timesInOrder_; }
    // The two frames around u and the weight of the later one.
    ClipBlendPoint blendPoint(double u) const;

  private:
    double* newFrameValues(double time);

    // About half a megabyte per chunk, whatever the layout: a short clip with thousands of
    // channels must not reserve thousands of frames' worth of memory.
    static constexpr std::size_t kValuesPerChunk = std::size_t{1} << 16;
    MatrixOutputRule matrixOutputs_;
    std::size_t scalarCount_ = 0;
    std::size_t vectorCount_ = 0;
    std::size_t matrixCount_ = 0;
    std::size_t stride_ = 0;  // values per frame
    std::size_t framesPerChunk_ = kValuesPerChunk;
    std::vector<double> times_;
    std::vector<std::unique_ptr<double[]>> chunks_;
    bool timesInOrder_ = true;
};
