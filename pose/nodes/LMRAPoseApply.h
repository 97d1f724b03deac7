#pragma once
// Drives one target attribute: output = rest + weight * (sum of the connected pose offsets).

#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include "plugin/messages/PluginClassBases.h"

class MDataBlock;
class MPlug;

class LMRAPoseApply : public PluginNode<LMRAPoseApply, MPxNode> {
  public:
    static const MString kTypeName;
    static const MTypeId kTypeId;

    static MObject rest;
    static MObject weight;
    static MObject values;
    static MObject output;

    static MStatus initialize();

    MStatus compute(const MPlug& plug, MDataBlock& data) override;
    bool isPassiveOutput(const MPlug& plug) const override;
    // kParallel: compute is a function of the node's own inputs.
    SchedulingType schedulingType() const override { return kParallel; }
};
