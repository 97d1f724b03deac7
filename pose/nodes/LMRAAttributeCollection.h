#pragma once
// Groups target attributes of a rig with a rest value each. Registered as an object set so the
// host treats it like one, but it never takes members.

#include <maya/MObject.h>
#include <maya/MPxObjectSet.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include "plugin/messages/PluginClassBases.h"

class MPlug;

class LMRAAttributeCollection : public PluginNode<LMRAAttributeCollection, MPxObjectSet> {
  public:
    static const MString kTypeName;
    static const MTypeId kTypeId;

    static MObject attrs;
    static MObject plug;
    static MObject restValue;

    static MStatus initialize();

    MStatus legalConnection(const MPlug& thisPlug, const MPlug& otherPlug, bool asSrc,
                            bool& isLegal) const override;
    bool canBeDeleted(bool isSrcNode) override;
};
