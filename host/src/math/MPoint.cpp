#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <cmath>

const MPoint MPoint::origin(0.0, 0.0, 0.0, 1.0);

MPoint::MPoint(const MVector& vector) : x(vector.x), y(vector.y), z(vector.z), w(1.0) {}

namespace {
MPoint cartesian(const MPoint& p) {
    return MPoint(p).cartesianize();
}
}  // namespace

MVector MPoint::operator-(const MPoint& other) const {
    const MPoint a = cartesian(*this);
    const MPoint b = cartesian(other);
    return MVector(a.x - b.x, a.y - b.y, a.z - b.z);
}

MPoint MPoint::operator+(const MVector& vector) const {
    const MPoint a = cartesian(*this);
    return MPoint(a.x + vector.x, a.y + vector.y, a.z + vector.z, a.w);
}

MPoint MPoint::operator-(const MVector& vector) const {
    return *this + (-vector);
}

MPoint& MPoint::operator+=(const MVector& vector) {
    return *this = *this + vector;
}

MPoint& MPoint::operator-=(const MVector& vector) {
    return *this = *this - vector;
}

MPoint MPoint::operator*(double scalar) const {
    return MPoint(x * scalar, y * scalar, z * scalar, w);
}

MPoint& MPoint::operator*=(double scalar) {
    return *this = *this * scalar;
}

MPoint MPoint::operator/(double scalar) const {
    return MPoint(x / scalar, y / scalar, z / scalar, w);
}

OPENMAYA_MAJOR_NAMESPACE_OPEN
MPoint operator*(double scalar, const MPoint& point) {
    return point * scalar;
}
OPENMAYA_NAMESPACE_CLOSE

MPoint MPoint::operator*(const MMatrix& m) const {
    MPoint r;
    for (int col = 0; col < 4; ++col) {
        r[static_cast<unsigned>(col)] = x * m.matrix[0][col] + y * m.matrix[1][col] +
                                        z * m.matrix[2][col] + w * m.matrix[3][col];
    }
    return r;
}

MPoint& MPoint::operator*=(const MMatrix& right) {
    return *this = *this * right;
}

bool MPoint::operator==(const MPoint& other) const {
    return x == other.x && y == other.y && z == other.z && w == other.w;
}

bool MPoint::operator!=(const MPoint& other) const {
    return !(*this == other);
}

MPoint& MPoint::cartesianize() {
    if (w != 0.0 && w != 1.0) {
        x /= w;
        y /= w;
        z /= w;
        w = 1.0;
    }
    return *this;
}

MPoint& MPoint::rationalize() {
    if (w != 0.0 && w != 1.0) {
        x /= w;
        y /= w;
        z /= w;
    }
    return *this;
}

MPoint& MPoint::homogenize() {
    x *= w;
    y *= w;
    z *= w;
    return *this;
}

double MPoint::distanceTo(const MPoint& other) const {
    return (*this - other).length();
}

bool MPoint::isEquivalent(const MPoint& other, double tolerance) const {
    return std::fabs(x - other.x) <= tolerance && std::fabs(y - other.y) <= tolerance &&
           std::fabs(z - other.z) <= tolerance && std::fabs(w - other.w) <= tolerance;
}

MStatus MPoint::get(double dest[4]) const {
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    dest[3] = w;
    return MStatus::kSuccess;
}

MStatus MPoint::get(float dest[4]) const {
    dest[0] = static_cast<float>(x);
    dest[1] = static_cast<float>(y);
    dest[2] = static_cast<float>(z);
    dest[3] = static_cast<float>(w);
    return MStatus::kSuccess;
}
