#include "builtin/BuiltinTypes.h"

#include "builtin/AnimCurve.h"
#include "builtin/BlendShape.h"
#include "builtin/UnitConversion.h"

#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPxNode.h>

namespace headless::detail {

namespace {

// The built-in nodes store values and compute nothing.
class BuiltinNode : public MPxNode {
  public:
    static void* create() { return new BuiltinNode; }
};

MObject vector3(const char* longName, const char* shortName, MFnUnitAttribute::Type unit,
                double defaultValue) {
    MFnCompoundAttribute compound;
    MObject parent = compound.create(longName, shortName);
    for (const char* axis : {"X", "Y", "Z"}) {
        const MString childLong = MString(longName) + axis;
        const MString childShort = MString(shortName) + MString(axis).toLowerCase();
        MObject child;
        if (unit != MFnUnitAttribute::kInvalid) {
            MFnUnitAttribute fn;
            child = fn.create(childLong, childShort, unit, defaultValue);
            fn.setKeyable(true);
        } else {
            MFnNumericAttribute fn;
            child = fn.create(childLong, childShort, MFnNumericData::kDouble, defaultValue);
            fn.setKeyable(true);
        }
        compound.addChild(child);
    }
    return parent;
}

MStatus initializeTransform() {
    MPxNode::addAttribute(vector3("translate", "t", MFnUnitAttribute::kDistance, 0.0));
    MPxNode::addAttribute(vector3("rotate", "r", MFnUnitAttribute::kAngle, 0.0));
    MPxNode::addAttribute(vector3("scale", "s", MFnUnitAttribute::kInvalid, 1.0));
    MFnNumericAttribute visibility;
    MObject v = visibility.create("visibility", "v", MFnNumericData::kBoolean, 1.0);
    visibility.setKeyable(true);
    MPxNode::addAttribute(v);
    // A DAG node joins sets through its instance groups.
    MFnMessageAttribute groups;
    MObject iog = groups.create("instObjGroups", "iog");
    groups.setArray(true);
    groups.setHidden(true);
    return MPxNode::addAttribute(iog);
}

MStatus initializeTime() {
    MFnUnitAttribute time;
    MObject outTime = time.create("outTime", "o", MFnUnitAttribute::kTime, 0.0);
    return MPxNode::addAttribute(outTime);
}

std::shared_ptr<NodeType> builtinType(const char* name, unsigned int id, MFn::Type apiType,
                                      bool dag, MInitializeFunction initializer) {
    auto type = std::make_shared<NodeType>();
    type->name = name;
    type->id = MTypeId(id);
    type->apiType = apiType;
    type->dag = dag;
    type->creator = &BuiltinNode::create;
    type->initializer = initializer;
    return type;
}

}  // namespace

std::vector<std::shared_ptr<NodeType>> builtinNodeTypes() {
    // Ids of the host's own types lie outside the range plug-ins use.
    std::vector<std::shared_ptr<NodeType>> types{
        builtinType("transform", 0x58464f52u, MFn::kTransform, true, &initializeTransform),
        builtinType("time", 0x54494d45u, MFn::kTime, false, &initializeTime), unitConversionType(),
        blendShapeType()};
    for (auto& curve : animCurveTypes()) types.push_back(std::move(curve));
    return types;
}

}  // namespace headless::detail
