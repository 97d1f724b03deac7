#include "pose/nodes/LMRAPose.h"

#include "plugin/messages/AttributeCreation.h"
#include "plugin/messages/StatusChecks.h"

#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

#include "plugin/messages/PluginMessages.h"

const MString LMRAPose::kTypeName("LMRAPose");
const MTypeId LMRAPose::kTypeId(0x130684);

MObject LMRAPose::weight;
MObject LMRAPose::weightMin;
MObject LMRAPose::weightMax;
MObject LMRAPose::mute;
MObject LMRAPose::attrs;
MObject LMRAPose::rest;
MObject LMRAPose::pose;
MObject LMRAPose::out;

namespace {

constexpr double kWeightLowest = -21474836.48;
constexpr double kWeightHighest = 21474836.47;

MStatus createWeight(const char* name, double defaultValue, MObject& attribute) {
    MFnNumericAttribute fn;
    LMRA_CHECK(lmra::createNumeric(fn, attribute, name, MFnNumericData::kDouble, defaultValue));
    LMRA_CHECK(fn.setMin(kWeightLowest));
    return fn.setMax(kWeightHighest);
}

MStatus createElementDouble(const char* name, MObject& attribute) {
    MFnNumericAttribute fn;
    LMRA_CHECK(lmra::createNumeric(fn, attribute, name, MFnNumericData::kDouble, 0.0));
    return fn.setReadable(false);
}

// True when `plug` is the `child` attribute of one element of "attrs".
bool isElementChild(const MPlug& plug, const MObject& child) {
    if (!plug.isChild() || !(plug == child)) return false;
    const MPlug element = plug.parent();
    return element.isElement() && element == LMRAPose::attrs;
}

}  // namespace

MStatus LMRAPose::initialize() {
    LMRA_CHECK(createWeight("weight", 0.0, weight));
    LMRA_CHECK(MFnNumericAttribute(weight).setKeyable(true));

    LMRA_CHECK(createWeight("weight_min", 0.0, weightMin));
    LMRA_CHECK(createWeight("weight_max", 1.0, weightMax));
    for (const MObject& setting : {weightMin, weightMax}) {
        MFnNumericAttribute fn(setting);
        LMRA_CHECK(fn.setHidden(true));
        LMRA_CHECK(fn.setConnectable(false));
    }

    MFnNumericAttribute muteFn;
    LMRA_CHECK(lmra::createNumeric(muteFn, mute, "mute", MFnNumericData::kBoolean, 0));
    LMRA_CHECK(muteFn.setReadable(false));

    LMRA_CHECK(createElementDouble("rest", rest));
    LMRA_CHECK(createElementDouble("pose", pose));

    MFnNumericAttribute outFn;
    LMRA_CHECK(lmra::createNumeric(outFn, out, "out", MFnNumericData::kDouble, 0.0));
    LMRA_CHECK(outFn.setWritable(false));

    MFnCompoundAttribute attrsFn;
    LMRA_CHECK(lmra::createCompoundArray(attrsFn, attrs, "attrs", {rest, pose, out}));

    LMRA_CHECK(addAttribute(weight));
    LMRA_CHECK(addAttribute(weightMin));
    LMRA_CHECK(addAttribute(weightMax));
    LMRA_CHECK(addAttribute(mute));
    LMRA_CHECK(addAttribute(attrs));
    LMRA_CHECK(attributeAffects(weight, out));
    LMRA_CHECK(attributeAffects(mute, out));
    return MS::kSuccess;
}

MStatus LMRAPose::compute(const MPlug& plug, MDataBlock& data) {
    const QueuedMessagesShown shownMessages;  // what the plug-in's threads posted
    if (isElementChild(plug, out)) {
        writeOffset(plug.parent(), data, data.inputValue(weight).asDouble(),
                    data.inputValue(mute).asBool());
        return MS::kSuccess;
    }

    if (plug == attrs && !plug.isElement()) {
        const double weightValue = data.inputValue(weight).asDouble();
        const bool muted = data.inputValue(mute).asBool();
        // Existing elements only, by plug, so connected "pose"/"rest" inputs are pulled.
        for (unsigned int i = 0; i < plug.numElements(); ++i) {
            writeOffset(plug.elementByPhysicalIndex(i), data, weightValue, muted);
        }
        data.setClean(plug);
        return MS::kSuccess;
    }

    if (plug == attrs && plug.isElement()) {
        // Refresh this element's offset too, so reading the whole element never shows a stale one.
        writeOffset(plug, data, data.inputValue(weight).asDouble(), data.inputValue(mute).asBool());
        data.setClean(plug);
        return MS::kSuccess;
    }

    return MS::kUnknownParameter;
}

void LMRAPose::writeOffset(const MPlug& element, MDataBlock& data, double weightValue, bool muted) {
    const MPlug outPlug = element.child(out);
    const double value =
        offset(data.inputValue(element.child(pose)).asDouble(),
               data.inputValue(element.child(rest)).asDouble(), weightValue, muted);
    data.outputValue(outPlug).setDouble(value);
    data.setClean(outPlug);
}

MStatus LMRAPose::setDependentsDirty(const MPlug& plug, MPlugArray& plugArray) {
    if (isElementChild(plug, rest) || isElementChild(plug, pose)) {
        plugArray.append(plug.parent().child(out));
    }
    return MPxNode::setDependentsDirty(plug, plugArray);
}

MStatus LMRAPose::shouldSave(const MPlug& plug, bool& isSaving) {
    // Every element of "attrs" is written, even at default values, so that the element set
    // survives a save and reopen. The computed "out" child keeps the default answer.
    if (plug == attrs || isElementChild(plug, rest) || isElementChild(plug, pose)) {
        isSaving = true;
        return MS::kSuccess;
    }
    return MPxNode::shouldSave(plug, isSaving);
}
