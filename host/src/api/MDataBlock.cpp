#include <maya/MDataBlock.h>
#include "core/ThreadCheck.h"

#include "core/Evaluation.h"
#include "core/Node.h"
#include "core/Plugs.h"

using namespace headless::detail;

namespace {

// A plug of this block's node for an attribute given alone (a top-level plug).
MPlug plugFor(Node* node, const MObject& attribute) {
    const auto found = hostCast<Attribute>(attribute);
    if (!node || !found || !node->owns(*found)) return MPlug();
    return makePlug(node->self(), found, {});
}

bool usable(Node* node, const MPlug& plug) {
    return node && !plug.isNull() && nodeOf(plug).get() == node;
}

// The check each data getter makes on the main thread before it hands out `plug`'s data: the
// plug is of this block's node (and an array plug when `array`), reported in returnStatus.
bool servable(const char* getter, Node* node, const MPlug& plug, MStatus* returnStatus,
              bool array = false) {
    requireMainThread(getter);
    const bool ok = usable(node, plug) && (!array || isArrayPlug(plug));
    if (returnStatus) *returnStatus = ok ? MStatus::kSuccess : MStatus::kInvalidParameter;
    return ok;
}

}  // namespace

MDataHandle MDataBlock::inputValue(const MPlug& plug, MStatus* returnStatus) {
    if (!servable("MDataBlock::inputValue", node_, plug, returnStatus)) return MDataHandle();
    evaluatePlug(plug, context_);
    return MDataHandle(node_, attributeOf(plug), indicesOf(plug));
}

MDataHandle MDataBlock::inputValue(const MObject& attribute, MStatus* returnStatus) {
    return inputValue(plugFor(node_, attribute), returnStatus);
}

MDataHandle MDataBlock::outputValue(const MPlug& plug, MStatus* returnStatus) {
    if (!servable("MDataBlock::outputValue", node_, plug, returnStatus)) return MDataHandle();
    return MDataHandle(node_, attributeOf(plug), indicesOf(plug));
}

MDataHandle MDataBlock::outputValue(const MObject& attribute, MStatus* returnStatus) {
    return outputValue(plugFor(node_, attribute), returnStatus);
}

MArrayDataHandle MDataBlock::inputArrayValue(const MPlug& plug, MStatus* returnStatus) {
    if (!servable("MDataBlock::inputArrayValue", node_, plug, returnStatus, true)) return {};
    return MArrayDataHandle(node_, attributeOf(plug), indicesOf(plug), true);
}

MArrayDataHandle MDataBlock::inputArrayValue(const MObject& attribute, MStatus* returnStatus) {
    return inputArrayValue(plugFor(node_, attribute), returnStatus);
}

MArrayDataHandle MDataBlock::outputArrayValue(const MPlug& plug, MStatus* returnStatus) {
    if (!servable("MDataBlock::outputArrayValue", node_, plug, returnStatus, true)) return {};
    return MArrayDataHandle(node_, attributeOf(plug), indicesOf(plug), false);
}

MArrayDataHandle MDataBlock::outputArrayValue(const MObject& attribute, MStatus* returnStatus) {
    return outputArrayValue(plugFor(node_, attribute), returnStatus);
}

MStatus MDataBlock::setClean(const MPlug& plug) {
    headless::detail::requireMainThread("MDataBlock::setClean");
    if (!usable(node_, plug)) return MStatus::kInvalidParameter;
    setPlugClean(plug);
    return MStatus::kSuccess;
}

MStatus MDataBlock::setClean(const MObject& attribute) {
    return setClean(plugFor(node_, attribute));
}

bool MDataBlock::isClean(const MPlug& plug) {
    return usable(node_, plug) && !isPlugDirty(plug);
}

bool MDataBlock::isClean(const MObject& attribute, MStatus* returnStatus) {
    const MPlug plug = plugFor(node_, attribute);
    const bool ok = usable(node_, plug);
    if (returnStatus) *returnStatus = ok ? MStatus::kSuccess : MStatus::kInvalidParameter;
    return ok && !isPlugDirty(plug);
}

MDGContext MDataBlock::context(MStatus* returnStatus) {
    if (returnStatus) *returnStatus = MStatus::kSuccess;
    return context_;
}
