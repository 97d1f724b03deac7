#include <maya/MFnUnitAttribute.h>

#include <maya/MTime.h>
#include "api/FunctionSetDefinition.h"

#include "api/AttributeCreation.h"

using namespace headless::detail;

implementMFn(MFnUnitAttribute, kUnitAttribute)

    // Defaults are in internal units: radians, centimetres, seconds.
    MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName,
                                     Type unitType, double defaultValue, MStatus* returnStatus) {
    std::shared_ptr<Attribute> attribute;
    MObject object =
        createAttribute(*this, AttributeKind::Unit, fullName, briefName, returnStatus, &attribute);
    if (attribute) {
        attribute->unitType = unitType;
        attribute->defaultValue = defaultValue;
    }
    return object;
}

MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName,
                                 const MTime& defaultTime, MStatus* returnStatus) {
    return create(fullName, briefName, kTime, defaultTime.as(MTime::kSeconds), returnStatus);
}

MFnUnitAttribute::Type MFnUnitAttribute::unitType(MStatus* returnStatus) const {
    const auto attribute = hostCast<Attribute>(object_);
    if (returnStatus) *returnStatus = attribute ? MStatus::kSuccess : MStatus::kFailure;
    return attribute ? attribute->unitType : kInvalid;
}

MStatus MFnUnitAttribute::setMin(double minValue) {
    const auto attribute = hostCast<Attribute>(object_);
    if (!attribute) return MStatus::kFailure;
    attribute->minimum = minValue;
    return MStatus::kSuccess;
}

MStatus MFnUnitAttribute::setMax(double maxValue) {
    const auto attribute = hostCast<Attribute>(object_);
    if (!attribute) return MStatus::kFailure;
    attribute->maximum = maxValue;
    return MStatus::kSuccess;
}

bool MFnUnitAttribute::hasMin(MStatus* returnStatus) const {
    const auto attribute = hostCast<Attribute>(object_);
    if (returnStatus) *returnStatus = attribute ? MStatus::kSuccess : MStatus::kFailure;
    return attribute && attribute->minimum.has_value();
}

bool MFnUnitAttribute::hasMax(MStatus* returnStatus) const {
    const auto attribute = hostCast<Attribute>(object_);
    if (returnStatus) *returnStatus = attribute ? MStatus::kSuccess : MStatus::kFailure;
    return attribute && attribute->maximum.has_value();
}

MStatus MFnUnitAttribute::setDefault(double value) {
    const auto attribute = hostCast<Attribute>(object_);
    if (!attribute) return MStatus::kFailure;
    attribute->defaultValue = value;
    return MStatus::kSuccess;
}
