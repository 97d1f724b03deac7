#include <maya/MFnNumericAttribute.h>

#include "api/AttributeCreation.h"
#include "api/FunctionSetDefinition.h"

using namespace headless::detail;

implementMFn(MFnNumericAttribute, kNumericAttribute);

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName,
                                    MFnNumericData::Type unitType, double defaultValue,
                                    MStatus* returnStatus) {
    std::shared_ptr<Attribute> attribute;
    MObject object = createAttribute(*this, AttributeKind::Numeric, fullName, briefName,
                                     returnStatus, &attribute);
    if (attribute) {
        attribute->numericType = unitType;
        attribute->defaultValue = attribute->normalized(defaultValue);
    }
    return object;
}

MFnNumericData::Type MFnNumericAttribute::unitType(MStatus* returnStatus) const {
    const auto attribute = hostCast<Attribute>(object_);
    if (returnStatus) *returnStatus = attribute ? MStatus::kSuccess : MStatus::kFailure;
    return attribute ? attribute->numericType : MFnNumericData::kInvalid;
}

MStatus MFnNumericAttribute::setMin(double minValue) {
    return setLimit(object_, &Attribute::minimum, minValue);
}

MStatus MFnNumericAttribute::setMax(double maxValue) {
    return setLimit(object_, &Attribute::maximum, maxValue);
}

// Soft limits only guide sliders; values are not clamped to them.
MStatus MFnNumericAttribute::setSoftMin(double) {
    return object_.isNull() ? MStatus::kFailure : MStatus::kSuccess;
}
MStatus MFnNumericAttribute::setSoftMax(double) {
    return object_.isNull() ? MStatus::kFailure : MStatus::kSuccess;
}

bool MFnNumericAttribute::hasMin(MStatus* returnStatus) const {
    return hasLimit(object_, &Attribute::minimum, returnStatus);
}

bool MFnNumericAttribute::hasMax(MStatus* returnStatus) const {
    return hasLimit(object_, &Attribute::maximum, returnStatus);
}

MStatus MFnNumericAttribute::getMin(double& minValue) const {
    const auto attribute = hostCast<Attribute>(object_);
    if (!attribute || !attribute->minimum) return MStatus::kFailure;
    minValue = *attribute->minimum;
    return MStatus::kSuccess;
}

MStatus MFnNumericAttribute::getMax(double& maxValue) const {
    const auto attribute = hostCast<Attribute>(object_);
    if (!attribute || !attribute->maximum) return MStatus::kFailure;
    maxValue = *attribute->maximum;
    return MStatus::kSuccess;
}

MStatus MFnNumericAttribute::setDefault(double value) {
    const auto attribute = hostCast<Attribute>(object_);
    if (!attribute) return MStatus::kFailure;
    attribute->defaultValue = attribute->normalized(value);
    return MStatus::kSuccess;
}

MStatus MFnNumericAttribute::getDefault(double& value) {
    const auto attribute = hostCast<Attribute>(object_);
    if (!attribute) return MStatus::kFailure;
    value = asNumber(attribute->defaultValue);
    return MStatus::kSuccess;
}
