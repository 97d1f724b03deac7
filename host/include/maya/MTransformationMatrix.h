#pragma once
// Headless host: Maya's MTransformationMatrix (2018 API) without pivots. The matrix is composed as
// S * Sh * R * T for row vectors, where Sh = [[1,0,0],[xy,1,0],[xz,yz,1]] holds the shear.

#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MTransformationMatrix {
  public:
    enum RotationOrder { kInvalid = 0, kXYZ = 1, kYZX, kZXY, kXZY, kYXZ, kZYX = 6, kLast };

    MTransformationMatrix() = default;
    MTransformationMatrix(const MTransformationMatrix&) = default;
    // Splits the matrix into translation, rotation (order kXYZ), scale and shear.
    MTransformationMatrix(const MMatrix& matrix);
    MTransformationMatrix& operator=(const MTransformationMatrix&) = default;
    MTransformationMatrix& operator=(const MMatrix& matrix);
    ~MTransformationMatrix() = default;

    MMatrix asMatrix() const;
    MMatrix asMatrixInverse() const;
    MMatrix asScaleMatrix() const;   // S * Sh
    MMatrix asRotateMatrix() const;  // R

    MVector getTranslation(MSpace::Space space, MStatus* returnStatus = nullptr) const;
    MStatus setTranslation(const MVector& vector, MSpace::Space space);
    MStatus addTranslation(const MVector& vector, MSpace::Space space);

    MStatus getRotation(double rotation[3], RotationOrder& order) const;
    MStatus getRotation(double rotation[3], RotationOrder& order, MSpace::Space space) const;
    // Sets the angles and makes the given order this matrix's rotation order.
    MStatus setRotation(const double rotation[3], RotationOrder order);
    MStatus setRotation(const double rotation[3], RotationOrder order, MSpace::Space space);
    MEulerRotation eulerRotation() const;
    MTransformationMatrix& rotateTo(const MEulerRotation& rotation);
    MTransformationMatrix& rotateBy(const MEulerRotation& rotation, MSpace::Space space,
                                    MStatus* returnStatus = nullptr);

    RotationOrder rotationOrder(MStatus* returnStatus = nullptr) const;
    // Changes the order and re-expresses the angles so that the rotation stays the same.
    MStatus reorderRotation(const RotationOrder& order);
    // Changes the order; reorder true keeps the rotation, false keeps the angles.
    MStatus setRotationOrder(RotationOrder order, bool reorder);

    MStatus getScale(double scale[3], MSpace::Space space) const;
    MStatus setScale(const double scale[3], MSpace::Space space);
    MStatus addScale(const double scale[3], MSpace::Space space);
    MStatus getShear(double shear[3], MSpace::Space space) const;
    MStatus setShear(const double shear[3], MSpace::Space space);
    MStatus addShear(const double shear[3], MSpace::Space space);

    bool isEquivalent(const MTransformationMatrix& other, double tolerance = MMatrix_kTol) const;
    bool operator==(const MTransformationMatrix& other) const;
    bool operator!=(const MTransformationMatrix& other) const;

    static const MTransformationMatrix identity;

  private:
    MVector translation_;
    MEulerRotation rotation_;
    double scale_[3] = {1.0, 1.0, 1.0};
    double shear_[3] = {0.0, 0.0, 0.0};
};

OPENMAYA_NAMESPACE_CLOSE
