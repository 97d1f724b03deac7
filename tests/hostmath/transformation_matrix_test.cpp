#include <gtest/gtest.h>

#include <maya/MTransformationMatrix.h>

#include <cmath>
#include <string>

#include "ReferenceTransform.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
const double kNone[3] = {0, 0, 0};
const double kOnes[3] = {1, 1, 1};

struct OrderCase {
    MTransformationMatrix::RotationOrder order;
    const char* axes;
};

const OrderCase kOrders[] = {
    {MTransformationMatrix::kXYZ, "xyz"}, {MTransformationMatrix::kYZX, "yzx"},
    {MTransformationMatrix::kZXY, "zxy"}, {MTransformationMatrix::kXZY, "xzy"},
    {MTransformationMatrix::kYXZ, "yxz"}, {MTransformationMatrix::kZYX, "zyx"},
};

void expectTriple(const double actual[3], const double expected[3], double tolerance,
                  const std::string& what) {
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << what << " [" << i << "]";
}

TEST(TransformationMatrixTest, OrdersKeepMayasNumbers) {
    EXPECT_EQ(MTransformationMatrix::kInvalid, 0);
    EXPECT_EQ(MTransformationMatrix::kXYZ, 1);
    EXPECT_EQ(MTransformationMatrix::kZYX, 6);
    EXPECT_EQ(MSpace::kObject, MSpace::kPreTransform);
}

TEST(TransformationMatrixTest, IdentityHasNoTranslationRotationOrShear) {
    const MTransformationMatrix tm(MMatrix::identity);
    MStatus status;
    EXPECT_EQ(tm.getTranslation(MSpace::kTransform, &status), MVector::zero);
    EXPECT_TRUE(status);
    double rotation[3] = {9, 9, 9};
    MTransformationMatrix::RotationOrder order = MTransformationMatrix::kInvalid;
    ASSERT_TRUE(tm.getRotation(rotation, order));
    expectTriple(rotation, kNone, 0.0, "rotation");
    EXPECT_EQ(order, MTransformationMatrix::kXYZ);
    double scale[3];
    double shear[3];
    ASSERT_TRUE(tm.getScale(scale, MSpace::kTransform));
    ASSERT_TRUE(tm.getShear(shear, MSpace::kTransform));
    expectTriple(scale, kOnes, 0.0, "scale");
    expectTriple(shear, kNone, 0.0, "shear");
    EXPECT_EQ(MTransformationMatrix().asMatrix(), MMatrix::identity);
}

// Every order, with and without non-uniform scale and shear: the parts that built a matrix
// come back out of it.
TEST(TransformationMatrixTest, GivesBackThePartsThatBuiltAMatrix) {
    const double translate[3] = {1.5, -2.0, 30.25};
    // (first, middle, last): the middle angle of a decomposition lies within +-pi/2.
    const double angleCases[][3] = {{0.3, -0.7, 1.2}, {-2.5, 1.1, 0.4}, {3.0, -1.4, -2.9}};
    const double scaleCases[][3] = {{1, 1, 1}, {2.0, 0.5, 3.0}, {0.01, 40.0, 1.0}};
    const double shearCases[][3] = {{0, 0, 0}, {0.3, -0.2, 0.5}};

    for (const OrderCase& c : kOrders) {
        for (const auto& sequence : angleCases) {
            double angles[3];
            reference::anglesInOrder(sequence, c.axes, angles);
            for (const auto& scale : scaleCases) {
                for (const auto& shear : shearCases) {
                    const std::string what =
                        std::string(c.axes) + " scale " + std::to_string(scale[0]) + " shear " +
                        std::to_string(shear[0]) + " x " + std::to_string(angles[0]);
                    const MMatrix built =
                        reference::compose(translate, angles, c.axes, scale, shear);
                    MTransformationMatrix tm(built);

                    const MVector t = tm.getTranslation(MSpace::kTransform);
                    EXPECT_EQ(t, MVector(translate));

                    double gotScale[3];
                    double gotShear[3];
                    ASSERT_TRUE(tm.getScale(gotScale, MSpace::kTransform));
                    ASSERT_TRUE(tm.getShear(gotShear, MSpace::kTransform));
                    expectTriple(gotScale, scale, 1e-12 * scale[1], what + " scale");
                    expectTriple(gotShear, shear, 1e-12, what + " shear");

                    // Decomposed in XYZ, the rotation rebuilds the same matrix.
                    double rotation[3];
                    MTransformationMatrix::RotationOrder order = MTransformationMatrix::kInvalid;
                    ASSERT_TRUE(tm.getRotation(rotation, order));
                    EXPECT_EQ(order, MTransformationMatrix::kXYZ);
                    EXPECT_TRUE(tm.asMatrix().isEquivalent(built, 1e-12 * scale[1])) << what;

                    // Re-expressed in the building order, the angles are the building angles.
                    ASSERT_TRUE(tm.reorderRotation(c.order));
                    ASSERT_TRUE(tm.getRotation(rotation, order));
                    EXPECT_EQ(order, c.order);
                    expectTriple(rotation, angles, 1e-12, what + " rotation");
                }
            }
        }
    }
}

