#include "script/ValueText.h"

#include <algorithm>

#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MTime.h>

#include "core/Evaluation.h"
#include "core/Plugs.h"

namespace headless::detail {

namespace {

void collect(const MPlug& plug, std::vector<std::pair<const Attribute*, Value>>& leaves,
             const MDGContext& context) {
    const Value value = evaluatePlug(plug, context);
    const auto& attribute = attributeOf(plug);
    if (isArrayPlug(plug)) {
        for (const unsigned int index : existingElements(plug))
            collect(elementPlug(plug, index), leaves, context);
    } else if (attribute->kind == AttributeKind::Compound) {
        for (unsigned int i = 0; i < attribute->children.size(); ++i)
            collect(childPlug(plug, i), leaves, context);
    } else if (attribute->kind != AttributeKind::Message) {
        leaves.emplace_back(attribute.get(), value);
    }
}

}  // namespace

double toUserUnits(const Attribute& attribute, double internal) {
    if (attribute.kind != AttributeKind::Unit) return internal;
    if (attribute.unitType == MFnUnitAttribute::kAngle)
        return MAngle(internal, MAngle::kRadians).as(MAngle::uiUnit());
    if (attribute.unitType == MFnUnitAttribute::kTime)
        return MTime(internal, MTime::kSeconds).as(MTime::uiUnit());
    if (attribute.unitType == MFnUnitAttribute::kDistance) return MDistance::internalToUI(internal);
    return internal;
}

double toInternalUnits(const Attribute& attribute, double user) {
    if (attribute.kind != AttributeKind::Unit) return user;
    if (attribute.unitType == MFnUnitAttribute::kAngle)
        return MAngle(user, MAngle::uiUnit()).as(MAngle::kRadians);
    if (attribute.unitType == MFnUnitAttribute::kTime)
        return MTime(user, MTime::uiUnit()).as(MTime::kSeconds);
    if (attribute.unitType == MFnUnitAttribute::kDistance) return MDistance::uiToInternal(user);
    return user;
}

void plugValueResult(const MPlug& plug, ResultValue& result, const MDGContext& context) {
    std::vector<std::pair<const Attribute*, Value>> leaves;
    collect(plug, leaves, context);
    result.clear();
    if (leaves.size() == 1) {
        const auto& [attribute, value] = leaves.front();
        if (const auto* texts = std::get_if<std::vector<std::string>>(&value)) {
            result.setStrings(*texts);
        } else if (attribute->kind == AttributeKind::Typed) {
            result.setString(asText(value));
        } else if (attribute->kind == AttributeKind::Numeric &&
                   attribute->numericType == MFnNumericData::kBoolean) {
            result.setBool(asNumber(value) != 0.0);
        } else if (attribute->kind == AttributeKind::Numeric &&
                   attribute->numericType != MFnNumericData::kFloat &&
                   attribute->numericType != MFnNumericData::kDouble) {
            result.setInt(
                static_cast<int>(std::clamp(asNumber(value), -2147483648.0, 2147483647.0)));
        } else {
            result.setDouble(toUserUnits(*attribute, asNumber(value)));
        }
        return;
    }
    for (const auto& [attribute, value] : leaves) {
        if (attribute->kind == AttributeKind::Typed) {
            result.appendString(asText(value));
        } else {
            result.appendDouble(toUserUnits(*attribute, asNumber(value)));
        }
    }
    // Python sees the values of one compound as a tuple in a list: [(x, y, z)].
    result.compound = !isArrayPlug(plug) && attributeOf(plug)->kind == AttributeKind::Compound;
}

}  // namespace headless::detail
