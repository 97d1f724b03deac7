#pragma once
// Shared steps of the attribute function sets' create().

#include <maya/MFnBase.h>
#include <maya/MString.h>

#include "core/Attribute.h"

namespace headless::detail {

// Makes the attribute, attaches the function set to it and reports success.
inline MObject createAttribute(MFnBase& functionSet, AttributeKind kind, const MString& longName,
                               const MString& shortName, MStatus* returnStatus,
                               std::shared_ptr<Attribute>* made) {
    // Maya cannot address other names in a plug path.
    if (!isValidAttributeName(longName.asChar()) ||
        (shortName.length() != 0 && !isValidAttributeName(shortName.asChar()))) {
        if (returnStatus) *returnStatus = MStatus::kInvalidParameter;
        return MObject();
    }
    *made = makeAttribute(kind, longName.asChar(), shortName.asChar());
    MObject object = wrap(*made);
    functionSet.setObject(object);
    if (returnStatus) *returnStatus = MStatus::kSuccess;
    return object;
}

}  // namespace headless::detail
