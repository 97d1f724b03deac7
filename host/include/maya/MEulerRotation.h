#pragma once
// Headless host: Maya's MEulerRotation (2018 API). Angles in radians; with row vectors, order
// kXYZ means the matrix Rx * Ry * Rz (x applied first).

#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#define MEulerRotation_kTol 1.0e-10

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MMatrix;

class MEulerRotation {
  public:
    enum RotationOrder { kXYZ, kYZX, kZXY, kXZY, kYXZ, kZYX };

    MEulerRotation() = default;
    MEulerRotation(const MEulerRotation&) = default;
    MEulerRotation(const MVector& vector, RotationOrder ord = kXYZ);
    MEulerRotation(double xx, double yy, double zz, RotationOrder ord = kXYZ);
    MEulerRotation& operator=(const MEulerRotation&) = default;
    ~MEulerRotation() = default;

    MEulerRotation& setValue(const MVector& vector, RotationOrder ord = kXYZ);
    MEulerRotation& setValue(double xx, double yy, double zz, RotationOrder ord = kXYZ);

    // Index 0 is x, 1 is y, anything else z.
    double operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    double& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : z); }

    MMatrix asMatrix() const;
    MVector asVector() const { return MVector(x, y, z); }

    // Component-wise arithmetic, in this rotation's order.
    MEulerRotation operator+(const MEulerRotation& other) const;
    MEulerRotation& operator+=(const MEulerRotation& other);
    MEulerRotation operator-(const MEulerRotation& other) const;
    MEulerRotation& operator-=(const MEulerRotation& other);
    MEulerRotation operator-() const;
    MEulerRotation operator*(double scale) const;
    MEulerRotation& operator*=(double scale);
    // The rotation this one followed by other, in this rotation's order.
    MEulerRotation operator*(const MEulerRotation& other) const;
    MEulerRotation& operator*=(const MEulerRotation& other);
    bool operator==(const MEulerRotation& other) const;
    bool operator!=(const MEulerRotation& other) const;

    // Same order and every component within tolerance.
    bool isEquivalent(const MEulerRotation& other, double tolerance = MEulerRotation_kTol) const;
    bool isZero(double tolerance = MEulerRotation_kTol) const;

    // The same rotation expressed in another order.
    MEulerRotation reorder(RotationOrder ord) const;
    MEulerRotation& reorderIt(RotationOrder ord);
    // The same rotation with each component in [-pi, pi].
    MEulerRotation bound() const;
    MEulerRotation& boundIt();
    MEulerRotation& boundIt(const MEulerRotation& src);
    // The other angle triple of the same order that gives the same rotation.
    MEulerRotation alternateSolution() const;
    MEulerRotation& setToAlternateSolution();
    MEulerRotation& setToAlternateSolution(const MEulerRotation& src);

    // The rotation of a matrix in the given order; scale and shear in the matrix are ignored.
    static MEulerRotation decompose(const MMatrix& matrix, RotationOrder ord);
    static MEulerRotation bound(const MEulerRotation& rotation);
    static MEulerRotation alternateSolution(const MEulerRotation& rotation);

    static const MEulerRotation identity;

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    RotationOrder order = kXYZ;
};

MEulerRotation operator*(double scale, const MEulerRotation& rotation);

OPENMAYA_NAMESPACE_CLOSE
