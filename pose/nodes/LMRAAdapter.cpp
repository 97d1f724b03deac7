#include "pose/nodes/LMRAAdapter.h"

#include "plugin/messages/AttributeCreation.h"
#include "plugin/messages/StatusChecks.h"

#include <maya/MDGModifier.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MPlug.h>

#include "pose/nodes/PlugQueries.h"

const MString LMRAAdapter::kTypeName("LMRAAdapter");
const MTypeId LMRAAdapter::kTypeId(0x130680);
const MString LMRAAdapter::kLiveDeviceTypeName("LMRARealTimeDevice");
const MString LMRAAdapter::kClipReaderTypeName("LMRAClipReader");

MObject LMRAAdapter::activeSource;
MObject LMRAAdapter::order;

MStatus LMRAAdapter::initialize() {
    MStatus status;
    MFnMessageAttribute activeFn;
    activeSource = activeFn.create("activeSource", "activeSource", &status);
    LMRA_CHECK_STATUS(status, "activeSource");

    MFnTypedAttribute orderFn;
    LMRA_CHECK(lmra::createOrderList(orderFn, order));

    LMRA_CHECK(addAttribute(activeSource));
    LMRA_CHECK(addAttribute(order));
    return MS::kSuccess;
}

bool LMRAAdapter::isCaptureSourceMessage(const MPlug& otherPlug) const {
    if (!lmra::isMessagePlug(otherPlug)) return false;
    MString otherType;
    if (!lmra::nodeTypeNameOf(otherPlug, otherType)) return false;
    return otherType == kLiveDeviceTypeName || otherType == kClipReaderTypeName;
}

bool LMRAAdapter::isMemberAlready(const MPlug& source) const {
    // Walks the existing elements, so members at sparse logical indices are seen as well.
    const MPlug members(thisMObject(), DNSetMembers);
    for (unsigned int i = 0; i < members.numElements(); ++i) {
        const MPlug connected = lmra::firstSourceOf(members.elementByPhysicalIndex(i));
        if (!connected.isNull() && connected == source) return true;
    }
    return false;
}

MStatus LMRAAdapter::legalConnection(const MPlug& plug, const MPlug& otherPlug, bool /*asSrc*/,
                                     bool& isLegal) const {
    isLegal = false;
    if (lmra::isMessagePlug(plug)) isLegal = true;

    const bool isMemberPlug = plug == DNSetMembers;
    if ((plug == activeSource || isMemberPlug) && lmra::isMessagePlug(otherPlug)) {
        isLegal = isCaptureSourceMessage(otherPlug);
    }
    if (isMemberPlug && isLegal && isMemberAlready(otherPlug)) isLegal = false;
    return MS::kSuccess;
}

void LMRAAdapter::keepActiveSourceAfterLeaving(const MPlug& leavingElement,
                                               const MPlug& leavingSource) {
    const MPlug active(thisMObject(), activeSource);
    const MPlug currentActive = lmra::firstSourceOf(active);
    if (!currentActive.isNull() && !(currentActive == leavingSource)) return;

    // The remaining member at the lowest logical index takes over. The leaving element may or
    // may not still be listed, so it is skipped by index rather than counted.
    const MPlug members(thisMObject(), DNSetMembers);
    MPlug successor;
    bool anotherElementExists = false;
    for (unsigned int i = 0; i < members.numElements(); ++i) {
        const MPlug element = members.elementByPhysicalIndex(i);
        if (element.logicalIndex() == leavingElement.logicalIndex()) continue;
        anotherElementExists = true;
        const MPlug connected = lmra::firstSourceOf(element);
        if (!connected.isNull() && !(connected == leavingSource)) {
            successor = connected;
            break;
        }
    }
    // With no other member the last active source stays connected.
    if (!anotherElementExists) return;

    MDGModifier edits;
    if (!currentActive.isNull()) edits.disconnect(leavingSource, active);
    if (!successor.isNull()) edits.connect(successor, active);
    edits.doIt();
}

MStatus LMRAAdapter::connectionBroken(const MPlug& plug, const MPlug& otherPlug, bool asSrc) {
    if (plug == DNSetMembers && plug.isElement()) keepActiveSourceAfterLeaving(plug, otherPlug);
    return MPxObjectSet::connectionBroken(plug, otherPlug, asSrc);
}

bool LMRAAdapter::canBeDeleted(bool isSrcNode) {
    // Losing the last source must not take the adapter with it.
    if (!isSrcNode) return false;
    return MPxObjectSet::canBeDeleted(isSrcNode);
}
