#pragma once
// Headless host: Maya's MPoint (2018 API). A homogeneous point: matrices apply in full.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

#define MPoint_kTol 1.0e-10

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MMatrix;
class MVector;

class MPoint {
  public:
    MPoint() = default;
    MPoint(const MPoint&) = default;
    MPoint(const MVector& vector);
    MPoint(double xx, double yy, double zz = 0.0, double ww = 1.0) : x(xx), y(yy), z(zz), w(ww) {}
    MPoint(const double d[4]) : x(d[0]), y(d[1]), z(d[2]), w(d[3]) {}
    MPoint(const float f[4]) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
    MPoint& operator=(const MPoint&) = default;
    ~MPoint() = default;

    // Index 0..2 are x, y, z; anything else is w: never reads outside the point.
    double operator()(unsigned int i) const { return (*this)[i]; }
    double operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    double& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }

    MVector operator-(const MPoint& other) const;
    MPoint operator+(const MVector& vector) const;
    MPoint operator-(const MVector& vector) const;
    MPoint& operator+=(const MVector& vector);
    MPoint& operator-=(const MVector& vector);
    MPoint operator*(double scalar) const;
    MPoint& operator*=(double scalar);
    MPoint operator/(double scalar) const;
    MPoint operator*(const MMatrix& right) const;
    MPoint& operator*=(const MMatrix& right);
    bool operator==(const MPoint& other) const;
    bool operator!=(const MPoint& other) const;

    // Divides x, y, z by w (w becomes 1); a point at infinity (w = 0) is left as it is.
    MPoint& cartesianize();
    MPoint& rationalize();
    MPoint& homogenize();
    double distanceTo(const MPoint& other) const;
    bool isEquivalent(const MPoint& other, double tolerance = MPoint_kTol) const;
    MStatus get(double dest[4]) const;
    MStatus get(float dest[4]) const;

    static const MPoint origin;

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double w = 1.0;
};

MPoint operator*(double scalar, const MPoint& point);

OPENMAYA_NAMESPACE_CLOSE
