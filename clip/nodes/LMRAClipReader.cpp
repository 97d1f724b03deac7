#include "clip/nodes/LMRAClipReader.h"

#include "plugin/messages/AttributeCreation.h"
#include "plugin/messages/StatusChecks.h"

#include "clip/format/ParseClipFile.h"
#include "plugin/messages/PluginMessages.h"

#include <maya/MDataHandle.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnStringData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MTime.h>

#include <exception>
#include <utility>

const MString LMRAClipReader::kTypeName("LMRAClipReader");
const MTypeId LMRAClipReader::kTypeId(0x130682);

MObject LMRAClipReader::time;
MObject LMRAClipReader::clipFilepath;
MObject LMRAClipReader::clipFrameOffset;
MObject LMRAClipReader::clipFrameCount;
MObject LMRAClipReader::clipDuration;

MStatus LMRAClipReader::initialize() {
    MStatus status;
    MFnUnitAttribute unitFn;
    time = unitFn.create("time", "tm", MFnUnitAttribute::kTime, 0.0, &status);
    LMRA_CHECK_STATUS(status, "time");
    LMRA_CHECK(unitFn.setStorable(true));

    MFnTypedAttribute typedFn;
    MFnStringData stringData;
    const MObject noPath = stringData.create(&status);
    LMRA_CHECK_STATUS(status, "the empty path");
    clipFilepath =
        typedFn.create("clipFilepath", "clipFilepath", MFnData::kString, noPath, &status);
    LMRA_CHECK_STATUS(status, "clipFilepath");
    LMRA_CHECK(typedFn.setStorable(true));
    LMRA_CHECK(typedFn.setUsedAsFilename(true));

    MFnNumericAttribute numericFn;
    LMRA_CHECK(lmra::createNumeric(numericFn, clipFrameOffset, "clipFrameOffset",
                                   MFnNumericData::kDouble, 0.0));
    LMRA_CHECK(numericFn.setChannelBox(true));

    LMRA_CHECK(lmra::createNumericOutput(numericFn, clipFrameCount, "clipFrameCount",
                                         MFnNumericData::kInt, 0));
    LMRA_CHECK(lmra::createNumericOutput(numericFn, clipDuration, "clipDuration",
                                         MFnNumericData::kDouble, 0.0));

    // No attributeAffects: setDependentsDirty and preEvaluation carry all the dependencies, and a
    // load dirties the whole node.
    LMRA_CHECK(addAttribute(time));
    LMRA_CHECK(addAttribute(clipFilepath));
    LMRA_CHECK(addAttribute(clipFrameOffset));
    LMRA_CHECK(addAttribute(clipFrameCount));
    LMRA_CHECK(addAttribute(clipDuration));
    return MS::kSuccess;
}

bool LMRAClipReader::loadClip(const std::string& path) {
    // Read into temporaries: the outputs keep sampling the previous clip, whose frames match
    // them, until a whole new clip is in hand.
    ChannelNameLists names;
    ClipFrames frames(matrixChannelOutputs);
    const ClipLoadResult result = loadClipFile(names, frames, path);
    if (!result.ok()) {
        MGlobal::displayError("Error during file loading.");
        MGlobal::displayError(MString(describeClipLoadFailure(path, result).c_str()));
        return false;
    }
    if (result.droppedFrames > 0)
        MGlobal::displayWarning(MString(describeDroppedFrames(path, result.droppedFrames).c_str()));

    clipNames_ = std::move(names);
    clipFrames_ = std::move(frames);
    clipLength_ = clipFrames_.duration();
    rebuildChannelAttributes(thisMObject(), clipNames_, outputs_, ScalarOutputStorage::notStorable);
    matrixValues_.assign(outputs_.matrixOutputs.size(), {});
    vectorValues_.assign(outputs_.vectorOutputs.size(), {});
    scalarValues_.assign(outputs_.scalarOutputs.size(), 0.0);
    // Outputs that kept their names from the previous clip still hold its values: resample at
    // the next compute, and mark the node dirty so that something computes.
    resampleNeeded_ = true;
    MFnDependencyNode self(thisMObject());
    MGlobal::executeCommand("dgdirty " + self.name());
    MGlobal::displayInfo("Clipfile loaded.");
    return true;
}

