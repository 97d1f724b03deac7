#include <gtest/gtest.h>

#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <cmath>

namespace {

const double kSample[4][4] = {{2, 0, 1, 0}, {1, 3, 0, 0}, {0, 1, 4, 0}, {5, -6, 7, 1}};

TEST(MatrixTest, StartsAsIdentityAndKeepsRowsAsGiven) {
    const MMatrix identity;
    EXPECT_EQ(identity, MMatrix::identity);
    for (unsigned row = 0; row < 4; ++row)
        for (unsigned col = 0; col < 4; ++col)
            EXPECT_EQ(identity(row, col), row == col ? 1.0 : 0.0);

    const float asFloats[4][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};
    MMatrix m(asFloats);
    EXPECT_EQ(m(0, 3), 4.0);
    EXPECT_EQ(m[3][0], 13.0);
    EXPECT_EQ(m.matrix[1][2], 7.0);
    m[1][2] = -1.0;
    m(2, 1) = -2.0;
    double out[4][4];
    ASSERT_TRUE(m.get(out));
    EXPECT_EQ(out[1][2], -1.0);
    EXPECT_EQ(out[2][1], -2.0);
    EXPECT_EQ(m.transpose()(3, 0), 4.0);
    EXPECT_EQ(m.setToIdentity(), MMatrix::identity);
}

TEST(MatrixTest, TransformsRowVectorsWithTranslationInTheLastRow) {
    const MMatrix m(kSample);
    const MPoint p = MPoint(1.0, 2.0, 3.0) * m;
    EXPECT_EQ(p.x, 1 * 2 + 2 * 1 + 0 + 5);
    EXPECT_EQ(p.y, 0 + 2 * 3 + 3 * 1 - 6);
    EXPECT_EQ(p.z, 1 + 0 + 3 * 4 + 7);
    EXPECT_EQ(p.w, 1.0);
    // A direction ignores the translation.
    const MVector v = MVector(1.0, 2.0, 3.0) * m;
    EXPECT_EQ(v, MVector(4.0, 9.0, 13.0));

    // (p * A) * B == p * (A * B): the left matrix applies first.
    double shift[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {10, 20, 30, 1}};
    const MMatrix translate(shift);
    const MPoint both = MPoint(1.0, 2.0, 3.0) * (m * translate);
    EXPECT_TRUE(both.isEquivalent(p + MVector(10.0, 20.0, 30.0)));
}

TEST(MatrixTest, InverseDeterminantsAndEquivalence) {
    const MMatrix m(kSample);
    EXPECT_DOUBLE_EQ(m.det3x3(), 2 * 12 + 1 * 1);
    EXPECT_DOUBLE_EQ(m.det4x4(), m.det3x3());
    EXPECT_TRUE((m * m.inverse()).isEquivalent(MMatrix::identity, 1e-12));
    EXPECT_TRUE((m.inverse() * m).isEquivalent(MMatrix::identity, 1e-12));
    EXPECT_TRUE((m.adjoint() * (1.0 / m.det4x4())).isEquivalent(m.inverse(), 1e-12));
    EXPECT_FALSE(m.isSingular());

    MMatrix nearly = m;
    nearly(3, 2) += 1e-11;
    EXPECT_TRUE(m.isEquivalent(nearly));
    EXPECT_FALSE(m.isEquivalent(nearly, 1e-12));
    EXPECT_NE(m, nearly);

    MMatrix product = m;
    product *= m;  // product with itself as both operands
    EXPECT_TRUE(product.isEquivalent(m * m));
}

TEST(MatrixTest, SingularOrBrokenMatricesGiveAFiniteInverse) {
    double flat[4][4] = {{1, 2, 3, 0}, {2, 4, 6, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const MMatrix singular(flat);
    EXPECT_TRUE(singular.isSingular());
    EXPECT_EQ(singular.inverse(), MMatrix::identity);

    MMatrix broken;
    broken(0, 0) = std::nan("");
    EXPECT_EQ(broken.inverse(), MMatrix::identity);
    EXPECT_FALSE(broken.isEquivalent(broken));
}

TEST(VectorTest, ArithmeticProductsAndNormals) {
    const MVector a(1.0, 2.0, 2.0);
    EXPECT_EQ(a.length(), 3.0);
    EXPECT_TRUE(a.normal().isEquivalent(MVector(1.0 / 3, 2.0 / 3, 2.0 / 3)));
    EXPECT_EQ(MVector::xAxis ^ MVector::yAxis, MVector::zAxis);
    EXPECT_EQ(a * MVector(3.0, 0.0, -1.0), 1.0);
    EXPECT_EQ(a + a, 2.0 * a);
    EXPECT_EQ(-a, MVector(-1.0, -2.0, -2.0));
    EXPECT_EQ(a[0], 1.0);
    EXPECT_EQ(a[2], 2.0);
    EXPECT_DOUBLE_EQ(MVector::xAxis.angle(MVector::yAxis), std::acos(0.0));
    EXPECT_TRUE(a.isParallel(a * -4.0));

    MVector zero;
    EXPECT_EQ(zero.normal(), MVector::zero);
    EXPECT_FALSE(zero.normalize());
    EXPECT_EQ(zero.angle(a), 0.0);
}

TEST(PointTest, DifferencesAndHomogeneousForm) {
    const MPoint a(1.0, 2.0, 3.0);
    const MPoint b(4.0, 6.0, 3.0);
    EXPECT_EQ(b - a, MVector(3.0, 4.0, 0.0));
    EXPECT_EQ(a.distanceTo(b), 5.0);
    MPoint h(2.0, 4.0, 6.0, 2.0);
    EXPECT_EQ(h.cartesianize(), MPoint(1.0, 2.0, 3.0, 1.0));
    MPoint atInfinity(1.0, 2.0, 3.0, 0.0);
    EXPECT_EQ(atInfinity.cartesianize(), MPoint(1.0, 2.0, 3.0, 0.0));
}

}  // namespace
