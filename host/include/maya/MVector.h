#pragma once
// Headless host: Maya's MVector (2018 API). A direction: matrices apply their upper 3x3 only.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

#define MVector_kTol 1.0e-10

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MMatrix;
class MPoint;

class MVector {
  public:
    MVector() = default;
    MVector(const MVector&) = default;
    MVector(const MPoint& point);
    MVector(double xx, double yy, double zz = 0.0) : x(xx), y(yy), z(zz) {}
    MVector(const double d[3]) : x(d[0]), y(d[1]), z(d[2]) {}
    MVector(const float f[3]) : x(f[0]), y(f[1]), z(f[2]) {}
    MVector& operator=(const MVector&) = default;
    ~MVector() = default;

    // Index 0 is x, 1 is y, anything else z: never reads outside the vector.
    double operator()(unsigned int i) const { return (*this)[i]; }
    double operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    double& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : z); }

    MVector operator^(const MVector& right) const;  // cross product
    double operator*(const MVector& right) const;   // dot product
    MVector& operator/=(double scalar);
    MVector operator/(double scalar) const;
    MVector& operator*=(double scalar);
    MVector operator*(double scalar) const;
    MVector operator+(const MVector& other) const;
    MVector& operator+=(const MVector& other);
    MVector operator-() const;
    MVector operator-(const MVector& other) const;
    MVector& operator-=(const MVector& other);
    MVector operator*(const MMatrix& right) const;
    MVector& operator*=(const MMatrix& right);
    bool operator==(const MVector& other) const;
    bool operator!=(const MVector& other) const;

    double length() const;
    // The unit vector along this one; the zero vector stays zero.
    MVector normal() const;
    MStatus normalize();
    double angle(const MVector& other) const;
    bool isEquivalent(const MVector& other, double tolerance = MVector_kTol) const;
    bool isParallel(const MVector& other, double tolerance = MVector_kTol) const;
    MStatus get(double dest[3]) const;

    static const MVector zero;
    static const MVector one;
    static const MVector xAxis;
    static const MVector yAxis;
    static const MVector zAxis;
    static const MVector xNegAxis;
    static const MVector yNegAxis;
    static const MVector zNegAxis;

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

MVector operator*(double scalar, const MVector& vector);

OPENMAYA_NAMESPACE_CLOSE
