#include "pose/nodes/LMRAAttributeCollection.h"

#include "plugin/messages/AttributeCreation.h"
#include "plugin/messages/StatusChecks.h"

#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MPlug.h>

const MString LMRAAttributeCollection::kTypeName("LMRAAttributeCollection");
const MTypeId LMRAAttributeCollection::kTypeId(0x130681);

MObject LMRAAttributeCollection::attrs;
MObject LMRAAttributeCollection::plug;
MObject LMRAAttributeCollection::restValue;

MStatus LMRAAttributeCollection::initialize() {
    MFnNumericAttribute plugFn;
    LMRA_CHECK(lmra::createNumeric(plugFn, plug, "plug", MFnNumericData::kDouble, 0.0));
    // Only the connection records the target; its value is never read back or saved.
    LMRA_CHECK(plugFn.setReadable(false));
    LMRA_CHECK(plugFn.setStorable(false));

    LMRA_CHECK(lmra::createNumeric(restValue, "restValue", MFnNumericData::kDouble, 0.0));

    MFnCompoundAttribute attrsFn;
    LMRA_CHECK(lmra::createCompoundArray(attrsFn, attrs, "attrs", {plug, restValue}));
    LMRA_CHECK(attrsFn.setConnectable(false));

    LMRA_CHECK(addAttribute(attrs));
    return MS::kSuccess;
}

MStatus LMRAAttributeCollection::legalConnection(const MPlug& thisPlug, const MPlug& /*otherPlug*/,
                                                 bool /*asSrc*/, bool& isLegal) const {
    isLegal = !(thisPlug == dagSetMembers || thisPlug == DNSetMembers);
    return MS::kSuccess;
}

bool LMRAAttributeCollection::canBeDeleted(bool /*isSrcNode*/) {
    return false;
}
