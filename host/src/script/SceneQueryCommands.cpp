// Built-in commands that look the scene over, as tools and windows use them: ls (-type,
// -selection, wildcards), select, listConnections (-source, -destination, -plugs,
// -connections, -skipConversionNodes), attributeQuery and aliasAttr (attributes and array
// elements).

#include <set>
#include <utility>

#include "builtin/UnitConversion.h"
#include "core/Plugs.h"
#include "core/Scene.h"
#include "script/Arguments.h"
#include "script/Interpreter.h"
#include "script/PlugNames.h"
#include "script/Selection.h"

namespace headless::detail {

namespace {

// Main thread only: the active selection, in the order it was made.
std::vector<std::weak_ptr<Node>>& selection() {
    static std::vector<std::weak_ptr<Node>> nodes;
    return nodes;
}

}  // namespace

std::vector<std::shared_ptr<Node>> selectedNodes() {
    std::vector<std::shared_ptr<Node>> nodes;
    for (const auto& weak : selection()) {
        if (auto node = weak.lock(); node && node->alive) nodes.push_back(std::move(node));
    }
    return nodes;
}

namespace {

// Maya's wildcards: '*' any run of characters, '?' one character.
bool matches(const char* pattern, const char* text) {
    if (*pattern == '\0') return *text == '\0';
    if (*pattern == '*')
        return matches(pattern + 1, text) || (*text != '\0' && matches(pattern, text + 1));
    return *text != '\0' && (*pattern == '?' || *pattern == *text) &&
           matches(pattern + 1, text + 1);
}

MStatus noObject(const std::string& name, std::string* error) {
    *error = "No object matches name: " + name;
    return MStatus::kInvalidParameter;
}

MStatus ls(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {"typ|type"}, {"sl|selection", "l|long"}, error))
        return MStatus::kInvalidParameter;
    const auto types = a.values("typ");
    const auto candidates = a.has("sl") ? selectedNodes() : Scene::instance().nodes();
    std::vector<std::string> names;
    for (const auto& node : candidates) {
        if (!types.empty() &&
            std::find(types.begin(), types.end(), node->type->name) == types.end())
            continue;
        bool wanted = a.positional().empty();
        for (const auto& pattern : a.positional())
            wanted = wanted || matches(pattern.c_str(), node->name.c_str());
        if (wanted) names.push_back(node->name);
    }
    result.setStrings(names);  // ls gives an empty list, never no result
    return MStatus::kSuccess;
}

MStatus select(const std::vector<Word>& args, ResultValue&, std::string* error) {
    Arguments a;
    if (!a.parse(args, {},
                 {"r|replace", "add|add", "d|deselect", "tgl|toggle", "cl|clear", "ne|noExpand"},
                 error)) {
        return MStatus::kInvalidParameter;
    }
    std::vector<std::shared_ptr<Node>> named;
    for (const auto& name : a.positional()) {
        auto node = Scene::instance().findNode(name);
        if (!node) return noObject(name, error);
        named.push_back(std::move(node));
    }
    auto nodes = a.has("cl") ? std::vector<std::shared_ptr<Node>>() : selectedNodes();
    if (!a.has("cl") && !a.has("add") && !a.has("d") && !a.has("tgl")) nodes.clear();
    for (const auto& node : named) {
        const auto at = std::find(nodes.begin(), nodes.end(), node);
        if (a.has("d") || (a.has("tgl") && at != nodes.end())) {
            if (at != nodes.end()) nodes.erase(at);
        } else if (at == nodes.end()) {
            nodes.push_back(node);
        }
    }
    selection().assign(nodes.begin(), nodes.end());
    return MStatus::kSuccess;
}

// The plug at the other end of a connection; with skipConversionNodes, a unitConversion node
// there stands for what lies beyond it.
std::vector<MPlug> farEnds(const MPlug& other, bool incoming, bool skipConversions) {
    const Node* node = liveNode(other);
    if (!skipConversions || !node || !isUnitConversion(*node)) return {other};
    std::vector<MPlug> ends;
    for (const auto& c : Scene::instance().connections()) {
        if (incoming && liveNode(c.destination) == node) ends.push_back(c.source);
        if (!incoming && liveNode(c.source) == node) ends.push_back(c.destination);
    }
    return ends;
}

