#include "TestNodes.h"

#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MPlugArray.h>

namespace hosttest {

MObject Adder::a, Adder::b, Adder::sum;
int Adder::computes = 0;
MObject Trigger::trigger, Trigger::kept;
MObject Picky::guarded, Picky::watched, Picky::fallback, Picky::sealed;
int Picky::broken = 0;
MObject Collector::values, Collector::total;

namespace {

MObject messageAttribute(const char* name) {
    MFnMessageAttribute fn;
    return fn.create(name, name);
}

}  // namespace

MStatus Adder::initialize() {
    a = doubleAttribute("a", "a");
    b = doubleAttribute("b", "b");
    sum = doubleAttribute("sum", "sum", kComputed);
    addAttributes({&a, &b, &sum});
    attributeAffects(a, sum);
    attributeAffects(b, sum);
    return MStatus::kSuccess;
}

MStatus Adder::compute(const MPlug& plug, MDataBlock& data) {
    if (plug != sum) return MStatus::kUnknownParameter;
    ++computes;
    data.outputValue(sum).set(data.inputValue(a).asDouble() + data.inputValue(b).asDouble());
    data.setClean(plug);
    return MStatus::kSuccess;
}

MStatus Trigger::initialize() {
    trigger = doubleAttribute("trigger", "trigger");
    kept = doubleAttribute("kept", "kept");
    addAttributes({&trigger, &kept});
    return attributeAffects(trigger, kept);
}

MStatus Trigger::setDependentsDirty(const MPlug& plug, MPlugArray& affected) {
    if (plug == trigger) {
        const MPlug extra = MFnDependencyNode(thisMObject()).findPlug("extra", true);
        if (!extra.isNull()) affected.append(extra);
    }
    return MPxNode::setDependentsDirty(plug, affected);
}

MStatus Trigger::compute(const MPlug& plug, MDataBlock& data) {
    if (plug.partialName(false, false, false, false, false, true) != "extra")
        return MStatus::kUnknownParameter;
    data.outputValue(plug).set(10.0 * data.inputValue(trigger).asDouble());
    data.setClean(plug);
    return MStatus::kSuccess;
}

MStatus Picky::initialize() {
    guarded = messageAttribute("guarded");
    watched = doubleAttribute("watched", "watched");
    fallback = messageAttribute("fallback");
    sealed = doubleAttribute("sealed", "sealed", kNotConnectable);
    return addAttributes({&guarded, &watched, &fallback, &sealed});
}

MStatus Picky::legalConnection(const MPlug& plug, const MPlug& other, bool, bool& isLegal) const {
    if (plug != guarded) return MStatus::kUnknownParameter;
    isLegal =
        MFnDependencyNode(other.node()).typeName() == "transform" && other == MPxNode::message;
    return MStatus::kSuccess;
}

MStatus Picky::connectionBroken(const MPlug& plug, const MPlug& other, bool asSrc) {
    ++broken;
    if (!asSrc && plug == watched) {
        MDGModifier modifier;
        const MPlug source = MFnDependencyNode(other.node()).findPlug("message", true);
        modifier.connect(source, MFnDependencyNode(thisMObject()).findPlug(fallback, true));
        modifier.doIt();
    }
    return MPxNode::connectionBroken(plug, other, asSrc);
}

MStatus Collector::initialize() {
    values = doubleAttribute("values", "values", kArray);
    MFnNumericAttribute fn(values);
    fn.setIndexMatters(false);
    fn.setDisconnectBehavior(MFnAttribute::kDelete);
    total = doubleAttribute("total", "total", kComputed);
    addAttributes({&values, &total});
    return attributeAffects(values, total);
}

std::vector<unsigned int> Collector::elementsWhenBroken;
std::vector<bool> KeepSet::asked;

MStatus Collector::connectionBroken(const MPlug& plug, const MPlug& other, bool asSrc) {
    if (!asSrc && plug.isElement()) {
        elementsWhenBroken.push_back(
            MFnDependencyNode(thisMObject()).findPlug(values, true).numElements());
    }
    return MPxNode::connectionBroken(plug, other, asSrc);
}

MStatus Collector::compute(const MPlug& plug, MDataBlock& data) {
    if (plug != total) return MStatus::kUnknownParameter;
    data.outputValue(total).set(sumOfElements(data.inputArrayValue(values)));
    data.setClean(plug);
    return MStatus::kSuccess;
}

TestNodesPlugin::TestNodesPlugin() {
    MFnPlugin fn(plugin_.object(), "Tests", "1.0");
    Adder::registerIn(fn, "testAdder", 0x7f001);
    Trigger::registerIn(fn, "testTrigger", 0x7f002);
    Picky::registerIn(fn, "testPicky", 0x7f003);
    Collector::registerIn(fn, "testCollector", 0x7f004);
    LooseSet::registerIn(fn, "testLooseSet", 0x7f005, MPxNode::kObjectSet);
    KeepSet::registerIn(fn, "testKeepSet", 0x7f006, MPxNode::kObjectSet);
}

}  // namespace hosttest
