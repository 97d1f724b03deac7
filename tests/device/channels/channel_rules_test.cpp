#include "device/channels/ChannelOutputRules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(ChannelOutputRules, VectorComponents) {
    const double xyz[] = {1.0, 2.0, 3.0};
    EXPECT_EQ(vectorChannelOutput(xyz, 0), 1.0);
    EXPECT_EQ(vectorChannelOutput(xyz, 2), 3.0);
    EXPECT_EQ(vectorChannelOutput(xyz, 3), 0.0);
}

TEST(ChannelOutputRules, IdentityGivesZeros) {
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (const double value : matrixChannelOutputs(identity)) EXPECT_EQ(value, 0.0);
}

TEST(ChannelOutputRules, TranslationFromTheLastRowAndRotationInRadians) {
    // 30 degrees about Z for row vectors: the first row is (cos, sin, 0).
    const double c = std::cos(kPi / 6);
    const double s = std::sin(kPi / 6);
    const double matrix[16] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 4, -5, 6, 1};
    const auto outputs = matrixChannelOutputs(matrix);
    EXPECT_NEAR(outputs[0], 4.0, 1e-12);
    EXPECT_NEAR(outputs[1], -5.0, 1e-12);
    EXPECT_NEAR(outputs[2], 6.0, 1e-12);
    EXPECT_NEAR(outputs[3], 0.0, 1e-12);
    EXPECT_NEAR(outputs[4], 0.0, 1e-12);
    EXPECT_NEAR(outputs[5], kPi / 6, 1e-12);
    for (unsigned i = 0; i < 6; ++i) EXPECT_EQ(matrixChannelOutput(matrix, i), outputs[i]);
    EXPECT_EQ(matrixChannelOutput(matrix, 6), 0.0);
}

TEST(ChannelOutputRules, ScaleDoesNotLeakIntoRotation) {
    const double matrix[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0.5, 0, 1, 2, 3, 1};
    const auto outputs = matrixChannelOutputs(matrix);
    for (unsigned i = 3; i < 6; ++i) EXPECT_NEAR(outputs[i], 0.0, 1e-12);
}

}  // namespace