void LMRAClipReader::sampleClip(double clipTime) {
    ::sampleClip(clipFrames_, clipTime, scalarValues_, matrixValues_, vectorValues_);
}

void LMRAClipReader::resampleAt(MDataBlock& data) {
    const MTime hostTime = data.inputValue(time).asTime();
    const double seconds = hostTime.as(MTime::kSeconds);
    // The offset counts frames of the scene's time unit, the unit the time input arrives in.
    const double offsetFrames = data.inputValue(clipFrameOffset).asDouble();
    const double offsetSeconds = MTime(offsetFrames, hostTime.unit()).as(MTime::kSeconds);
    sampleClip(seconds + offsetSeconds);
    resampleNeeded_ = false;
    lastSampleTime_ = seconds;
}

void LMRAClipReader::setOutput(const MPlug& plug, MDataBlock& data, double value) {
    data.outputValue(plug).set(value);
    data.setClean(plug);
}

MStatus LMRAClipReader::compute(const MPlug& plug, MDataBlock& data) {
    const QueuedMessagesShown shownMessages;  // what the plug-in's threads posted
    // Another time's evaluation tells the node nothing through dirty propagation: it samples
    // at the time its context gives, and leaves a resample for the next normal compute.
    const bool timed = !data.context().isNormal();
    if (resampleNeeded_ || timed) resampleAt(data);
    if (timed) resampleNeeded_ = true;

    if (plug == clipFrameCount) {
        data.outputValue(plug).set(static_cast<int>(clipFrames_.size()));
        data.setClean(plug);
        return MStatus::kSuccess;
    }
    if (plug == clipDuration) {
        setOutput(plug, data, clipLength_);
        return MStatus::kSuccess;
    }
    if (!MFnAttribute(plug.attribute()).isDynamic()) return MStatus::kUnknownParameter;
    if (isMultiplierChild(plug)) return MStatus::kUnknownParameter;

    const ChannelOutputPosition position = findChannelOutput(outputs_, plug.attribute());
    switch (position.kind) {
        case ChannelOutputPosition::Kind::matrix:
            setOutput(plug, data, matrixValues_[position.group][position.index]);
            return MStatus::kSuccess;
        case ChannelOutputPosition::Kind::vector:
            setOutput(plug, data, vectorValues_[position.group][position.index]);
            return MStatus::kSuccess;
        case ChannelOutputPosition::Kind::scalar:
            setOutput(plug, data,
                      scalarOutputValue(thisMObject(), plug, data, scalarValues_[position.group]));
            return MStatus::kSuccess;
        case ChannelOutputPosition::Kind::none:
            break;
    }
    return MStatus::kUnknownParameter;
}

MStatus LMRAClipReader::setDependentsDirty(const MPlug& plug, MPlugArray& affected) {
    if (plug == time || plug == clipFrameOffset) {
        resampleNeeded_ = true;
        const MObject node = thisMObject();
        // Channels left without outputs hold null handles.
        auto affect = [&](const MObject& attribute) {
            if (!attribute.isNull()) affected.append(MPlug(node, attribute));
        };
        for (const auto& attribute : outputs_.scalarOutputs) affect(attribute);
        for (const auto& group : outputs_.matrixOutputs)
            for (const auto& attribute : group) affect(attribute);
        for (const auto& group : outputs_.vectorOutputs)
            for (const auto& attribute : group) affect(attribute);
    }
    addMultiplierDependent(thisMObject(), plug, affected);
    return MPxNode::setDependentsDirty(plug, affected);
}

MStatus LMRAClipReader::preEvaluation(const MDGContext& context,
                                      const MEvaluationNode& evaluationNode) {
    if (!evaluationNode.dirtyPlugExists(time) && !evaluationNode.dirtyPlugExists(clipFrameOffset))
        return MStatus::kSuccess;
    if (context.isNormal()) {
        resampleNeeded_ = true;
    } else {
        MTime when;
        context.getTime(when);
        if (when.as(MTime::kSeconds) != lastSampleTime_) resampleNeeded_ = true;
    }
    return MStatus::kSuccess;
}
