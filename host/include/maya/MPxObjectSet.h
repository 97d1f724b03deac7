#pragma once
// Headless host: Maya's MPxObjectSet, the base of plug-in object sets.

#include <maya/MPxNode.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MPxObjectSet : public MPxNode {
  public:
    MPxObjectSet() = default;
    ~MPxObjectSet() override;

    MPxNode::Type type() const override;
    // Asked when the set may go away: with isSrcNode false when its last member was deleted.
    virtual bool canBeDeleted(bool isSrcNode);

    static MObject dagSetMembers;
    static MObject DNSetMembers;
    static MObject memberWireframeColor;
    static MObject annotation;
    static MObject isLayer;
    static MObject partition;
    static MObject groupNodes;
    static MObject usedByNodes;
};

OPENMAYA_NAMESPACE_CLOSE
