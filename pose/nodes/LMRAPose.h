#pragma once
// A pose: turns one weight into a weighted offset (pose - rest) * weight per target attribute.

#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include "plugin/messages/PluginClassBases.h"

class MDataBlock;
class MPlug;
class MPlugArray;

class LMRAPose : public PluginNode<LMRAPose, MPxNode> {
  public:
    static const MString kTypeName;
    static const MTypeId kTypeId;

    static MObject weight;
    static MObject weightMin;
    static MObject weightMax;
    static MObject mute;
    static MObject attrs;
    static MObject rest;
    static MObject pose;
    static MObject out;

    static MStatus initialize();

    MStatus compute(const MPlug& plug, MDataBlock& data) override;
    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& plugArray) override;
    MStatus shouldSave(const MPlug& plug, bool& isSaving) override;
    // kParallel: compute is a function of the node's own inputs.
    SchedulingType schedulingType() const override { return kParallel; }

    // The offset one element contributes; the weight is deliberately not clamped.
    static double offset(double poseValue, double restValue, double weightValue, bool muted) {
        return muted ? 0.0 : (poseValue - restValue) * weightValue;
    }

  private:
    // Computes the "out" child of one element of "attrs" and marks it clean.
    static void writeOffset(const MPlug& element, MDataBlock& data, double weightValue, bool muted);
};
