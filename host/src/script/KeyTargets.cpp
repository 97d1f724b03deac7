#include "script/KeyTargets.h"

#include <algorithm>
#include <cctype>

#include <maya/MTime.h>

#include "builtin/AnimCurve.h"
#include "core/Evaluation.h"
#include "core/Plugs.h"
#include "core/Scene.h"
#include "script/PlugNames.h"
#include "script/ScriptNumbers.h"

namespace headless::detail {

namespace {

bool isNumberLeaf(const Attribute& attribute) {
    return attribute.isNumber() && !attribute.array;
}

// The plug itself, or the numeric children of a compound.
bool numericLeaves(const MPlug& plug, std::vector<MPlug>& plugs, std::string* error) {
    const auto& attribute = *attributeOf(plug);
    if (attribute.isNumber() && !isArrayPlug(plug)) {
        plugs.push_back(plug);
        return true;
    }
    if (attribute.kind == AttributeKind::Compound && !isArrayPlug(plug)) {
        for (unsigned int i = 0; i < attribute.children.size(); ++i) {
            if (!isNumberLeaf(*attribute.children[i])) continue;
            plugs.push_back(childPlug(plug, i));
        }
        if (!attribute.children.empty()) return true;
    }
    *error = "'" + plugPath(plug, true, true, true) + "' holds no number to key.";
    return false;
}

void keyableLeaves(const std::shared_ptr<Node>& node, const std::shared_ptr<Attribute>& attribute,
                   std::vector<MPlug>& plugs) {
    if (attribute->array) return;
    if (isNumberLeaf(*attribute) && attribute->keyable)
        plugs.push_back(makePlug(node, attribute, {}));
    for (const auto& child : attribute->children) keyableLeaves(node, child, plugs);
}

void animatedPlugs(const std::shared_ptr<Node>& node, std::vector<MPlug>& plugs) {
    for (const auto& c : Scene::instance().connections()) {
        if (nodeOf(c.destination) == node && nodeOf(c.source) && isAnimCurve(*nodeOf(c.source))) {
            plugs.push_back(c.destination);
        }
    }
}

std::string curveNameFor(const MPlug& plug) {
    std::string name = plugPath(plug, true, true, false);
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name;
}

}  // namespace

bool keyTargets(const std::vector<std::string>& names, const std::vector<std::string>& attributes,
                WholeNode whole, std::vector<MPlug>& plugs, std::string* error) {
    if (names.empty()) {
        *error = "name the objects or attributes to work on.";
        return false;
    }
    for (const auto& name : names) {
        if (name.find('.') != std::string::npos) {
            const MPlug plug = resolvePlug(name, error);
            if (plug.isNull() || !numericLeaves(plug, plugs, error)) return false;
            continue;
        }
        const auto node = Scene::instance().findNode(name);
        if (!node) {
            *error = "No object matches name: " + name;
            return false;
        }
        for (const auto& attribute : attributes) {
            const MPlug plug = resolvePlug(name + "." + attribute, error);
            if (plug.isNull() || !numericLeaves(plug, plugs, error)) return false;
        }
        if (attributes.empty() && whole == WholeNode::Keyable) {
            for (const auto& root : node->rootAttributes()) keyableLeaves(node, root, plugs);
        } else if (attributes.empty()) {
            animatedPlugs(node, plugs);
        }
    }
    return true;
}

std::shared_ptr<Node> drivingCurve(const MPlug& plug) {
    for (const auto& c : Scene::instance().connections()) {
        if (c.destination == plug && nodeOf(c.source) && isAnimCurve(*nodeOf(c.source)))
            return nodeOf(c.source);
    }
    return nullptr;
}

bool targetCurves(const std::vector<std::string>& names, const std::vector<std::string>& attributes,
                  std::vector<std::shared_ptr<Node>>& curves, std::string* error) {
    for (const auto& name : names) {
        const auto node = Scene::instance().findNode(name);
        if (node && isAnimCurve(*node)) {
            if (std::find(curves.begin(), curves.end(), node) == curves.end())
                curves.push_back(node);
            continue;
        }
        std::vector<MPlug> plugs;
        if (!keyTargets({name}, attributes, WholeNode::Animated, plugs, error)) return false;
        for (const auto& plug : plugs) {
            auto curve = drivingCurve(plug);
            if (curve && std::find(curves.begin(), curves.end(), curve) == curves.end())
                curves.push_back(curve);
        }
    }
    return true;
}

bool parseTimeRange(const std::string& text, TimeRange& range) {
    const auto colon = text.find(':');
    const auto seconds = [](const std::string& word, double& out) {
        double frame = 0.0;
        if (!parseFiniteNumber(word, frame)) return false;
        out = MTime(frame, MTime::uiUnit()).as(MTime::kSeconds);
        return true;
    };
    if (colon == std::string::npos) {
        if (!seconds(text, range.from)) return false;
        range.to = range.from;
        return true;
    }
    const std::string first = text.substr(0, colon);
    const std::string second = text.substr(colon + 1);
    if (first.empty() && second.empty()) return true;
    if (!first.empty() && !seconds(first, range.from)) return false;
    if (!second.empty() && !seconds(second, range.to)) return false;
    return range.from <= range.to;
}

std::vector<Word> joinTimePairs(const std::vector<Word>& words) {
    std::vector<Word> joined;
    for (std::size_t i = 0; i < words.size(); ++i) {
        joined.push_back(words[i]);
        const bool timeFlag =
            !words[i].quoted && (words[i].text == "-t" || words[i].text == "-time");
        double ignored = 0.0;
        if (timeFlag && i + 2 < words.size() && parseFiniteNumber(words[i + 1].text, ignored) &&
            parseFiniteNumber(words[i + 2].text, ignored)) {
            joined.push_back(Word{words[i + 1].text + ":" + words[i + 2].text, true});
            i += 2;
        }
    }
    return joined;
}

bool parseSwitchValue(const std::string& text, bool& value) {
    std::string lower;
    for (const char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "1" || lower == "true" || lower == "on" || lower == "yes")
        return value = true, true;
    if (lower == "0" || lower == "false" || lower == "off" || lower == "no")
        return value = false, true;
    return false;
}

std::shared_ptr<Node> makeCurveFor(const MPlug& plug, std::string* error) {
    const std::string type = animCurveTypeFor(*attributeOf(plug));
    if (type.empty()) {
        *error = "'" + plugPath(plug, true, true, true) +
                 "' cannot be keyed here: time attributes take no curve.";
        return nullptr;
    }
    std::shared_ptr<Node> curve;
    if (!Scene::instance().createNode(type, curveNameFor(plug), &curve, error)) return nullptr;
    if (!Scene::instance().connect(curveOutput(*curve), plug, false, false, error)) {
        std::string ignored;
        Scene::instance().deleteNode(curve, &ignored);
        return nullptr;
    }
    return curve;
}

}  // namespace headless::detail
