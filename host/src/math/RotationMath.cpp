#include "RotationMath.h"

#include <maya/MMatrix.h>

#include <algorithm>
#include <cmath>

namespace hostmath {
namespace {

struct OrderAxes {
    int first;
    int second;
    int third;
    bool odd;  // an odd permutation of x, y, z flips handedness
};

// Indexed by MEulerRotation::RotationOrder.
constexpr OrderAxes kOrderAxes[6] = {
    {0, 1, 2, false},  // XYZ
    {1, 2, 0, false},  // YZX
    {2, 0, 1, false},  // ZXY
    {0, 2, 1, true},   // XZY
    {1, 0, 2, true},   // YXZ
    {2, 1, 0, true},   // ZYX
};

const OrderAxes& axesOf(int order) {
    return kOrderAxes[(order >= 0 && order < 6) ? order : 0];
}

Matrix3 axisRotation(int axis, double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const int u = (axis + 1) % 3;
    const int v = (axis + 2) % 3;
    Matrix3 r{};
    r[axis][axis] = 1.0;
    r[u][u] = c;
    r[u][v] = s;
    r[v][u] = -s;
    r[v][v] = c;
    return r;
}

using Vec3 = std::array<double, 3>;

double dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double norm(const Vec3& a) {
    return std::sqrt(dot(a, a));
}
Vec3 scaled(const Vec3& a, double s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}
Vec3 minus(const Vec3& a, const Vec3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

// A unit vector orthogonal to the unit vector a.
Vec3 anyOrthogonal(const Vec3& a) {
    int smallest = 0;
    for (int i = 1; i < 3; ++i) {
        if (std::fabs(a[i]) < std::fabs(a[smallest])) smallest = i;
    }
    Vec3 axis{0.0, 0.0, 0.0};
    axis[smallest] = 1.0;
    const Vec3 v = minus(axis, scaled(a, dot(axis, a)));
    return scaled(v, 1.0 / norm(v));
}

}  // namespace

Matrix3 eulerToMatrix(const double angles[3], int order) {
    const OrderAxes& axes = axesOf(order);
    return multiply(multiply(axisRotation(axes.first, angles[axes.first]),
                             axisRotation(axes.second, angles[axes.second])),
                    axisRotation(axes.third, angles[axes.third]));
}

void matrixToEuler(const Matrix3& rotation, int order, double angles[3]) {
    const OrderAxes& axes = axesOf(order);
    const int p[3] = {axes.first, axes.second, axes.third};
    // Relabel the axes so that the order reads as XYZ, R = Ra * Rb * Rc.
    double m[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) m[row][col] = rotation[p[row]][p[col]];
    }
    const double cosB = std::hypot(m[0][0], m[0][1]);
    const double b = std::atan2(-m[0][2], cosB);
    // In gimbal lock the first and third angles share one axis; the third takes it all.
    constexpr double kGimbal = 1e-12;
    const double a = std::hypot(m[1][2], m[2][2]) > kGimbal ? std::atan2(m[1][2], m[2][2]) : 0.0;
    const double sa = std::sin(a);
    const double ca = std::cos(a);
    // Solving for c with the chosen a keeps the rebuilt matrix exact near gimbal lock too.
    const double c = std::atan2(sa * m[2][0] - ca * m[1][0], ca * m[1][1] - sa * m[2][1]);

    // An odd relabelling flips handedness, which turns every angle round.
    const double sign = axes.odd ? -1.0 : 1.0;
    angles[p[0]] = sign * a;
    angles[p[1]] = sign * b;
    angles[p[2]] = sign * c;
}

Matrix3 upper3x3(const MMatrix& matrix) {
    Matrix3 r{};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) r[row][col] = matrix.matrix[row][col];
    }
    return r;
}

Matrix3 multiply(const Matrix3& left, const Matrix3& right) {
    Matrix3 r{};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            r[row][col] = left[row][0] * right[0][col] + left[row][1] * right[1][col] +
                          left[row][2] * right[2][col];
        }
    }
    return r;
}

MatrixSplit splitUpper3x3(const MMatrix& matrix) {
    const Matrix3 m = upper3x3(matrix);
    const Vec3 r0{m[0][0], m[0][1], m[0][2]};
    const Vec3 r1{m[1][0], m[1][1], m[1][2]};
    const Vec3 r2{m[2][0], m[2][1], m[2][2]};
    // Below this length a row counts as lying in the span of the rows before it.
    const double tiny = 1e-12 * std::max({norm(r0), norm(r1), norm(r2)});

    MatrixSplit split{};
    Vec3 axis[3];

    split.scale[0] = norm(r0);
    if (split.scale[0] > tiny && split.scale[0] > 0.0) {
        axis[0] = scaled(r0, 1.0 / split.scale[0]);
    } else {
        split.scale[0] = 0.0;
        axis[0] = {1.0, 0.0, 0.0};
    }

    const double along01 = dot(r1, axis[0]);
    const Vec3 u1 = minus(r1, scaled(axis[0], along01));
    split.scale[1] = norm(u1);
    if (split.scale[1] > tiny && split.scale[1] > 0.0) {
        axis[1] = scaled(u1, 1.0 / split.scale[1]);
        split.shear[0] = along01 / split.scale[1];
    } else {
        split.scale[1] = 0.0;
        axis[1] = anyOrthogonal(axis[0]);
    }

    const double along02 = dot(r2, axis[0]);
    const double along12 = dot(r2, axis[1]);
    const Vec3 u2 = minus(minus(r2, scaled(axis[0], along02)), scaled(axis[1], along12));
    split.scale[2] = norm(u2);
    if (split.scale[2] > tiny && split.scale[2] > 0.0) {
        axis[2] = scaled(u2, 1.0 / split.scale[2]);
        split.shear[1] = along02 / split.scale[2];
        split.shear[2] = along12 / split.scale[2];
    } else {
        split.scale[2] = 0.0;
        axis[2] = cross(axis[0], axis[1]);
    }

    // A mirroring matrix: negate every row of the rotation and every scale, so that the
    // rotation stays proper and S * Sh * R is unchanged.
    if (dot(axis[2], cross(axis[0], axis[1])) < 0.0) {
        for (int i = 0; i < 3; ++i) {
            split.scale[i] = -split.scale[i];
            axis[i] = scaled(axis[i], -1.0);
        }
    }
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) split.rotation[row][col] = axis[row][col];
    }
    return split;
}

}  // namespace hostmath
