#include "pose/nodes/LMRAPoselib.h"

#include "plugin/messages/AttributeCreation.h"
#include "plugin/messages/StatusChecks.h"

#include <maya/MFnTypedAttribute.h>
#include <maya/MPlug.h>

#include "pose/nodes/LMRAPose.h"
#include "pose/nodes/PlugQueries.h"

const MString LMRAPoselib::kTypeName("LMRAPoselib");
const MTypeId LMRAPoselib::kTypeId(0x130685);

MObject LMRAPoselib::order;

MStatus LMRAPoselib::initialize() {
    MFnTypedAttribute fn;
    LMRA_CHECK(lmra::createOrderList(fn, order));
    LMRA_CHECK(addAttribute(order));
    return MS::kSuccess;
}

MStatus LMRAPoselib::legalConnection(const MPlug& plug, const MPlug& otherPlug, bool /*asSrc*/,
                                     bool& isLegal) const {
    isLegal = false;
    if (lmra::isMessagePlug(plug)) {
        isLegal = true;
    } else if (plug == DNSetMembers && lmra::isMessagePlug(otherPlug)) {
        MString otherType;
        isLegal = lmra::nodeTypeNameOf(otherPlug, otherType) && otherType == LMRAPose::kTypeName;
    }
    return MS::kSuccess;
}

bool LMRAPoselib::canBeDeleted(bool isSrcNode) {
    // Losing the last pose must not take the library with it.
    if (!isSrcNode) return false;
    return MPxObjectSet::canBeDeleted(isSrcNode);
}
