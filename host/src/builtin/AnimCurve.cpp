#include "builtin/AnimCurve.h"

#include <algorithm>
#include <cmath>
#include <map>

#include <maya/MDataBlock.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPxNode.h>

#include "core/Evaluation.h"
#include "core/Plugs.h"
#include "evaluation/TimedEvaluation.h"

namespace headless::detail {

namespace {

constexpr double kTicksPerSecond = 141120000.0;  // Maya's time ticks (MTime)

// One class for the three types; each type has its own attributes, found by name.
class AnimCurveNode : public MPxNode {
  public:
    static void* create() { return new AnimCurveNode; }

    MStatus compute(const MPlug& plug, MDataBlock& block) override {
        Node* node = HostAccess::hostOf(*this);
        if (!node || attributeOf(plug)->longName != "output") return MStatus::kUnknownParameter;
        const MPlug input = makePlug(node->self(), node->findAttribute("input"), {});
        const MPlug time = sourceOf(input).isNull() ? timeNodeOutput() : input;
        const double seconds = time.isNull() ? 0.0 : asNumber(evaluatePlug(time, block.context()));
        writeValue(plug, valueAt(curveKeys(*node), seconds));
        return block.setClean(plug);
    }

    // Every key is saved, a key of time 0 and value 0 included.
    MStatus shouldSave(const MPlug& plug, bool& isSaving) override {
        const auto& attribute = attributeOf(plug);
        const auto parent = attribute ? attribute->parentAttribute() : nullptr;
        if (!attribute || (attribute->longName != "keyTimeValue" &&
                           !(parent && parent->longName == "keyTimeValue"))) {
            return MStatus::kUnknownParameter;
        }
        isSaving = true;
        return MStatus::kSuccess;
    }
};

MStatus initializeCurve(MFnUnitAttribute::Type unit) {
    MFnUnitAttribute units;
    MObject input = units.create("input", "i", MFnUnitAttribute::kTime, 0.0);
    MObject output;
    if (unit == MFnUnitAttribute::kInvalid) {
        MFnNumericAttribute numeric;
        output = numeric.create("output", "o", MFnNumericData::kDouble, 0.0);
        numeric.setWritable(false);
        numeric.setStorable(false);
    } else {
        output = units.create("output", "o", unit, 0.0);
        units.setWritable(false);
        units.setStorable(false);
    }
    MObject keyTime = units.create("keyTime", "kt", MFnUnitAttribute::kTime, 0.0);
    MFnNumericAttribute numeric;
    MObject keyValue = numeric.create("keyValue", "kv", MFnNumericData::kDouble, 0.0);
    MFnCompoundAttribute compound;
    MObject keys = compound.create("keyTimeValue", "ktv");
    compound.addChild(keyTime);
    compound.addChild(keyValue);
    compound.setArray(true);
    for (const MObject* attribute : {&input, &output, &keys}) MPxNode::addAttribute(*attribute);
    MPxNode::attributeAffects(input, output);
    return MPxNode::attributeAffects(keys, output);
}

template <MFnUnitAttribute::Type Unit>
MStatus initializeFor() {
    return initializeCurve(Unit);
}

// The three curve types, each for the plugs of one unit (kInvalid: plain numbers).
struct CurveKind {
    const char* name;
    unsigned int id;
    MFn::Type apiType;
    MFnUnitAttribute::Type unit;
    MInitializeFunction initializer;
};

constexpr CurveKind kCurveKinds[] = {
    {"animCurveTU", 0x4143544fu, MFn::kAnimCurveTimeToUnitless, MFnUnitAttribute::kInvalid,
     &initializeFor<MFnUnitAttribute::kInvalid>},
    {"animCurveTA", 0x41435441u, MFn::kAnimCurveTimeToAngular, MFnUnitAttribute::kAngle,
     &initializeFor<MFnUnitAttribute::kAngle>},
    {"animCurveTL", 0x4143544cu, MFn::kAnimCurveTimeToDistance, MFnUnitAttribute::kDistance,
     &initializeFor<MFnUnitAttribute::kDistance>}};

std::shared_ptr<NodeType> curveType(const CurveKind& kind) {
    auto type = std::make_shared<NodeType>();
    type->name = kind.name;
    type->id = MTypeId(kind.id);
    type->apiType = kind.apiType;
    type->creator = &AnimCurveNode::create;
    type->initializer = kind.initializer;
    type->followsSceneTime = "input";
    return type;
}

MPlug keysPlug(Node& curve) {
    return makePlug(curve.self(), curve.findAttribute("keyTimeValue"), {});
}

}  // namespace

std::vector<std::shared_ptr<NodeType>> animCurveTypes() {
    std::vector<std::shared_ptr<NodeType>> types;
    for (const auto& kind : kCurveKinds) types.push_back(curveType(kind));
    return types;
}

bool isAnimCurve(const Node& node) {
    return node.hasFn(MFn::kAnimCurve) && node.type->pluginName.empty();
}

std::string animCurveTypeFor(const Attribute& attribute) {
    if (!attribute.isNumber()) return {};
    const auto unit =
        attribute.kind == AttributeKind::Unit ? attribute.unitType : MFnUnitAttribute::kInvalid;
    if (unit == MFnUnitAttribute::kTime) return {};
    for (const auto& kind : kCurveKinds) {
        if (kind.unit == unit) return kind.name;
    }
    return "animCurveTU";  // a number of another unit keys as a plain number
}

MPlug curveOutput(Node& curve) {
    return makePlug(curve.self(), curve.findAttribute("output"), {});
}

std::vector<Key> curveKeys(Node& curve) {
    const MPlug keys = keysPlug(curve);
    std::vector<Key> found;
    for (const unsigned int index : existingElements(keys)) {
        const MPlug element = elementPlug(keys, index);
        found.push_back(Key{asNumber(storedValue(childPlug(element, 0))),
                            asNumber(storedValue(childPlug(element, 1)))});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Key& a, const Key& b) { return a.time < b.time; });
    return found;
}

void setCurveKeys(Node& curve, std::vector<Key> keys) {
    std::map<double, double> byTime;
    for (const auto& key : keys) byTime[key.time] = key.value;
    const MPlug array = keysPlug(curve);
    curve.forgetTree(keyOf(array));
    unsigned int index = 0;
    for (const auto& [time, value] : byTime) {
        const MPlug element = elementPlug(array, index++);
        for (const auto& [position, number] : {std::pair{0u, time}, std::pair{1u, value}}) {
            const MPlug child = childPlug(element, position);
            writeValue(child, number);
            setPlugClean(child);
        }
    }
    propagateDirty(array, false);
}

double valueAt(const std::vector<Key>& keys, double seconds) {
    if (keys.empty()) return 0.0;
    if (seconds <= keys.front().time) return keys.front().value;
    if (seconds >= keys.back().time) return keys.back().value;
    const auto next = std::upper_bound(keys.begin(), keys.end(), seconds,
                                       [](double t, const Key& key) { return t < key.time; });
    const auto& before = *(next - 1);
    if (seconds == before.time) return before.value;
    // In Maya's whole ticks, so that a frame halfway between keys at 0 and 10 reads 5, not
    // 5.000000000000001: seconds carry the rounding of a frame's division by its rate.
    const auto ticks = [](double s) { return std::round(s * kTicksPerSecond); };
    const double from = ticks(seconds) - ticks(before.time);
    const double to = ticks(next->time) - ticks(seconds);
    if (from + to <= 0.0) return before.value;
    return (before.value * to + next->value * from) / (from + to);
}

}  // namespace headless::detail
