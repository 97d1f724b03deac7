#include <maya/MPxObjectSet.h>

#include "core/BaseAttributes.h"

using namespace headless::detail;

MObject MPxObjectSet::dagSetMembers = baseMemberArray("dagSetMembers", "dsm");
MObject MPxObjectSet::DNSetMembers = baseMemberArray("dnSetMembers", "dnsm");
MObject MPxObjectSet::memberWireframeColor =
    baseNumeric("memberWireframeColor", "mwc", MFnNumericData::kShort, -1);
MObject MPxObjectSet::annotation = baseTyped("annotation", "an", MFnData::kString);
MObject MPxObjectSet::isLayer = baseNumeric("isLayer", "il", MFnNumericData::kBoolean, 0);
MObject MPxObjectSet::partition = baseMemberArray("partition", "pa");
MObject MPxObjectSet::groupNodes = baseMemberArray("groupNodes", "gn");
MObject MPxObjectSet::usedByNodes = baseMemberArray("usedByNodes", "ubn");

MPxObjectSet::~MPxObjectSet() = default;

MPxNode::Type MPxObjectSet::type() const {
    return kObjectSet;
}

// An object set that lost its last member may go with it.
bool MPxObjectSet::canBeDeleted(bool) {
    return true;
}
