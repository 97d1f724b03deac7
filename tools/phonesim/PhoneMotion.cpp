// The deterministic motion of the stand-in: every value is a smooth function of the timestamp.

#include <cmath>

#include "PhoneSim.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

using Matrix3 = std::array<std::array<double, 3>, 3>;

Matrix3 multiply(const Matrix3& a, const Matrix3& b) {
    Matrix3 product{};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            for (int k = 0; k < 3; ++k) product[row][column] += a[row][k] * b[k][column];
    return product;
}

// Row-vector convention: a point p is rotated as p * R.
Matrix3 rotationXyz(const std::array<double, 3>& angles) {
    const double cx = std::cos(angles[0]), sx = std::sin(angles[0]);
    const double cy = std::cos(angles[1]), sy = std::sin(angles[1]);
    const double cz = std::cos(angles[2]), sz = std::sin(angles[2]);
    const Matrix3 rx{{{1, 0, 0}, {0, cx, sx}, {0, -sx, cx}}};
    const Matrix3 ry{{{cy, 0, -sy}, {0, 1, 0}, {sy, 0, cy}}};
    const Matrix3 rz{{{cz, sz, 0}, {-sz, cz, 0}, {0, 0, 1}}};
    return multiply(multiply(rx, ry), rz);
}

}  // namespace

ChannelNameLists PhoneSim::defaultChannels() {
    ChannelNameLists channels;
    channels.scalars() = {"eyeBlinkLeft",      "eyeLookDownLeft",    "eyeLookInLeft",
                          "eyeLookOutLeft",    "eyeLookUpLeft",      "eyeSquintLeft",
                          "eyeWideLeft",       "eyeBlinkRight",      "eyeLookDownRight",
                          "eyeLookInRight",    "eyeLookOutRight",    "eyeLookUpRight",
                          "eyeSquintRight",    "eyeWideRight",       "jawForward",
                          "jawLeft",           "jawRight",           "jawOpen",
                          "mouthClose",        "mouthFunnel",        "mouthPucker",
                          "mouthLeft",         "mouthRight",         "mouthSmileLeft",
                          "mouthSmileRight",   "mouthFrownLeft",     "mouthFrownRight",
                          "mouthDimpleLeft",   "mouthDimpleRight",   "mouthStretchLeft",
                          "mouthStretchRight", "mouthRollLower",     "mouthRollUpper",
                          "mouthShrugLower",   "mouthShrugUpper",    "mouthPressLeft",
                          "mouthPressRight",   "mouthLowerDownLeft", "mouthLowerDownRight",
                          "mouthUpperUpLeft",  "mouthUpperUpRight",  "browDownLeft",
                          "browDownRight",     "browInnerUp",        "browOuterUpLeft",
                          "browOuterUpRight",  "cheekPuff",          "cheekSquintLeft",
                          "cheekSquintRight",  "noseSneerLeft",      "noseSneerRight",
                          "tongueOut"};
    channels.vectors() = {"gaze", "lookAt"};
    channels.matrices() = {"head", "leftEye", "rightEye"};
    return channels;
}

std::array<double, 3> PhoneSim::matrixTranslation(std::size_t matrixIndex, double timestamp) {
    const double m = static_cast<double>(matrixIndex);
    return {2.0 * std::sin(kTwoPi * 0.21 * timestamp + m),
            150.0 + 10.0 * m + 1.5 * std::sin(kTwoPi * 0.17 * timestamp + 2.0 * m),
            5.0 + 0.5 * m + 3.0 * std::sin(kTwoPi * 0.13 * timestamp + 0.5 * m)};
}

std::array<double, 3> PhoneSim::matrixRotation(std::size_t matrixIndex, double timestamp) {
    // Amplitudes stay well inside (-pi/2, pi/2), so a decomposition gives these angles back.
    const double m = static_cast<double>(matrixIndex);
    return {0.35 * std::sin(kTwoPi * 0.23 * timestamp + 0.7 * m),
            0.5 * std::sin(kTwoPi * 0.19 * timestamp + 1.1 * m),
            0.25 * std::sin(kTwoPi * 0.29 * timestamp + 1.7 * m)};
}

double PhoneSim::channelValue(ChannelKind kind, std::size_t channelIndex, std::size_t element,
                              double timestamp) {
    const double index = static_cast<double>(channelIndex);
    switch (kind) {
        case ChannelKind::scalar:
            return 0.5 +
                   0.5 * std::sin(kTwoPi * (0.25 + 0.0173 * index) * timestamp + 0.61 * index);
        case ChannelKind::vector: {
            if (element >= kVectorComponents) return 0.0;
            const double k = static_cast<double>(element);
            return 0.4 * std::sin(kTwoPi * (0.31 + 0.07 * index + 0.05 * k) * timestamp +
                                  1.3 * index + 0.9 * k);
        }
        case ChannelKind::matrix: {
            if (element >= kMatrixElements) return 0.0;
            const std::size_t row = element / 4, column = element % 4;
            if (column == 3) return row == 3 ? 1.0 : 0.0;
            if (row == 3) return matrixTranslation(channelIndex, timestamp)[column];
            return rotationXyz(matrixRotation(channelIndex, timestamp))[row][column];
        }
    }
    return 0.0;
}

std::uint8_t PhoneSim::videoByte(std::size_t i) {
    return static_cast<std::uint8_t>((i * 31 + (i >> 8)) & 0xFF);
}

std::string PhoneSim::videoContent(std::size_t n) {
    std::string content(n, '\0');
    for (std::size_t i = 0; i < n; ++i) content[i] = static_cast<char>(videoByte(i));
    return content;
}
