#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>

const MVector MVector::zero(0.0, 0.0, 0.0);
const MVector MVector::one(1.0, 1.0, 1.0);
const MVector MVector::xAxis(1.0, 0.0, 0.0);
const MVector MVector::yAxis(0.0, 1.0, 0.0);
const MVector MVector::zAxis(0.0, 0.0, 1.0);
const MVector MVector::xNegAxis(-1.0, 0.0, 0.0);
const MVector MVector::yNegAxis(0.0, -1.0, 0.0);
const MVector MVector::zNegAxis(0.0, 0.0, -1.0);

MVector::MVector(const MPoint& point) : x(point.x), y(point.y), z(point.z) {}

MVector MVector::operator^(const MVector& right) const {
    return MVector(y * right.z - z * right.y, z * right.x - x * right.z, x * right.y - y * right.x);
}

double MVector::operator*(const MVector& right) const {
    return x * right.x + y * right.y + z * right.z;
}

MVector& MVector::operator/=(double scalar) {
    x /= scalar;
    y /= scalar;
    z /= scalar;
    return *this;
}

MVector MVector::operator/(double scalar) const {
    return MVector(*this) /= scalar;
}

MVector& MVector::operator*=(double scalar) {
    x *= scalar;
    y *= scalar;
    z *= scalar;
    return *this;
}

MVector MVector::operator*(double scalar) const {
    return MVector(*this) *= scalar;
}

OPENMAYA_MAJOR_NAMESPACE_OPEN
MVector operator*(double scalar, const MVector& vector) {
    return vector * scalar;
}
OPENMAYA_NAMESPACE_CLOSE

MVector MVector::operator+(const MVector& other) const {
    return MVector(x + other.x, y + other.y, z + other.z);
}

MVector& MVector::operator+=(const MVector& other) {
    return *this = *this + other;
}

MVector MVector::operator-() const {
    return MVector(-x, -y, -z);
}

MVector MVector::operator-(const MVector& other) const {
    return MVector(x - other.x, y - other.y, z - other.z);
}

MVector& MVector::operator-=(const MVector& other) {
    return *this = *this - other;
}

MVector MVector::operator*(const MMatrix& m) const {
    return MVector(x * m.matrix[0][0] + y * m.matrix[1][0] + z * m.matrix[2][0],
                   x * m.matrix[0][1] + y * m.matrix[1][1] + z * m.matrix[2][1],
                   x * m.matrix[0][2] + y * m.matrix[1][2] + z * m.matrix[2][2]);
}

MVector& MVector::operator*=(const MMatrix& right) {
    return *this = *this * right;
}

bool MVector::operator==(const MVector& other) const {
    return x == other.x && y == other.y && z == other.z;
}

bool MVector::operator!=(const MVector& other) const {
    return !(*this == other);
}

double MVector::length() const {
    return std::sqrt(x * x + y * y + z * z);
}

MVector MVector::normal() const {
    const double len = length();
    return len > 0.0 ? *this / len : *this;
}

MStatus MVector::normalize() {
    const double len = length();
    if (!(len > 0.0)) return MStatus::kFailure;
    *this /= len;
    return MStatus::kSuccess;
}

double MVector::angle(const MVector& other) const {
    const double lengths = length() * other.length();
    if (!(lengths > 0.0)) return 0.0;
    // Clamped so that rounding never pushes acos outside its domain.
    return std::acos(std::clamp((*this * other) / lengths, -1.0, 1.0));
}

bool MVector::isEquivalent(const MVector& other, double tolerance) const {
    return (*this - other).length() <= tolerance;
}

bool MVector::isParallel(const MVector& other, double tolerance) const {
    const MVector a = normal();
    const MVector b = other.normal();
    return (a ^ b).length() <= tolerance;
}

MStatus MVector::get(double dest[3]) const {
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    return MStatus::kSuccess;
}
