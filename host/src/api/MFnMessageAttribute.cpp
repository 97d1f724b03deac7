#include <maya/MFnMessageAttribute.h>

#include "api/AttributeCreation.h"

using namespace headless::detail;

MFnMessageAttribute::MFnMessageAttribute(const MObject& object, MStatus* returnStatus) {
    const MStatus status = setObject(object);
    if (returnStatus) *returnStatus = status;
}

MObject MFnMessageAttribute::create(const MString& fullName, const MString& briefName,
                                    MStatus* returnStatus) {
    std::shared_ptr<Attribute> attribute;
    return createAttribute(*this, AttributeKind::Message, fullName, briefName, returnStatus,
                           &attribute);
}
