#pragma once
// Headless host: Maya's MNodeMessage: pre-removal callbacks (see core/NodeCallbacks.h) and
// attribute-changed callbacks: kAttributeSet when a
// plug's value is set (setAttr, MPlug::setValue), kConnectionMade and kConnectionBroken (with
// kIncomingDirection on the destination's side) when a connection changes. Main thread only.

#include <maya/MMessage.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MNodeMessage : public MMessage {
  public:
    enum AttributeMessage {
        kConnectionMade = 0x01,
        kConnectionBroken = 0x02,
        kAttributeEval = 0x04,
        kAttributeSet = 0x08,
        kAttributeLocked = 0x10,
        kAttributeUnlocked = 0x20,
        kAttributeAdded = 0x40,
        kAttributeRemoved = 0x80,
        kAttributeRenamed = 0x100,
        kAttributeKeyable = 0x200,
        kAttributeUnkeyable = 0x400,
        kIncomingDirection = 0x800,
        kAttributeArrayAdded = 0x1000,
        kAttributeArrayRemoved = 0x2000,
        kOtherPlugSet = 0x4000,
        kLast = 0x8000
    };
    typedef void (*MAttr2PlugFunction)(MNodeMessage::AttributeMessage msg, MPlug& plug,
                                       MPlug& otherPlug, void* clientData);

    // Runs when the node is about to leave the graph (deleted, or taken by a new scene).
    static MCallbackId addNodePreRemovalCallback(MObject& node, MMessage::MNodeFunction func,
                                                 void* clientData = nullptr,
                                                 MStatus* ReturnStatus = nullptr);

    static MCallbackId addAttributeChangedCallback(MObject& node,
                                                   MNodeMessage::MAttr2PlugFunction func,
                                                   void* clientData = nullptr,
                                                   MStatus* ReturnStatus = nullptr);
};

OPENMAYA_NAMESPACE_CLOSE

namespace headless::detail {
// Runs the attribute-changed callbacks of the plug's node.
void postAttributeChanged(int msg, const MPlug& plug, const MPlug& otherPlug);
}  // namespace headless::detail
