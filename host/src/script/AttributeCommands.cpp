// Built-in commands on attribute values: setAttr, getAttr, listAttr (-userDefined, -keyable).

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <functional>

#include <maya/MFnUnitAttribute.h>

#include "core/Evaluation.h"
#include "core/Plugs.h"
#include "core/Scene.h"
#include "evaluation/TimedEvaluation.h"
#include "script/Arguments.h"
#include "script/Interpreter.h"
#include "script/PlugNames.h"
#include "script/ValueText.h"

namespace headless::detail {

namespace {

bool parseNumber(const std::string& text, double& number) {
    std::string lower;
    for (const char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "true" || lower == "on" || lower == "yes") return number = 1.0, true;
    if (lower == "false" || lower == "off" || lower == "no") return number = 0.0, true;
    if (text.empty()) return false;
    char* end = nullptr;
    number = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && std::isfinite(number);
}

// Numeric leaves under a plug, in order: the plug itself or its children.
std::vector<MPlug> numericLeaves(const MPlug& plug) {
    const auto& attribute = attributeOf(plug);
    if (attribute->isNumber()) return {plug};
    std::vector<MPlug> leaves;
    if (attribute->kind != AttributeKind::Compound || isArrayPlug(plug)) return leaves;
    for (unsigned int i = 0; i < attribute->children.size(); ++i) {
        const MPlug child = childPlug(plug, i);
        if (!attributeOf(child)->isNumber() || attributeOf(child)->array) return {};
        leaves.push_back(child);
    }
    return leaves;
}

MStatus setAttr(const std::vector<Word>& args, ResultValue&, std::string* error) {
    Arguments a;
    if (!a.parse(args, {"type|type"}, {"k|keyable", "l|lock", "cb|channelBox"}, error))
        return MStatus::kInvalidParameter;
    const auto& words = a.positional();
    if (words.size() < 2) {
        *error = "setAttr: give a plug and its value.";
        return MStatus::kInvalidParameter;
    }
    const MPlug plug = resolvePlug(words[0], error);
    if (plug.isNull()) return MStatus::kInvalidParameter;
    const auto& attribute = attributeOf(plug);
    const std::string name = plugPath(plug, true, true, true);
    if (!attribute->writable) {
        *error = "setAttr: The attribute '" + name + "' is not writable.";
        return MStatus::kFailure;
    }
    const std::vector<std::string> values(words.begin() + 1, words.end());
    const std::string type = a.value("type");
    if (attribute->kind == AttributeKind::Typed) {
        if (attribute->dataType == MFnData::kString && type == "string" && values.size() == 1) {
            return setPlugValue(plug, values[0], error);
        }
        if (attribute->dataType == MFnData::kStringArray && type == "stringArray") {
            double count = 0;
            if (parseNumber(values[0], count) && count >= 0 &&
                static_cast<std::size_t>(count) == values.size() - 1) {
                return setPlugValue(
                    plug, std::vector<std::string>(values.begin() + 1, values.end()), error);
            }
        }
        *error = "setAttr: '" + name + "' takes -type " +
                 (attribute->dataType == MFnData::kStringArray ? "stringArray COUNT TEXT..."
                                                               : "string TEXT") +
                 ".";
        return MStatus::kInvalidParameter;
    }
    if (type == "string" || type == "stringArray") {
        *error = "setAttr: '" + name + "' does not hold a " + type + ".";
        return MStatus::kInvalidParameter;
    }
    const auto leaves = numericLeaves(plug);
    if (leaves.empty() || leaves.size() != values.size()) {
        *error =
            "setAttr: '" + name + "' takes " + std::to_string(leaves.size()) + " numeric value(s).";
        return MStatus::kInvalidParameter;
    }
    std::vector<double> numbers(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!parseNumber(values[i], numbers[i])) {
            *error = "setAttr: '" + values[i] + "' is not a number.";
            return MStatus::kInvalidParameter;
        }
    }
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        const double internal = toInternalUnits(*attributeOf(leaves[i]), numbers[i]);
        if (const MStatus status = setPlugValue(leaves[i], internal, error); !status) return status;
    }
    return MStatus::kSuccess;
}

MStatus getAttr(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {"t|time"}, {"s|size"}, error)) return MStatus::kInvalidParameter;
    if (a.positional().size() != 1) {
        *error = "getAttr: give one plug.";
        return MStatus::kInvalidParameter;
    }
    const MPlug plug = resolvePlug(a.positional()[0], error);
    if (plug.isNull()) return MStatus::kInvalidParameter;
    if (a.has("s")) {
        result.setInt(static_cast<int>(isArrayPlug(plug) ? existingElements(plug).size() : 1));
        return MStatus::kSuccess;
    }
    if (!attributeOf(plug)->readable) {
        *error =
            "getAttr: The attribute '" + plugPath(plug, true, true, true) + "' is not readable.";
        return MStatus::kFailure;
    }
    if (a.has("t")) {
        double value = 0.0;
        if (!parseNumber(a.value("t"), value)) {
            *error = "getAttr: -time takes a number in the current time unit.";
            return MStatus::kInvalidParameter;
        }
        // One timed evaluation for every leaf of the plug.
        const MTime when(value, MTime::uiUnit());
        const TimedEvaluation timed(when);
        plugValueResult(plug, result, MDGContext(when));
        return MStatus::kSuccess;
    }
    plugValueResult(plug, result);
    return MStatus::kSuccess;
}

MStatus listAttr(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {}, {"ud|userDefined", "k|keyable"}, error))
        return MStatus::kInvalidParameter;
    if (a.positional().size() != 1) {
        *error = "listAttr: give one node.";
        return MStatus::kInvalidParameter;
    }
    const auto node = Scene::instance().findNode(a.positional()[0]);
    if (!node) {
        *error = "No object matches name: " + a.positional()[0];
        return MStatus::kInvalidParameter;
    }
    std::vector<std::string> names;
    const bool keyableOnly = a.has("k");
    std::function<void(const Attribute&)> visit = [&](const Attribute& attribute) {
        if (!keyableOnly || attribute.keyable) names.push_back(attribute.longName);
        for (const auto& child : attribute.children) visit(*child);
    };
    for (const auto& root : a.has("ud") ? node->dynamicAttributes : node->rootAttributes())
        visit(*root);
    // As Maya: no attribute gives no result (None in Python), not an empty list.
    if (!names.empty()) result.setStrings(names);
    return MStatus::kSuccess;
}

}  // namespace

void registerAttributeCommands() {
    registerBuiltin("setAttr", setAttr);
    registerBuiltin("getAttr", getAttr);
    registerBuiltin("listAttr", listAttr);
}

}  // namespace headless::detail