TEST(TransformationMatrixTest, GimbalLockGivesARotationThatRebuildsTheMatrix) {
    const double translate[3] = {4, 5, 6};
    const double scale[3] = {1.0, 2.0, 0.5};
    for (const OrderCase& c : kOrders) {
        for (double middle : {kPi / 2, -kPi / 2}) {
            // The middle axis of the order sits at +-90 degrees.
            double angles[3] = {0.4, 0.4, -1.1};
            angles[c.axes[1] - 'x'] = middle;
            const MMatrix built = reference::compose(translate, angles, c.axes, scale, kNone);
            MTransformationMatrix tm(built);
            ASSERT_TRUE(tm.reorderRotation(c.order));

            double rotation[3];
            MTransformationMatrix::RotationOrder order;
            ASSERT_TRUE(tm.getRotation(rotation, order));
            for (double angle : rotation) EXPECT_TRUE(std::isfinite(angle));
            EXPECT_NEAR(rotation[c.axes[1] - 'x'], middle, 1e-7) << c.axes;
            const MMatrix rebuilt = reference::compose(translate, rotation, c.axes, scale, kNone);
            EXPECT_TRUE(rebuilt.isEquivalent(built, 1e-12)) << c.axes << " " << middle;
        }
    }
}

TEST(TransformationMatrixTest, MirroringMatrixKeepsAProperRotation) {
    const double angles[3] = {0.2, 0.3, 0.4};
    const double mirrored[3] = {-1.0, 2.0, 3.0};
    const MMatrix built = reference::compose(kNone, angles, "xyz", mirrored, kNone);
    const MTransformationMatrix tm(built);
    double scale[3];
    ASSERT_TRUE(tm.getScale(scale, MSpace::kTransform));
    EXPECT_LT(scale[0] * scale[1] * scale[2], 0.0);
    EXPECT_NEAR(std::fabs(scale[0] * scale[1] * scale[2]), 6.0, 1e-12);
    EXPECT_NEAR(tm.asRotateMatrix().det3x3(), 1.0, 1e-12);
    EXPECT_TRUE(tm.asMatrix().isEquivalent(built, 1e-12));
}

