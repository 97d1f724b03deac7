#include <maya/MFnTypedAttribute.h>

#include "api/AttributeCreation.h"
#include "api/FunctionSetDefinition.h"
#include "core/DataObject.h"

using namespace headless::detail;

implementMFn(MFnTypedAttribute, kTypedAttribute);

MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName,
                                  MFnData::Type type, MObject defaultData, MStatus* returnStatus) {
    std::shared_ptr<Attribute> attribute;
    MObject object =
        createAttribute(*this, AttributeKind::Typed, fullName, briefName, returnStatus, &attribute);
    if (attribute) {
        attribute->dataType = type;
        setDefault(defaultData);
    }
    return object;
}

MFnData::Type MFnTypedAttribute::attrType(MStatus* returnStatus) const {
    const auto attribute = hostCast<Attribute>(object_);
    if (returnStatus) *returnStatus = attribute ? MStatus::kSuccess : MStatus::kFailure;
    return attribute ? attribute->dataType : MFnData::kInvalid;
}

MStatus MFnTypedAttribute::setDefault(const MObject& defaultData) {
    const auto attribute = hostCast<Attribute>(object_);
    if (!attribute) return MStatus::kFailure;
    const auto data = hostCast<DataObject>(defaultData);
    attribute->defaultValue = data ? data->value : Value{};
    return MStatus::kSuccess;
}
