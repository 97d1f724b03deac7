#pragma once
// A plain node that hosts channel outputs the way the device node and the clip reader do, for
// testing the shared scheme without a connection.

#include <map>
#include <string>
#include <vector>

#include <maya/MDataBlock.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

#include "device/channels/ChannelAttributes.h"

class ChannelHostNode : public MPxNode {
  public:
    static constexpr unsigned kTypeId = 0x7f0a1;
    static MObject staticScalar;  // "shared": a static attribute a scalar channel may reuse

    static void* creator() { return new ChannelHostNode(); }
    static MStatus initialize() {
        MFnNumericAttribute numeric;
        staticScalar = numeric.create("shared", "shared", MFnNumericData::kDouble, 0.0);
        return addAttribute(staticScalar);
    }

    MStatus compute(const MPlug& plug, MDataBlock& data) override {
        if (isMultiplierChild(plug)) return MStatus::kUnknownParameter;
        const ChannelOutputPosition position = findChannelOutput(outputs, plug.attribute());
        if (position.kind != ChannelOutputPosition::Kind::scalar) return MStatus::kUnknownParameter;
        ++computeCounts[plug.partialName().asChar()];
        data.outputValue(plug).set(
            scalarOutputValue(thisMObject(), plug, data, scalarValues[position.group]));
        data.setClean(plug);
        return MStatus::kSuccess;
    }

    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& affected) override {
        addMultiplierDependent(thisMObject(), plug, affected);
        return MPxNode::setDependentsDirty(plug, affected);
    }

    void rebuild(const ChannelNameLists& names, ScalarOutputStorage storage) {
        rebuildChannelAttributes(thisMObject(), names, outputs, storage);
        scalarValues.assign(outputs.scalarOutputs.size(), 0.0);
    }

    ChannelOutputs outputs;
    std::vector<double> scalarValues;
    std::map<std::string, int> computeCounts;
};