MStatus listConnections(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(
            args,
            {"s|source", "d|destination", "p|plugs", "c|connections", "scn|skipConversionNodes"},
            {}, error)) {
        return MStatus::kInvalidParameter;
    }
    const auto on = [&a](const char* flag, bool byDefault) {
        return a.has(flag) ? a.value(flag) != "0" && a.value(flag) != "false" : byDefault;
    };
    const bool sources = on("s", true), destinations = on("d", true), plugs = on("p", false),
               pairs = on("c", false), skipConversions = on("scn", false);
    std::vector<std::string> names;
    for (const auto& target : a.positional()) {
        const auto node =
            target.find('.') == std::string::npos ? Scene::instance().findNode(target) : nullptr;
        MPlug within;
        if (!node) {
            within = resolvePlug(target, error);
            if (within.isNull()) return MStatus::kInvalidParameter;
        }
        for (const auto& c : Scene::instance().connections()) {
            const auto belongs = [&](const MPlug& plug) {
                return node ? liveNode(plug) == node.get() : plugWithin(plug, within);
            };
            const bool asDestination = sources && belongs(c.destination);
            const bool asSource = destinations && belongs(c.source);
            for (const bool incoming : {true, false}) {
                if (incoming ? !asDestination : !asSource) continue;
                const MPlug& own = incoming ? c.destination : c.source;
                const MPlug& other = incoming ? c.source : c.destination;
                for (const MPlug& end : farEnds(other, incoming, skipConversions)) {
                    if (pairs) names.push_back(plugPath(own, true, true, false));
                    names.push_back(plugs ? plugPath(end, true, true, false) : liveNode(end)->name);
                }
            }
        }
    }
    // As Maya: nothing connected gives no result (None in Python).
    if (!names.empty()) result.setStrings(names);
    return MStatus::kSuccess;
}

std::string attributeTypeName(const Attribute& attribute) {
    switch (attribute.kind) {
        case AttributeKind::Compound:
            return "compound";
        case AttributeKind::Message:
            return "message";
        case AttributeKind::Typed:
            return "typed";
        case AttributeKind::Unit:
            return attribute.unitType == MFnUnitAttribute::kAngle  ? "doubleAngle"
                   : attribute.unitType == MFnUnitAttribute::kTime ? "time"
                                                                   : "doubleLinear";
        case AttributeKind::Numeric:
            break;
    }
    // The numeric types with a word of their own; the others read as "long".
    using N = MFnNumericData;
    static const std::pair<N::Type, const char*> numericWords[] = {
        {N::kBoolean, "bool"}, {N::kFloat, "float"}, {N::kDouble, "double"},
        {N::kByte, "byte"},    {N::kChar, "byte"},   {N::kShort, "short"}};
    for (const auto& [type, word] : numericWords) {
        if (type == attribute.numericType) return word;
    }
    return "long";
}

MStatus attributeQuery(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {"n|node", "typ|type"},
                 {"ex|exists", "k|keyable", "w|writable", "r|readable", "m|multi",
                  "lc|listChildren", "at|attributeType", "ln|longName", "sn|shortName"},
                 error)) {
        return MStatus::kInvalidParameter;
    }
    if (a.positional().size() != 1 || !a.has("n")) {
        *error = "attributeQuery: give one attribute name and -node.";
        return MStatus::kInvalidParameter;
    }
    const auto node = Scene::instance().findNode(a.value("n"));
    if (!node) return noObject(a.value("n"), error);
    const auto attribute = node->findAttribute(a.positional()[0]);
    if (a.has("ex")) {
        result.setBool(attribute != nullptr);
        return MStatus::kSuccess;
    }
    if (!attribute) {
        *error =
            "attributeQuery: No attribute named " + a.positional()[0] + " on " + node->name + ".";
        return MStatus::kInvalidParameter;
    }
    if (a.has("k")) {
        result.setBool(attribute->keyable);
    } else if (a.has("w")) {
        result.setBool(attribute->writable);
    } else if (a.has("r")) {
        result.setBool(attribute->readable);
    } else if (a.has("m")) {
        result.setBool(attribute->array);
    } else if (a.has("at")) {
        result.setString(attributeTypeName(*attribute));
    } else if (a.has("ln")) {
        result.setStrings({attribute->longName});
    } else if (a.has("sn")) {
        result.setStrings({attribute->shortName});
    } else if (a.has("lc")) {
        std::vector<std::string> names;
        for (const auto& child : attribute->children) names.push_back(child->longName);
        if (!names.empty()) result.setStrings(names);
    } else {
        *error =
            "attributeQuery: ask one of -exists, -keyable, -writable, -readable, -multi, "
            "-listChildren, "
            "-attributeType, -longName, -shortName.";
        return MStatus::kInvalidParameter;
    }
    return MStatus::kSuccess;
}

