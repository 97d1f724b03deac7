#include "builtin/UnitConversion.h"

#include <cmath>

#include <maya/MAngle.h>
#include <maya/MDataBlock.h>
#include <maya/MDistance.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MPxNode.h>

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

enum class UnitKind { Unitless, Angle, Distance, Time, None };

UnitKind unitKind(const Attribute& attribute) {
    if (attribute.kind == AttributeKind::Numeric) return UnitKind::Unitless;
    if (attribute.kind != AttributeKind::Unit) return UnitKind::None;
    switch (attribute.unitType) {
        case MFnUnitAttribute::kAngle:
            return UnitKind::Angle;
        case MFnUnitAttribute::kDistance:
            return UnitKind::Distance;
        case MFnUnitAttribute::kTime:
            return UnitKind::Time;
        default:
            return UnitKind::Unitless;
    }
}

// Internal value -> the number the user sees.
double toUser(UnitKind kind) {
    if (kind == UnitKind::Angle) return MAngle(1.0, MAngle::kRadians).as(MAngle::uiUnit());
    if (kind == UnitKind::Distance) return MDistance::internalToUI(1.0);
    return 1.0;
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
    const UnitKind from = unitKind(source);
    const UnitKind to = unitKind(destination);
    if (from == to || from == UnitKind::None || to == UnitKind::None || from == UnitKind::Time ||
        to == UnitKind::Time) {
        return false;
    }
    factor = toUser(from) / toUser(to);
    return std::fabs(factor - 1.0) > 1e-12;
}

}  // namespace headless::detail
