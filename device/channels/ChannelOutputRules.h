#pragma once
// How the raw values of a vector or matrix channel become node outputs. Shared by the live device
// node and the clip reader so that both show the same numbers for the same values.

#include <array>
#include <cstddef>

#include "transport/records/CaptureRecords.h"

// TranslateX, TranslateY, TranslateZ, RotateX, RotateY, RotateZ (radians).
constexpr std::size_t kMatrixOutputCount = 6;
// What follows a channel's name in the names of its outputs, in output order.
constexpr const char* kVectorOutputSuffixes[kVectorComponents] = {"X", "Y", "Z"};
constexpr const char* kMatrixOutputSuffixes[kMatrixOutputCount] = {
    "TranslateX", "TranslateY", "TranslateZ", "RotateX", "RotateY", "RotateZ"};
using MatrixChannelOutputs = std::array<double, kMatrixOutputCount>;

// Component 0, 1, 2 (X, Y, Z) of a vector channel's three values; any other component is 0.0.
double vectorChannelOutput(const double* xyz, unsigned component);

// All six outputs of a matrix channel from its sixteen row-major values, from one decomposition:
// the translation in transform space and the Euler angles in the order the transformation matrix
// reports. Maya does the decomposition, so shear and scale are split off as Maya splits them.
MatrixChannelOutputs matrixChannelOutputs(const double* rowMajor16);

// One of the six outputs; any index above 5 is 0.0.
double matrixChannelOutput(const double* rowMajor16, unsigned index);
