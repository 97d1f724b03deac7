#pragma once
// Plays a clip file back on the time line: samples the loaded clip at the "time" input plus
// "clipFrameOffset" (frames in the scene's time unit), blending linearly between frames, and
// delivers each channel on the same outputs as the live device node.

#include <array>
#include <atomic>
#include <string>
#include <vector>

#include <maya/MDGContext.h>
#include <maya/MDataBlock.h>
#include <maya/MEvaluationNode.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include "clip/format/ClipFrames.h"
#include "clip/nodes/SampleClip.h"
#include "device/channels/ChannelAttributes.h"
#include "device/channels/ChannelOutputRules.h"
#include "plugin/messages/PluginClassBases.h"
#include "transport/records/CaptureRecords.h"

class LMRAClipReader : public PluginNode<LMRAClipReader, MPxNode> {
  public:
    static const MString kTypeName;  // "LMRAClipReader"
    static const MTypeId kTypeId;    // 0x130682

    static MObject time;
    static MObject clipFilepath;
    static MObject clipFrameOffset;
    // Read-only outputs that a load sets: the frames of the clip and its length in seconds (the
    // time of its last frame, the first being at 0). Not stored: a scene reloads its clips.
    static MObject clipFrameCount;
    static MObject clipDuration;

    static MStatus initialize();

    MStatus compute(const MPlug& plug, MDataBlock& data) override;
    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& affected) override;
    MStatus preEvaluation(const MDGContext& context,
                          const MEvaluationNode& evaluationNode) override;
    // kParallel: compute reads its own clip and inputs and writes its own outputs only.
    SchedulingType schedulingType() const override { return kParallel; }

    // Main thread. Replaces the clip only when the whole file has been read; a file that cannot
    // be read leaves the previous clip playing. Shows "Clipfile loaded." or "Error during file
    // loading." followed by a line with the path and the reason; warns when frames whose time is
    // not a finite number were left out.
    bool loadClip(const std::string& path);

    // Refills the value lists from the clip at clip time u (seconds after its first frame).
    void sampleClip(double clipTime);

  private:
    void resampleAt(MDataBlock& data);
    static void setOutput(const MPlug& plug, MDataBlock& data, double value);

    ChannelOutputs outputs_;

    // Set on the main thread by dirty propagation and on an evaluation thread by preEvaluation,
    // read by compute on either.
    std::atomic<bool> resampleNeeded_{false};
    std::atomic<double> lastSampleTime_{0.0};  // seconds; written by compute, read by preEvaluation

    ChannelNameLists clipNames_;
    ClipFrames clipFrames_{matrixChannelOutputs};
    double clipLength_ = 0.0;  // seconds, the latest frame time

    // Compute's own (the host never runs two callbacks of one node at once), sized by each
    // rebuild to the output lists.
    std::vector<std::array<double, kMatrixOutputCount>> matrixValues_;
    std::vector<std::array<double, kVectorComponents>> vectorValues_;
    std::vector<double> scalarValues_;
};
