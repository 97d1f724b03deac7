#pragma once
// Gathers capture sources (live devices, clip readers) as set members and keeps one of them
// connected into "activeSource", switching to another member when the active one leaves.

#include <maya/MObject.h>
#include <maya/MPxObjectSet.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include "plugin/messages/PluginClassBases.h"

class MPlug;

class LMRAAdapter : public PluginNode<LMRAAdapter, MPxObjectSet> {
  public:
    static const MString kTypeName;
    static const MTypeId kTypeId;

    // Node types allowed as members and as the active source.
    static const MString kLiveDeviceTypeName;
    static const MString kClipReaderTypeName;

    static MObject activeSource;
    static MObject order;

    static MStatus initialize();

    MStatus legalConnection(const MPlug& plug, const MPlug& otherPlug, bool asSrc,
                            bool& isLegal) const override;
    MStatus connectionBroken(const MPlug& plug, const MPlug& otherPlug, bool asSrc) override;
    bool canBeDeleted(bool isSrcNode) override;

  private:
    bool isCaptureSourceMessage(const MPlug& otherPlug) const;
    bool isMemberAlready(const MPlug& source) const;
    void keepActiveSourceAfterLeaving(const MPlug& leavingElement, const MPlug& leavingSource);
};
