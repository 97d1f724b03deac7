#include "clip/nodes/SampleClip.h"

#include "clip/format/ClipBlend.h"

#include <algorithm>

namespace {

// Positions that the clip does not have get 0.0 rather than a value the frames do not hold.
void blendNumbers(std::vector<double>& values, const double* from, const double* to,
                  std::size_t count, double weight) {
    const std::size_t shared = std::min(values.size(), count);
    for (std::size_t k = 0; k < shared; ++k) values[k] = blendClipValue(from[k], to[k], weight);
    std::fill(values.begin() + static_cast<std::ptrdiff_t>(shared), values.end(), 0.0);
}

template <std::size_t N>
void blendGroups(std::vector<std::array<double, N>>& values, const double* from, const double* to,
                 std::size_t count, double weight) {
    const std::size_t shared = std::min(values.size(), count);
    for (std::size_t g = 0; g < shared; ++g)
        for (std::size_t i = 0; i < N; ++i)
            values[g][i] = blendClipValue(from[N * g + i], to[N * g + i], weight);
    std::fill(values.begin() + static_cast<std::ptrdiff_t>(shared), values.end(),
              std::array<double, N>{});
}

}  // namespace

void sampleClip(const ClipFrames& frames, double u, std::vector<double>& scalarValues,
                std::vector<MatrixChannelOutputs>& matrixValues,
                std::vector<std::array<double, kVectorComponents>>& vectorValues) {
    if (frames.empty()) return;
    const ClipBlendPoint point = frames.blendPoint(u);
    const double* from = frames.values(point.previous);
    const double* to = frames.values(point.next);
    blendNumbers(scalarValues, from, to, frames.scalarCount(), point.weight);
    from += frames.scalarCount();
    to += frames.scalarCount();
    blendGroups(matrixValues, from, to, frames.matrixCount(), point.weight);
    from += kMatrixOutputCount * frames.matrixCount();
    to += kMatrixOutputCount * frames.matrixCount();
    blendGroups(vectorValues, from, to, frames.vectorCount(), point.weight);
}
