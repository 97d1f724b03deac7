#include <maya/MFnMessageAttribute.h>

#include "api/AttributeCreation.h"
#include "api/FunctionSetDefinition.h"

using namespace headless::detail;

implementMFn(MFnMessageAttribute, kMessageAttribute);

MObject MFnMessageAttribute::create(const MString& fullName, const MString& briefName,
                                    MStatus* returnStatus) {
    return createAttribute(*this, AttributeKind::Message, fullName, briefName, returnStatus);
}