// aliasAttr ALIAS node.attr [ALIAS node.attr...]; aliasAttr -q node; aliasAttr -rm node.alias.
MStatus aliasAttr(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {}, {"q|query", "rm|remove"}, error)) return MStatus::kInvalidParameter;
    const auto& words = a.positional();
    if (a.has("q")) {
        if (words.size() != 1) {
            *error = "aliasAttr: -query takes one node.";
            return MStatus::kInvalidParameter;
        }
        const auto node = Scene::instance().findNode(words[0]);
        if (!node) return noObject(words[0], error);
        std::vector<std::string> pairs;
        for (const auto& [alias, attribute] : node->aliases) {
            pairs.push_back(alias);
            pairs.push_back(attribute);
        }
        if (!pairs.empty()) result.setStrings(pairs);
        return MStatus::kSuccess;
    }
    const std::string& target = words.empty() ? std::string() : words.back();
    const auto dot = target.find('.');
    const auto node =
        dot == std::string::npos ? nullptr : Scene::instance().findNode(target.substr(0, dot));
    if (!node || (a.has("rm") ? words.size() != 1 : words.size() % 2 != 0)) {
        *error =
            "aliasAttr: give ALIAS node.attribute (pairs of them), -remove node.alias or "
            "-query node.";
        return MStatus::kInvalidParameter;
    }
    if (a.has("rm")) {
        const std::string attributeName = target.substr(dot + 1);
        if (node->aliases.erase(attributeName) == 0) {
            *error = "aliasAttr: '" + attributeName + "' is not an alias on " + node->name + ".";
            return MStatus::kInvalidParameter;
        }
        return MStatus::kSuccess;
    }
    // Every pair is checked before any alias is set: a bad one changes nothing.
    std::vector<std::pair<std::shared_ptr<Node>, std::pair<std::string, std::string>>> pairs;
    for (std::size_t i = 0; i < words.size(); i += 2) {
        const std::string& alias = words[i];
        const std::string& plugName = words[i + 1];
        const auto at = plugName.find('.');
        const auto owner =
            at == std::string::npos ? nullptr : Scene::instance().findNode(plugName.substr(0, at));
        // An attribute, or an element of an array ("weight[2]" of a blendShape).
        std::string ignored;
        const MPlug plug = owner ? resolvePlug(plugName, &ignored) : MPlug();
        if (plug.isNull()) {
            *error = "aliasAttr: No attribute matches " + plugName + ".";
            return MStatus::kInvalidParameter;
        }
        if (!isValidAttributeName(alias)) {
            *error =
                "aliasAttr: '" + alias +
                "' is not a valid alias: use letters, digits and _, not starting with a digit.";
            return MStatus::kInvalidParameter;
        }
        if (owner->findAttribute(alias) && !owner->aliases.count(alias)) {
            *error =
                "aliasAttr: '" + alias + "' is already an attribute name on " + owner->name + ".";
            return MStatus::kInvalidParameter;
        }
        pairs.push_back({owner, {alias, plugPath(plug, true, false, false)}});
    }
    for (const auto& [owner, pair] : pairs) {
        // One alias an attribute: a new one replaces the old.
        for (auto at = owner->aliases.begin(); at != owner->aliases.end();) {
            at = at->second == pair.second ? owner->aliases.erase(at) : std::next(at);
        }
        owner->aliases[pair.first] = pair.second;
    }
    result.setInt(static_cast<int>(pairs.size()));
    return MStatus::kSuccess;
}

}  // namespace

void registerSceneQueryCommands() {
    registerBuiltin("ls", ls);
    registerBuiltin("select", select);
    registerBuiltin("listConnections", listConnections);
    registerBuiltin("attributeQuery", attributeQuery);
    registerBuiltin("aliasAttr", aliasAttr);
}

}  // namespace headless::detail
