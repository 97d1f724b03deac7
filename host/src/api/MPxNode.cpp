#include <maya/MDataBlock.h>
#include <maya/MPxNode.h>

#include "core/BaseAttributes.h"
#include "core/Node.h"
#include "core/Registry.h"

using namespace headless::detail;

MObject MPxNode::message = baseMessage("message", "msg");
MObject MPxNode::isHistoricallyInteresting =
    baseNumeric("isHistoricallyInteresting", "ihi", MFnNumericData::kByte, 2);
MObject MPxNode::caching = baseNumeric("caching", "cch", MFnNumericData::kBoolean, 0);
MObject MPxNode::state = baseNumeric("nodeState", "nds", MFnNumericData::kShort, 0);
MObject MPxNode::frozen = baseNumeric("frozen", "fzn", MFnNumericData::kBoolean, 0);

MPxNode::~MPxNode() = default;

void MPxNode::postConstructor() {}

MStatus MPxNode::compute(const MPlug&, MDataBlock&) {
    return MStatus::kUnknownParameter;
}

// The host applies attributeAffects itself; the base adds nothing.
MStatus MPxNode::setDependentsDirty(const MPlug&, MPlugArray&) {
    return MStatus::kSuccess;
}

MStatus MPxNode::legalConnection(const MPlug&, const MPlug&, bool, bool&) const {
    return MStatus::kUnknownParameter;
}

MStatus MPxNode::connectionMade(const MPlug&, const MPlug&, bool) {
    return MStatus::kUnknownParameter;
}

MStatus MPxNode::connectionBroken(const MPlug&, const MPlug&, bool) {
    return MStatus::kUnknownParameter;
}

bool MPxNode::isPassiveOutput(const MPlug&) const {
    return false;
}

MStatus MPxNode::shouldSave(const MPlug&, bool&) {
    return MStatus::kUnknownParameter;
}

MStatus MPxNode::preEvaluation(const MDGContext&, const MEvaluationNode&) {
    return MStatus::kSuccess;
}

MPxNode::Type MPxNode::type() const {
    return kDependNode;
}

// A node that says nothing is kept from running together with the nodes it is connected to.
MPxNode::SchedulingType MPxNode::schedulingType() const {
    return kSerial;
}

MTypeId MPxNode::typeId() const {
    return hostNode_ ? hostNode_->type->id : MTypeId();
}

MString MPxNode::typeName() const {
    return hostNode_ ? MString(hostNode_->type->name.c_str()) : MString();
}

MString MPxNode::name() const {
    return hostNode_ ? MString(hostNode_->name.c_str()) : MString();
}

MObject MPxNode::thisMObject() const {
    return hostNode_ ? hostNode_->object() : MObject();
}

MStatus MPxNode::addAttribute(const MObject& attribute) {
    NodeType* type = Registry::instance().initializing();
    const auto found = hostCast<Attribute>(attribute);
    if (!type || !found) return MStatus::kFailure;
    return addStaticAttribute(*type, found);
}

MStatus MPxNode::inheritAttributesFrom(const MString& parentClassName) {
    NodeType* type = Registry::instance().initializing();
    const auto parent = Registry::instance().findType(parentClassName.asChar());
    if (!type || !parent) return MStatus::kFailure;
    for (const auto& attribute : parent->attributes) {
        if (!type->ownsTopLevel(*attribute)) type->attributes.push_back(attribute);
    }
    type->affects.insert(parent->affects.begin(), parent->affects.end());
    return MStatus::kSuccess;
}

MStatus MPxNode::attributeAffects(const MObject& whenChanges, const MObject& isAffected) {
    NodeType* type = Registry::instance().initializing();
    const auto from = hostCast<Attribute>(whenChanges);
    const auto to = hostCast<Attribute>(isAffected);
    if (!type || !from || !to) return MStatus::kFailure;
    type->affects.emplace(from.get(), to);
    return MStatus::kSuccess;
}
