#pragma once
// Rotation and matrix-splitting arithmetic shared by the host's value classes (not part of the
// Maya API). All 3x3 matrices use row vectors, like MMatrix.

#include <array>

#include <maya/MApiNamespace.h>  // declares MMatrix

namespace hostmath {

using Matrix3 = std::array<std::array<double, 3>, 3>;

// order is an MEulerRotation::RotationOrder (kXYZ = 0 ... kZYX = 5).
Matrix3 eulerToMatrix(const double angles[3], int order);

// Angles (x, y, z) of a proper rotation in the given order. The middle angle lies in
// [-pi/2, pi/2], the others in [-pi, pi]; in gimbal lock the first angle is 0.
void matrixToEuler(const Matrix3& rotation, int order, double angles[3]);

Matrix3 upper3x3(const MMatrix& matrix);
Matrix3 multiply(const Matrix3& left, const Matrix3& right);

// The upper 3x3 of a matrix as (S * Sh) * R with R a proper rotation. Rows are orthogonalised
// in order x, y, z; a mirroring matrix gets all three scales negated. Degenerate rows give a
// zero scale, zero shear and some rotation axis orthogonal to the others.
struct MatrixSplit {
    double scale[3];
    double shear[3];  // xy, xz, yz
    Matrix3 rotation;
};
MatrixSplit splitUpper3x3(const MMatrix& matrix);

}  // namespace hostmath
