#include "builtin/BlendShape.h"

#include <maya/MFnNumericAttribute.h>
#include <maya/MPxNode.h>

namespace headless::detail {

namespace {

class BlendShapeNode : public MPxNode {
  public:
    static void* create() { return new BlendShapeNode; }

    static MStatus initialize() {
        MFnNumericAttribute numeric;
        MObject envelope = numeric.create("envelope", "en", MFnNumericData::kFloat, 1.0);
        numeric.setKeyable(true);
        numeric.setMin(0.0);
        numeric.setMax(1.0);
        addAttribute(envelope);
        MObject weight = numeric.create("weight", "w", MFnNumericData::kFloat, 0.0);
        numeric.setArray(true);
        numeric.setKeyable(true);
        return addAttribute(weight);
    }
};

}  // namespace

std::shared_ptr<NodeType> blendShapeType() {
    auto type = std::make_shared<NodeType>();
    type->name = "blendShape";
    type->id = MTypeId(0x46424c53u);  // outside the range plug-ins use
    type->kind = MPxNode::kBlendShape;
    type->apiType = MFn::kBlendShape;
    type->creator = &BlendShapeNode::create;
    type->initializer = &BlendShapeNode::initialize;
    return type;
}

}  // namespace headless::detail
