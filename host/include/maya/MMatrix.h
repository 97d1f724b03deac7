#pragma once
// Headless host: Maya's MMatrix (2018 API). Row-major 4x4 of doubles used with row vectors:
// a point transforms as p * M and the translation sits in the last row.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

#define MMatrix_kTol 1.0e-10

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MMatrix {
  public:
    MMatrix();  // identity
    MMatrix(const MMatrix&) = default;
    MMatrix(const double m[4][4]);
    MMatrix(const float m[4][4]);
    MMatrix& operator=(const MMatrix&) = default;
    ~MMatrix() = default;

    // Rows and columns are 0..3; larger indices are a caller's fault, as in Maya.
    double operator()(unsigned int row, unsigned int col) const { return matrix[row][col]; }
    double& operator()(unsigned int row, unsigned int col) { return matrix[row][col]; }
    const double* operator[](unsigned int row) const { return matrix[row]; }
    double* operator[](unsigned int row) { return matrix[row]; }

    MStatus get(double dest[4][4]) const;
    MStatus get(float dest[4][4]) const;

    MMatrix transpose() const;
    MMatrix& setToIdentity();
    MMatrix& setToProduct(const MMatrix& left, const MMatrix& right);

    MMatrix& operator+=(const MMatrix& right);
    MMatrix operator+(const MMatrix& right) const;
    MMatrix& operator-=(const MMatrix& right);
    MMatrix operator-(const MMatrix& right) const;
    MMatrix& operator*=(const MMatrix& right);
    MMatrix operator*(const MMatrix& right) const;
    MMatrix& operator*=(double scalar);
    MMatrix operator*(double scalar) const;
    bool operator==(const MMatrix& other) const;
    bool operator!=(const MMatrix& other) const;

    // The inverse; a singular matrix has none and gives the identity (check isSingular first).
    MMatrix inverse() const;
    MMatrix adjoint() const;
    double det4x4() const;
    double det3x3() const;  // of the upper left 3x3
    bool isEquivalent(const MMatrix& other, double tolerance = MMatrix_kTol) const;
    bool isSingular() const;

    static const MMatrix identity;

    double matrix[4][4];
};

MMatrix operator*(double scalar, const MMatrix& right);

OPENMAYA_NAMESPACE_CLOSE
