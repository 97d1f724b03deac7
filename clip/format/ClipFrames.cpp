#include "clip/format/ClipFrames.h"

#include "transport/records/CaptureRecords.h"

#include <algorithm>

namespace {
constexpr std::size_t kClipMatrixOutputs = 6;  // translate xyz, rotate xyz
}  // namespace

void ClipFrames::reset(std::size_t scalarCount, std::size_t vectorCount, std::size_t matrixCount) {
    scalarCount_ = scalarCount;
    vectorCount_ = vectorCount;
    matrixCount_ = matrixCount;
    stride_ = scalarCount + kClipMatrixOutputs * matrixCount + kVectorComponents * vectorCount;
    framesPerChunk_ = std::max<std::size_t>(1, kValuesPerChunk / std::max<std::size_t>(1, stride_));
    times_.clear();
    chunks_.clear();
    timesInOrder_ = true;
}

double* ClipFrames::newFrameValues(double time) {
    // Written so that a NaN time counts as out of order.
    if (!times_.empty() && !(times_.back() <= time)) timesInOrder_ = false;
    const std::size_t index = times_.size();
    if (index % framesPerChunk_ == 0) chunks_.emplace_back(new double[framesPerChunk_ * stride_]);
    times_.push_back(time);
    return chunks_.back().get() + (index % framesPerChunk_) * stride_;
}

void ClipFrames::appendFlat(double time, const double* flatValues) {
    double* out = newFrameValues(time);
    out = std::copy(flatValues, flatValues + scalarCount_, out);
    const double* matrix = flatValues + scalarCount_ + kVectorComponents * vectorCount_;
    for (std::size_t m = 0; m < matrixCount_; ++m, matrix += kMatrixElements) {
        const std::array<double, kClipMatrixOutputs> outputs = matrixOutputs_(matrix);
        out = std::copy(outputs.begin(), outputs.end(), out);
    }
    const double* vector = flatValues + scalarCount_;
    for (std::size_t v = 0; v < vectorCount_; ++v, vector += kVectorComponents)
        out = std::copy(vector, vector + kVectorComponents, out);
}

void ClipFrames::append(const ClipFrame& frame) {
    double* out = newFrameValues(frame.time);
    // Positions the record lacks are 0.0, never read past its lists.
    std::fill(out, out + stride_, 0.0);
    std::copy_n(frame.scalars.begin(), std::min(scalarCount_, frame.scalars.size()), out);
    out += scalarCount_;
    for (std::size_t m = 0; m < std::min(matrixCount_, frame.matrices.size()); ++m)
        std::copy(frame.matrices[m].begin(), frame.matrices[m].end(), out + kClipMatrixOutputs * m);
    out += kClipMatrixOutputs * matrixCount_;
    for (std::size_t v = 0; v < std::min(vectorCount_, frame.vectors.size()); ++v)
        std::copy(frame.vectors[v].begin(), frame.vectors[v].end(), out + kVectorComponents * v);
}

const double* ClipFrames::values(std::size_t index) const {
    return chunks_[index / framesPerChunk_].get() + (index % framesPerChunk_) * stride_;
}

ClipFrame ClipFrames::frame(std::size_t index) const {
    ClipFrame record;
    record.time = times_[index];
    const double* value = values(index);
    record.scalars.assign(value, value + scalarCount_);
    value += scalarCount_;
    record.matrices.resize(matrixCount_);
    for (auto& group : record.matrices) {
        std::copy_n(value, group.size(), group.begin());
        value += group.size();
    }
    record.vectors.resize(vectorCount_);
    for (auto& group : record.vectors) {
        std::copy_n(value, group.size(), group.begin());
        value += group.size();
    }
    return record;
}

double ClipFrames::duration() const {
    double latest = 0.0;
    for (const double time : times_)
        if (time > latest) latest = time;
    return latest;
}

ClipBlendPoint ClipFrames::blendPoint(double u) const {
    return clipBlendPoint(times_, timesInOrder_, u);
}
