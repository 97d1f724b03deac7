#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>

#include <cmath>

#include "RotationMath.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

MMatrix toMatrix(const hostmath::Matrix3& r) {
    MMatrix m;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) m.matrix[row][col] = r[row][col];
    }
    return m;
}

// The axes of an order, first applied first (x = 0, y = 1, z = 2).
void orderAxes(MEulerRotation::RotationOrder order, int axes[3]) {
    static constexpr int kAxes[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1},
                                        {0, 2, 1}, {1, 0, 2}, {2, 1, 0}};
    const int index = (order >= MEulerRotation::kXYZ && order <= MEulerRotation::kZYX) ? order : 0;
    for (int i = 0; i < 3; ++i) axes[i] = kAxes[index][i];
}

double wrapAngle(double angle) {
    return std::remainder(angle, 2.0 * kPi);
}

}  // namespace

const MEulerRotation MEulerRotation::identity;

MEulerRotation::MEulerRotation(const MVector& vector, RotationOrder ord)
    : x(vector.x), y(vector.y), z(vector.z), order(ord) {}

MEulerRotation::MEulerRotation(double xx, double yy, double zz, RotationOrder ord)
    : x(xx), y(yy), z(zz), order(ord) {}

MEulerRotation& MEulerRotation::setValue(const MVector& vector, RotationOrder ord) {
    return *this = MEulerRotation(vector, ord);
}

MEulerRotation& MEulerRotation::setValue(double xx, double yy, double zz, RotationOrder ord) {
    return *this = MEulerRotation(xx, yy, zz, ord);
}

MMatrix MEulerRotation::asMatrix() const {
    const double angles[3] = {x, y, z};
    return toMatrix(hostmath::eulerToMatrix(angles, order));
}

MEulerRotation MEulerRotation::operator+(const MEulerRotation& other) const {
    return MEulerRotation(x + other.x, y + other.y, z + other.z, order);
}

MEulerRotation& MEulerRotation::operator+=(const MEulerRotation& other) {
    return *this = *this + other;
}

MEulerRotation MEulerRotation::operator-(const MEulerRotation& other) const {
    return MEulerRotation(x - other.x, y - other.y, z - other.z, order);
}

MEulerRotation& MEulerRotation::operator-=(const MEulerRotation& other) {
    return *this = *this - other;
}

MEulerRotation MEulerRotation::operator-() const {
    return MEulerRotation(-x, -y, -z, order);
}

MEulerRotation MEulerRotation::operator*(double scale) const {
    return MEulerRotation(x * scale, y * scale, z * scale, order);
}

MEulerRotation& MEulerRotation::operator*=(double scale) {
    return *this = *this * scale;
}

OPENMAYA_MAJOR_NAMESPACE_OPEN
MEulerRotation operator*(double scale, const MEulerRotation& rotation) {
    return rotation * scale;
}
OPENMAYA_NAMESPACE_CLOSE

MEulerRotation MEulerRotation::operator*(const MEulerRotation& other) const {
    return decompose(asMatrix() * other.asMatrix(), order);
}

MEulerRotation& MEulerRotation::operator*=(const MEulerRotation& other) {
    return *this = *this * other;
}

bool MEulerRotation::operator==(const MEulerRotation& other) const {
    return x == other.x && y == other.y && z == other.z && order == other.order;
}

bool MEulerRotation::operator!=(const MEulerRotation& other) const {
    return !(*this == other);
}

bool MEulerRotation::isEquivalent(const MEulerRotation& other, double tolerance) const {
    return order == other.order && std::fabs(x - other.x) <= tolerance &&
           std::fabs(y - other.y) <= tolerance && std::fabs(z - other.z) <= tolerance;
}

bool MEulerRotation::isZero(double tolerance) const {
    return std::fabs(x) <= tolerance && std::fabs(y) <= tolerance && std::fabs(z) <= tolerance;
}

MEulerRotation MEulerRotation::reorder(RotationOrder ord) const {
    if (ord == order) return *this;
    return decompose(asMatrix(), ord);
}

MEulerRotation& MEulerRotation::reorderIt(RotationOrder ord) {
    return *this = reorder(ord);
}

MEulerRotation MEulerRotation::bound() const {
    return bound(*this);
}

MEulerRotation& MEulerRotation::boundIt() {
    return *this = bound(*this);
}

MEulerRotation& MEulerRotation::boundIt(const MEulerRotation& src) {
    return *this = bound(src);
}

MEulerRotation MEulerRotation::alternateSolution() const {
    return alternateSolution(*this);
}

MEulerRotation& MEulerRotation::setToAlternateSolution() {
    return *this = alternateSolution(*this);
}

MEulerRotation& MEulerRotation::setToAlternateSolution(const MEulerRotation& src) {
    return *this = alternateSolution(src);
}

MEulerRotation MEulerRotation::decompose(const MMatrix& matrix, RotationOrder ord) {
    // Scale and shear are split off first so that only the rotation is read.
    const hostmath::MatrixSplit split = hostmath::splitUpper3x3(matrix);
    double angles[3];
    hostmath::matrixToEuler(split.rotation, ord, angles);
    return MEulerRotation(angles[0], angles[1], angles[2], ord);
}

MEulerRotation MEulerRotation::bound(const MEulerRotation& rotation) {
    // Each single-axis rotation repeats every 2 pi, so each angle wraps on its own.
    return MEulerRotation(wrapAngle(rotation.x), wrapAngle(rotation.y), wrapAngle(rotation.z),
                          rotation.order);
}

MEulerRotation MEulerRotation::alternateSolution(const MEulerRotation& rotation) {
    // R1(a) R2(b) R3(c) equals R1(a + pi) R2(pi - b) R3(c + pi).
    int axes[3];
    orderAxes(rotation.order, axes);
    MEulerRotation result = rotation;
    result[static_cast<unsigned>(axes[0])] += kPi;
    result[static_cast<unsigned>(axes[1])] = kPi - result[static_cast<unsigned>(axes[1])];
    result[static_cast<unsigned>(axes[2])] += kPi;
    return bound(result);
}
