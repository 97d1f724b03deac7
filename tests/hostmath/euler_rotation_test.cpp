#include <gtest/gtest.h>

#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>

#include <cmath>
#include <string>

#include "ReferenceTransform.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
const double kNone[3] = {0, 0, 0};
const double kOnes[3] = {1, 1, 1};

const char* const kOrderNames[6] = {"xyz", "yzx", "zxy", "xzy", "yxz", "zyx"};

MMatrix referenceRotation(const double angles[3], int order) {
    return reference::compose(kNone, angles, kOrderNames[order], kOnes, kNone);
}

TEST(EulerRotationTest, OrdersKeepMayasNumbers) {
    EXPECT_EQ(MEulerRotation::kXYZ, 0);
    EXPECT_EQ(MEulerRotation::kYZX, 1);
    EXPECT_EQ(MEulerRotation::kZXY, 2);
    EXPECT_EQ(MEulerRotation::kXZY, 3);
    EXPECT_EQ(MEulerRotation::kYXZ, 4);
    EXPECT_EQ(MEulerRotation::kZYX, 5);
}

TEST(EulerRotationTest, AsMatrixAppliesTheFirstAxisOfTheOrderFirst) {
    const double angles[3] = {0.3, -0.7, 1.2};
    for (int order = 0; order < 6; ++order) {
        const auto ord = static_cast<MEulerRotation::RotationOrder>(order);
        const MEulerRotation r(angles[0], angles[1], angles[2], ord);
        EXPECT_TRUE(r.asMatrix().isEquivalent(referenceRotation(angles, order), 1e-14))
            << kOrderNames[order];
    }
    // A quarter turn about z takes x to y.
    const MVector turned = MVector::xAxis * MEulerRotation(0, 0, kPi / 2).asMatrix();
    EXPECT_TRUE(turned.isEquivalent(MVector::yAxis, 1e-15));
}

TEST(EulerRotationTest, DecomposeGivesBackTheAnglesForEveryOrder) {
    // (first, middle, last): the middle angle of a decomposition lies within +-pi/2.
    const double cases[][3] = {
        {0.3, -0.7, 1.2}, {-2.5, 1.1, 0.4}, {3.0, -1.4, -2.9}, {0.0, 0.0, 0.0}};
    for (const auto& sequence : cases) {
        for (int order = 0; order < 6; ++order) {
            double angles[3];
            reference::anglesInOrder(sequence, kOrderNames[order], angles);
            const auto ord = static_cast<MEulerRotation::RotationOrder>(order);
            const MEulerRotation r =
                MEulerRotation::decompose(referenceRotation(angles, order), ord);
            EXPECT_TRUE(r.isEquivalent(MEulerRotation(angles[0], angles[1], angles[2], ord), 1e-12))
                << kOrderNames[order] << " " << r.x << " " << r.y << " " << r.z;
        }
    }
}

TEST(EulerRotationTest, ReorderKeepsTheRotation) {
    const MEulerRotation r(0.4, 1.0, -2.2, MEulerRotation::kXYZ);
    for (int order = 0; order < 6; ++order) {
        const auto ord = static_cast<MEulerRotation::RotationOrder>(order);
        const MEulerRotation reordered = r.reorder(ord);
        EXPECT_EQ(reordered.order, ord);
        EXPECT_TRUE(reordered.asMatrix().isEquivalent(r.asMatrix(), 1e-12)) << kOrderNames[order];
        MEulerRotation inPlace = r;
        inPlace.reorderIt(ord);
        EXPECT_EQ(inPlace, reordered);
    }
}

TEST(EulerRotationTest, BoundAndAlternateSolutionKeepTheRotation) {
    const MEulerRotation wound(4.0, -7.0, 2.0 * kPi + 0.5, MEulerRotation::kZXY);
    const MEulerRotation bounded = wound.bound();
    for (unsigned i = 0; i < 3; ++i) {
        EXPECT_LE(std::fabs(bounded[i]), kPi);
    }
    EXPECT_NEAR(bounded.z, 0.5, 1e-12);
    EXPECT_TRUE(bounded.asMatrix().isEquivalent(wound.asMatrix(), 1e-12));

    for (int order = 0; order < 6; ++order) {
        const MEulerRotation r(0.3, -0.7, 1.2, static_cast<MEulerRotation::RotationOrder>(order));
        const MEulerRotation other = r.alternateSolution();
        EXPECT_FALSE(other.isEquivalent(r, 1e-3));
        EXPECT_TRUE(other.asMatrix().isEquivalent(r.asMatrix(), 1e-12)) << kOrderNames[order];
    }
}

TEST(EulerRotationTest, DecomposeIgnoresScaleAndShear) {
    const double translate[3] = {1, 2, 3};
    const double angles[3] = {0.5, 0.25, -1.0};
    const double scale[3] = {2.0, 0.5, 3.0};
    const double shear[3] = {0.3, -0.2, 0.1};
    const MMatrix m = reference::compose(translate, angles, "yxz", scale, shear);
    const MEulerRotation r = MEulerRotation::decompose(m, MEulerRotation::kYXZ);
    EXPECT_TRUE(r.isEquivalent(MEulerRotation(0.5, 0.25, -1.0, MEulerRotation::kYXZ), 1e-12));
}

TEST(EulerRotationTest, ProductAppliesTheLeftRotationFirst) {
    const MEulerRotation a(0.2, 0.0, 0.0);
    const MEulerRotation b(0.0, 0.3, 0.0);
    EXPECT_TRUE((a * b).asMatrix().isEquivalent(a.asMatrix() * b.asMatrix(), 1e-14));
    EXPECT_TRUE((a * b).isEquivalent(MEulerRotation(0.2, 0.3, 0.0), 1e-14));
}

}  // namespace
