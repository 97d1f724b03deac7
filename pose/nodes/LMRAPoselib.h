#pragma once
// A pose library: an object set whose members are pose nodes only, with a stored "order".

#include <maya/MObject.h>
#include <maya/MPxObjectSet.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include "plugin/messages/PluginClassBases.h"

class MPlug;

class LMRAPoselib : public PluginNode<LMRAPoselib, MPxObjectSet> {
  public:
    static const MString kTypeName;
    static const MTypeId kTypeId;

    static MObject order;

    static MStatus initialize();

    MStatus legalConnection(const MPlug& plug, const MPlug& otherPlug, bool asSrc,
                            bool& isLegal) const override;
    bool canBeDeleted(bool isSrcNode) override;
};
