#include "builtin/UnitConversion.h"

#include <cmath>
#include <optional>

#include <maya/MAngle.h>
#include <maya/MDataBlock.h>
#include <maya/MDistance.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MPxNode.h>
#include <maya/MTime.h>

namespace headless::detail {

namespace {

const char* const kTypeName = "unitConversion";

// output = input * conversionFactor. Its plugs take values of any unit: the factor does the work.
class UnitConversionNode : public MPxNode {
  public:
    static void* create() { return new UnitConversionNode; }

    static MStatus initialize() {
        MFnNumericAttribute numeric;
        input = numeric.create("input", "i", MFnNumericData::kDouble, 0.0);
        numeric.setStorable(false);
        output = numeric.create("output", "o", MFnNumericData::kDouble, 0.0);
        numeric.setWritable(false);
        numeric.setStorable(false);
        factor = numeric.create("conversionFactor", "cf", MFnNumericData::kDouble, 1.0);
        for (const MObject* attribute : {&input, &output, &factor}) addAttribute(*attribute);
        attributeAffects(input, output);
        return attributeAffects(factor, output);
    }

    MStatus compute(const MPlug& plug, MDataBlock& block) override {
        if (plug != output) return MStatus::kUnknownParameter;
        const double value =
            block.inputValue(input).asDouble() * block.inputValue(factor).asDouble();
        block.outputValue(output).set(value);
        return block.setClean(plug);
    }

    static MObject input;
    static MObject output;
    static MObject factor;
};

MObject UnitConversionNode::input;
MObject UnitConversionNode::output;
MObject UnitConversionNode::factor;

// How many of the user's units one internal unit of the attribute's values makes; none where no
// conversion node may stand (not a number). Times are held in seconds and shown in frames of the
// scene's time unit, so a time into a plain number gives the frame.
std::optional<double> userUnitsPerInternal(const Attribute& attribute) {
    if (!attribute.isNumber()) return std::nullopt;
    if (attribute.kind == AttributeKind::Numeric) return 1.0;
    switch (attribute.unitType) {
        case MFnUnitAttribute::kAngle:
            return MAngle(1.0, MAngle::kRadians).as(MAngle::uiUnit());
        case MFnUnitAttribute::kDistance:
            return MDistance::internalToUI(1.0);
        case MFnUnitAttribute::kTime:
            return MTime(1.0, MTime::kSeconds).as(MTime::uiUnit());
        default:
            return 1.0;
    }
}

}  // namespace

std::shared_ptr<NodeType> unitConversionType() {
    auto type = std::make_shared<NodeType>();
    type->name = kTypeName;
    type->id = MTypeId(0x44554e43u);  // outside the range plug-ins use
    type->apiType = MFn::kUnitConversion;
    type->creator = &UnitConversionNode::create;
    type->initializer = &UnitConversionNode::initialize;
    return type;
}

bool isUnitConversion(const Node& node) {
    return node.type->name == kTypeName && node.type->pluginName.empty();
}

bool needsUnitConversion(const Attribute& source, const Attribute& destination, double& factor) {
    const auto from = userUnitsPerInternal(source);
    const auto to = userUnitsPerInternal(destination);
    if (!from || !to) return false;
    factor = *from / *to;
    return std::fabs(factor - 1.0) > 1e-12;
}

bool childrenNeedUnitConversion(const Attribute& source, const Attribute& destination) {
    if (source.kind != AttributeKind::Compound || destination.kind != AttributeKind::Compound ||
        source.children.size() != destination.children.size()) {
        return false;
    }
    for (std::size_t i = 0; i < source.children.size(); ++i) {
        double factor = 1.0;
        if (needsUnitConversion(*source.children[i], *destination.children[i], factor) ||
            childrenNeedUnitConversion(*source.children[i], *destination.children[i])) {
            return true;
        }
    }
    return false;
}

}  // namespace headless::detail
