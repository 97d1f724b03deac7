#include <maya/MFnUnitAttribute.h>

#include <maya/MTime.h>

#include "api/AttributeCreation.h"
#include "api/FunctionSetDefinition.h"

using namespace headless::detail;

implementMFn(MFnUnitAttribute, kUnitAttribute);

// Defaults are in internal units: radians, centimetres, seconds.
MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName, Type unitType,
                                 double defaultValue, MStatus* returnStatus) {
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
    return setLimit(object_, &Attribute::minimum, minValue);
}

MStatus MFnUnitAttribute::setMax(double maxValue) {
    return setLimit(object_, &Attribute::maximum, maxValue);
}

bool MFnUnitAttribute::hasMin(MStatus* returnStatus) const {
    return hasLimit(object_, &Attribute::minimum, returnStatus);
}

bool MFnUnitAttribute::hasMax(MStatus* returnStatus) const {
    return hasLimit(object_, &Attribute::maximum, returnStatus);
}

MStatus MFnUnitAttribute::setDefault(double value) {
    const auto attribute = hostCast<Attribute>(object_);
    if (!attribute) return MStatus::kFailure;
    attribute->defaultValue = value;
    return MStatus::kSuccess;
}
