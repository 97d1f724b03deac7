#include "scene/SceneLoader.h"

#include <algorithm>
#include <map>

#include <maya/MGlobal.h>

#include "core/Evaluation.h"
#include "core/Plugs.h"
#include "core/Registry.h"
#include "core/Scene.h"
#include "math/UnitNames.h"
#include "scene/AttributeText.h"
#include "scene/PlugPathText.h"
#include "scene/SceneText.h"
#include "time/SceneTime.h"

namespace headless::detail {

namespace {

bool alreadyConnected(const MPlug& source, const MPlug& destination) {
    for (const auto& c : Scene::instance().connections()) {
        if (nodeOf(c.source) == nodeOf(source) && keyOf(c.source) == keyOf(source) &&
            nodeOf(c.destination) == nodeOf(destination) &&
            keyOf(c.destination) == keyOf(destination)) {
            return true;
        }
    }
    return false;
}

// A postConstructor may have added an attribute of the same name already; it is reused when
// it is of the same kind.
bool reusable(const Attribute& existing, const Attribute& wanted) {
    return existing.dynamic && existing.kind == wanted.kind && existing.array == wanted.array;
}

}  // namespace

SceneLoader::SceneLoader(const SceneDocument& document, std::string fileName)
    : document_(document), fileName_(std::move(fileName)) {}

bool SceneLoader::check(std::string* error) const {
    const std::string file = "\"" + fileName_ + "\"";
    for (const auto& node : document_.nodes) {
        const auto type = Registry::instance().findType(MTypeId(node.typeId));
        if (!type) {
            *error = file + " names node type id " + formatTypeId(node.typeId) + " (\"" +
                     node.typeName + "\" of node '" + node.name +
                     "'), which no loaded plug-in provides; the scene was not opened.";
            return false;
        }
        if (node.isDefault) {
            const auto existing = Scene::instance().findNode(node.name);
            if (!existing || !existing->isDefault || existing->type != type) {
                *error = file + " names a default node '" + node.name +
                         "' that this scene does not have.";
                return false;
            }
        } else if (!isValidNodeName(node.name)) {
            *error = file + " names a node \"" + node.name + "\", which is not a valid node name.";
            return false;
        }
    }
    for (const auto& c : document_.connections) {
        for (const auto* name : {&c.sourceNode, &c.destinationNode}) {
            const bool known =
                std::any_of(document_.nodes.begin(), document_.nodes.end(),
                            [&](const NodeRecord& node) { return node.name == *name; });
            if (!known) {
                *error = file + " connects node '" + *name + "', which it does not contain.";
                return false;
            }
        }
    }
    return true;
}

// The units the scene was saved in, as Maya's files restore them; a file without them keeps the
// session's.
void SceneLoader::applyUnits() {
    if (document_.timeUnit.empty()) return;
    MTime::Unit time = MTime::uiUnit();
    MDistance::Unit linear = MDistance::uiUnit();
    MAngle::Unit angle = MAngle::uiUnit();
    if (!timeUnitFromName(document_.timeUnit, time) ||
        !distanceUnitFromName(document_.linearUnit, linear) ||
        !angleUnitFromName(document_.angleUnit, angle)) {
        warn("the units \"" + document_.timeUnit + " " + document_.linearUnit + " " +
             document_.angleUnit + "\" are not known; the current units stay");
        return;
    }
    MDistance::setUIUnit(linear);
    MAngle::setUIUnit(angle);
    setCurrentTimeUnit(time);
}

void SceneLoader::warn(const std::string& message) {
    ++warnings_;
    MGlobal::displayWarning(MString(("file: \"" + fileName_ + "\": " + message).c_str()));
}

int SceneLoader::build() {
    Scene& scene = Scene::instance();
    scene.reset();
    applyUnits();
    // Nodes by their names in the file; a name may change to stay unique.
    std::map<std::string, std::shared_ptr<Node>> nodes;
    for (const auto& record : document_.nodes) {
        std::shared_ptr<Node> node;
        std::string error;
        if (record.isDefault) {
            node = scene.findNode(record.name);
            if (!node) {
                warn("the default node '" + record.name + "' is missing");
                continue;
            }
        } else {
            const auto type = Registry::instance().findType(MTypeId(record.typeId));
            if (!scene.createNode(type->name, record.name, &node, &error)) {
                warn("node '" + record.name + "' was not created: " + error);
                continue;
            }
        }
        nodes[record.name] = node;
        const std::string where = "node '" + record.name + "': ";

        for (const auto& attribute : record.dynamicAttributes) {
            const auto existing = node->findAttribute(attribute->longName);
            if (existing && reusable(*existing, *attribute)) continue;
            if (!scene.addDynamicAttribute(*node, attribute, &error)) warn(where + error);
        }
        const auto roots = node->rootAttributes();
        for (const auto& path : record.elements) {
            ResolvedPath resolved;
            if (!resolvePlugPath(roots, path, resolved, &error)) {
                warn(where + error);
            } else if (!resolved.attribute->array ||
                       resolved.indices.size() != resolved.attribute->arrayDepth()) {
                warn(where + "'" + path + "' is not an array element");
            } else {
                ensureElementsExist(makePlug(node, resolved.attribute, resolved.indices));
            }
        }
        for (const auto& value : record.values) {
            ResolvedPath resolved;
            if (!resolvePlugPath(roots, value.path, resolved, &error)) {
                warn(where + error);
                continue;
            }
            const MPlug plug = makePlug(node, resolved.attribute, resolved.indices);
            if (isArrayPlug(plug) || !valueSuits(*resolved.attribute, value.value)) {
                warn(where + "the value of '" + value.path + "' does not suit its attribute");
            } else if (!setPlugValue(plug, value.value, &error)) {
                warn(where + error);
            }
        }
        for (const auto& [alias, path] : record.aliases) {
            ResolvedPath resolved;
            if (!isValidAttributeName(alias) || node->findAttribute(alias)) {
                warn(where + "the alias '" + alias + "' is not a name the node can take");
            } else if (!resolvePlugPath(roots, path, resolved, &error)) {
                warn(where + "the alias '" + alias + "': " + error);
            } else {
                // One alias an attribute, as aliasAttr keeps it.
                for (auto at = node->aliases.begin(); at != node->aliases.end();) {
                    at = at->second == path ? node->aliases.erase(at) : std::next(at);
                }
                node->aliases[alias] = path;
            }
        }
    }
    for (const auto& c : document_.connections) {
        const auto source = nodes.find(c.sourceNode);
        const auto destination = nodes.find(c.destinationNode);
        if (source == nodes.end() || destination == nodes.end())
            continue;  // the node was not created
        ResolvedPath from, to;
        std::string error;
        if (!resolvePlugPath(source->second->rootAttributes(), c.sourcePath, from, &error) ||
            !resolvePlugPath(destination->second->rootAttributes(), c.destinationPath, to,
                             &error)) {
            warn("connection '" + c.sourceNode + "." + c.sourcePath + "' -> '" + c.destinationNode +
                 "." + c.destinationPath + "': " + error);
            continue;
        }
        const MPlug sourcePlug = makePlug(source->second, from.attribute, from.indices);
        const MPlug destinationPlug = makePlug(destination->second, to.attribute, to.indices);
        if (alreadyConnected(sourcePlug, destinationPlug)) continue;
        if (!scene.connect(sourcePlug, destinationPlug, false, false, &error, false)) warn(error);
    }
    return warnings_;
}

}  // namespace headless::detail
