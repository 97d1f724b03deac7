#include "pose/nodes/LMRAAttributeCollection.h"

#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MPlug.h>

const MString LMRAAttributeCollection::kTypeName("LMRAAttributeCollection");
const MTypeId LMRAAttributeCollection::kTypeId(0x130681);

MObject LMRAAttributeCollection::attrs;
MObject LMRAAttributeCollection::plug;
MObject LMRAAttributeCollection::restValue;

void* LMRAAttributeCollection::creator() { return new LMRAAttributeCollection(); }

MStatus LMRAAttributeCollection::initialize() {
    MFnNumericAttribute plugFn;
    plug = plugFn.create("plug", "plug", MFnNumericData::kDouble, 0.0);
    // Only the connection records the target; its value is never read back or saved.
    plugFn.setReadable(false);
    plugFn.setStorable(false);

    MFnNumericAttribute restFn;
    restValue = restFn.create("restValue", "restValue", MFnNumericData::kDouble, 0.0);

    MFnCompoundAttribute attrsFn;
    attrs = attrsFn.create("attrs", "attrs");
    attrsFn.addChild(plug);
    attrsFn.addChild(restValue);
    attrsFn.setArray(true);
    attrsFn.setConnectable(false);

    addAttribute(attrs);
    return MS::kSuccess;
}

MStatus LMRAAttributeCollection::legalConnection(const MPlug& thisPlug, const MPlug& /*otherPlug*/,
                                                 bool /*asSrc*/, bool& isLegal) const {
    isLegal = !(thisPlug == dagSetMembers || thisPlug == DNSetMembers);
    return MS::kSuccess;
}

bool LMRAAttributeCollection::canBeDeleted(bool /*isSrcNode*/) { return false; }
