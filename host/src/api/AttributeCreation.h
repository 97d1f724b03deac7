#pragma once
// Shared steps of the attribute function sets: create(), and the limits of numeric and unit
// attributes.

#include <maya/MFnBase.h>
#include <maya/MString.h>

#include "core/Attribute.h"

namespace headless::detail {

// Makes the attribute, attaches the function set to it and reports success; `made`, when given,
// receives the attribute for the caller's further settings.
inline MObject createAttribute(MFnBase& functionSet, AttributeKind kind, const MString& longName,
                               const MString& shortName, MStatus* returnStatus,
                               std::shared_ptr<Attribute>* made = nullptr) {
    // Maya cannot address other names in a plug path.
    if (!isValidAttributeName(longName.asChar()) ||
        (shortName.length() != 0 && !isValidAttributeName(shortName.asChar()))) {
        if (returnStatus) *returnStatus = MStatus::kInvalidParameter;
        return MObject();
    }
    const auto attribute = makeAttribute(kind, longName.asChar(), shortName.asChar());
    if (made) *made = attribute;
    MObject object = wrap(attribute);
    functionSet.setObject(object);
    if (returnStatus) *returnStatus = MStatus::kSuccess;
    return object;
}

// One of an attribute's hard limits (minimum or maximum), set and queried alike by numeric and
// unit attributes.
using AttributeLimit = std::optional<double> Attribute::*;

inline MStatus setLimit(const MObject& object, AttributeLimit limit, double value) {
    const auto attribute = hostCast<Attribute>(object);
    if (!attribute) return MStatus::kFailure;
    (*attribute).*limit = value;
    return MStatus::kSuccess;
}

inline bool hasLimit(const MObject& object, AttributeLimit limit, MStatus* returnStatus) {
    const auto attribute = hostCast<Attribute>(object);
    if (returnStatus) *returnStatus = attribute ? MStatus::kSuccess : MStatus::kFailure;
    return attribute && ((*attribute).*limit).has_value();
}

}  // namespace headless::detail
