#include <maya/MTransformationMatrix.h>

#include <algorithm>

#include "RotationMath.h"

namespace {

bool validSpace(MSpace::Space space) {
    return space > MSpace::kInvalid && space < MSpace::kLast;
}

// Copies a scale or shear (three components) when the space is one a transform has.
MStatus copyComponents(const double from[3], double to[3], MSpace::Space space) {
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    std::copy(from, from + 3, to);
    return MStatus::kSuccess;
}

bool validOrder(MTransformationMatrix::RotationOrder order) {
    return order > MTransformationMatrix::kInvalid && order < MTransformationMatrix::kLast;
}

// The two enumerations list the same orders, one starting at 1 and one at 0.
MEulerRotation::RotationOrder toEulerOrder(MTransformationMatrix::RotationOrder order) {
    return static_cast<MEulerRotation::RotationOrder>(order - MTransformationMatrix::kXYZ);
}

MTransformationMatrix::RotationOrder toTransformOrder(MEulerRotation::RotationOrder order) {
    return static_cast<MTransformationMatrix::RotationOrder>(order + MTransformationMatrix::kXYZ);
}

void setStatus(MStatus* status, MStatus::MStatusCode code) {
    if (status) *status = code;
}

}  // namespace

const MTransformationMatrix MTransformationMatrix::identity;

MTransformationMatrix::MTransformationMatrix(const MMatrix& matrix) {
    *this = matrix;
}

MTransformationMatrix& MTransformationMatrix::operator=(const MMatrix& matrix) {
    const hostmath::MatrixSplit split = hostmath::splitUpper3x3(matrix);
    double angles[3];
    hostmath::matrixToEuler(split.rotation, MEulerRotation::kXYZ, angles);
    rotation_ = MEulerRotation(angles[0], angles[1], angles[2], MEulerRotation::kXYZ);
    translation_ = MVector(matrix.matrix[3][0], matrix.matrix[3][1], matrix.matrix[3][2]);
    for (int i = 0; i < 3; ++i) {
        scale_[i] = split.scale[i];
        shear_[i] = split.shear[i];
    }
    return *this;
}

MMatrix MTransformationMatrix::asScaleMatrix() const {
    MMatrix m;
    m.matrix[0][0] = scale_[0];
    m.matrix[1][0] = scale_[1] * shear_[0];
    m.matrix[1][1] = scale_[1];
    m.matrix[2][0] = scale_[2] * shear_[1];
    m.matrix[2][1] = scale_[2] * shear_[2];
    m.matrix[2][2] = scale_[2];
    return m;
}

MMatrix MTransformationMatrix::asRotateMatrix() const {
    return rotation_.asMatrix();
}

MMatrix MTransformationMatrix::asMatrix() const {
    MMatrix m = asScaleMatrix() * asRotateMatrix();
    m.matrix[3][0] = translation_.x;
    m.matrix[3][1] = translation_.y;
    m.matrix[3][2] = translation_.z;
    return m;
}

MMatrix MTransformationMatrix::asMatrixInverse() const {
    return asMatrix().inverse();
}

MVector MTransformationMatrix::getTranslation(MSpace::Space space, MStatus* returnStatus) const {
    if (!validSpace(space)) {
        setStatus(returnStatus, MStatus::kInvalidParameter);
        return MVector();
    }
    setStatus(returnStatus, MStatus::kSuccess);
    return translation_;
}

MStatus MTransformationMatrix::setTranslation(const MVector& vector, MSpace::Space space) {
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    translation_ = vector;
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::addTranslation(const MVector& vector, MSpace::Space space) {
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    translation_ += vector;
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::getRotation(double rotation[3], RotationOrder& order) const {
    rotation[0] = rotation_.x;
    rotation[1] = rotation_.y;
    rotation[2] = rotation_.z;
    order = toTransformOrder(rotation_.order);
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::getRotation(double rotation[3], RotationOrder& order,
                                           MSpace::Space space) const {
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    return getRotation(rotation, order);
}

MStatus MTransformationMatrix::setRotation(const double rotation[3], RotationOrder order) {
    if (!validOrder(order)) return MStatus::kInvalidParameter;
    rotation_ = MEulerRotation(rotation[0], rotation[1], rotation[2], toEulerOrder(order));
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::setRotation(const double rotation[3], RotationOrder order,
                                           MSpace::Space space) {
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    return setRotation(rotation, order);
}

MEulerRotation MTransformationMatrix::eulerRotation() const {
    return rotation_;
}

MTransformationMatrix& MTransformationMatrix::rotateTo(const MEulerRotation& rotation) {
    // An invalid order leaves the rotation as it was.
    if (rotation.order >= MEulerRotation::kXYZ && rotation.order <= MEulerRotation::kZYX)
        rotation_ = rotation;
    return *this;
}

MTransformationMatrix& MTransformationMatrix::rotateBy(const MEulerRotation& rotation,
                                                       MSpace::Space space, MStatus* returnStatus) {
    if (!validSpace(space) || rotation.order < MEulerRotation::kXYZ ||
        rotation.order > MEulerRotation::kZYX) {
        setStatus(returnStatus, MStatus::kInvalidParameter);
        return *this;
    }
    // Object space turns the object before its current rotation; the others turn it after.
    const MMatrix combined = space == MSpace::kObject ? rotation.asMatrix() * rotation_.asMatrix()
                                                      : rotation_.asMatrix() * rotation.asMatrix();
    rotation_ = MEulerRotation::decompose(combined, rotation_.order);
    setStatus(returnStatus, MStatus::kSuccess);
    return *this;
}

MTransformationMatrix::RotationOrder MTransformationMatrix::rotationOrder(
    MStatus* returnStatus) const {
    setStatus(returnStatus, MStatus::kSuccess);
    return toTransformOrder(rotation_.order);
}

MStatus MTransformationMatrix::reorderRotation(const RotationOrder& order) {
    return setRotationOrder(order, true);
}

MStatus MTransformationMatrix::setRotationOrder(RotationOrder order, bool reorder) {
    if (!validOrder(order)) return MStatus::kInvalidParameter;
    if (reorder) {
        rotation_.reorderIt(toEulerOrder(order));
    } else {
        rotation_.order = toEulerOrder(order);
    }
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::getScale(double scale[3], MSpace::Space space) const {
    return copyComponents(scale_, scale, space);
}

MStatus MTransformationMatrix::setScale(const double scale[3], MSpace::Space space) {
    return copyComponents(scale, scale_, space);
}

MStatus MTransformationMatrix::addScale(const double scale[3], MSpace::Space space) {
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    // Scales compose by multiplication.
    for (int i = 0; i < 3; ++i) scale_[i] *= scale[i];
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::getShear(double shear[3], MSpace::Space space) const {
    return copyComponents(shear_, shear, space);
}

MStatus MTransformationMatrix::setShear(const double shear[3], MSpace::Space space) {
    return copyComponents(shear, shear_, space);
}

MStatus MTransformationMatrix::addShear(const double shear[3], MSpace::Space space) {
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    for (int i = 0; i < 3; ++i) shear_[i] += shear[i];
    return MStatus::kSuccess;
}

bool MTransformationMatrix::isEquivalent(const MTransformationMatrix& other,
                                         double tolerance) const {
    return asMatrix().isEquivalent(other.asMatrix(), tolerance);
}

bool MTransformationMatrix::operator==(const MTransformationMatrix& other) const {
    return isEquivalent(other);
}

bool MTransformationMatrix::operator!=(const MTransformationMatrix& other) const {
    return !isEquivalent(other);
}