TEST(TransformationMatrixTest, DegenerateMatricesDecomposeWithoutNaN) {
    double flatRows[4][4] = {{0, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 3, 0}, {1, 2, 3, 1}};
    double zero[4][4] = {};
    double doubledRow[4][4] = {{1, 1, 0, 0}, {2, 2, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    MMatrix notANumber;
    notANumber(1, 1) = std::nan("");
    for (const MMatrix& m : {MMatrix(flatRows), MMatrix(zero), MMatrix(doubledRow), notANumber}) {
        const MTransformationMatrix tm(m);
        double rotation[3];
        double scale[3];
        double shear[3];
        MTransformationMatrix::RotationOrder order;
        tm.getRotation(rotation, order);
        tm.getScale(scale, MSpace::kTransform);
        tm.getShear(shear, MSpace::kTransform);
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(std::isfinite(rotation[i]));
            EXPECT_TRUE(std::isfinite(scale[i]));
            EXPECT_TRUE(std::isfinite(shear[i]));
        }
        EXPECT_NEAR(tm.asRotateMatrix().det3x3(), 1.0, 1e-12);
    }
    // A matrix that only lost one axis still rebuilds exactly.
    EXPECT_TRUE(
        MTransformationMatrix(MMatrix(flatRows)).asMatrix().isEquivalent(MMatrix(flatRows)));
}

TEST(TransformationMatrixTest, SettersComposeScaleShearRotationThenTranslation) {
    const double translate[3] = {-1, 0.5, 2};
    const double angles[3] = {0.1, -0.6, 2.0};
    const double scale[3] = {1.5, 2.5, 0.75};
    const double shear[3] = {0.2, 0.0, -0.4};
    MTransformationMatrix tm;
    ASSERT_TRUE(tm.setTranslation(MVector(translate), MSpace::kTransform));
    ASSERT_TRUE(tm.setRotation(angles, MTransformationMatrix::kZXY));
    ASSERT_TRUE(tm.setScale(scale, MSpace::kTransform));
    ASSERT_TRUE(tm.setShear(shear, MSpace::kTransform));
    EXPECT_EQ(tm.rotationOrder(), MTransformationMatrix::kZXY);
    EXPECT_TRUE(
        tm.eulerRotation().isEquivalent(MEulerRotation(0.1, -0.6, 2.0, MEulerRotation::kZXY)));
    EXPECT_TRUE(tm.asMatrix().isEquivalent(
        reference::compose(translate, angles, "zxy", scale, shear), 1e-14));
    EXPECT_TRUE((tm.asMatrix() * tm.asMatrixInverse()).isEquivalent(MMatrix::identity, 1e-12));

    // Changing the order without reordering keeps the angles and so moves the object.
    MTransformationMatrix keptAngles = tm;
    ASSERT_TRUE(keptAngles.setRotationOrder(MTransformationMatrix::kXYZ, false));
    EXPECT_TRUE(keptAngles.eulerRotation().isEquivalent(MEulerRotation(0.1, -0.6, 2.0)));
    EXPECT_FALSE(keptAngles.asMatrix().isEquivalent(tm.asMatrix(), 1e-6));
    MTransformationMatrix keptMatrix = tm;
    ASSERT_TRUE(keptMatrix.setRotationOrder(MTransformationMatrix::kXYZ, true));
    EXPECT_TRUE(keptMatrix.asMatrix().isEquivalent(tm.asMatrix(), 1e-12));
}

TEST(TransformationMatrixTest, RefusesInvalidSpacesAndOrders) {
    MTransformationMatrix tm;
    const double values[3] = {1, 2, 3};
    double out[3];
    MStatus status;
    tm.getTranslation(MSpace::kInvalid, &status);
    EXPECT_EQ(status, MStatus::kInvalidParameter);
    EXPECT_EQ(tm.setTranslation(MVector(values), MSpace::kLast), MStatus::kInvalidParameter);
    EXPECT_EQ(tm.getScale(out, MSpace::kInvalid), MStatus::kInvalidParameter);
    EXPECT_EQ(tm.setShear(values, MSpace::kLast), MStatus::kInvalidParameter);
    EXPECT_EQ(tm.setRotation(values, MTransformationMatrix::kInvalid), MStatus::kInvalidParameter);
    EXPECT_EQ(tm.setRotation(values, MTransformationMatrix::kLast), MStatus::kInvalidParameter);
    EXPECT_EQ(tm.reorderRotation(MTransformationMatrix::kInvalid), MStatus::kInvalidParameter);
    EXPECT_EQ(tm.asMatrix(), MMatrix::identity);
}

}  // namespace
