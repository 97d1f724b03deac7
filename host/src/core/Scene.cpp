#include "core/Scene.h"

#include <algorithm>
#include <cctype>

#include <maya/MNodeMessage.h>
#include <maya/MPxObjectSet.h>

#include "builtin/UnitConversion.h"
#include "core/Evaluation.h"
#include "core/NodeCallbacks.h"
#include "core/Plugs.h"
#include "core/Registry.h"
#include "threaded/DeviceWorkers.h"

namespace headless::detail {

namespace {

std::string describe(const MPlug& plug) {
    return plugPath(plug, true, true, true);
}

bool compatible(const Attribute& source, const Attribute& destination) {
    if (source.kind == AttributeKind::Message || destination.kind == AttributeKind::Message) {
        return source.kind == destination.kind;
    }
    if (source.kind == AttributeKind::Compound || destination.kind == AttributeKind::Compound) {
        return source.kind == destination.kind &&
               source.children.size() == destination.children.size();
    }
    if (source.kind == AttributeKind::Typed || destination.kind == AttributeKind::Typed) {
        return source.kind == destination.kind && source.dataType == destination.dataType;
    }
    return true;
}

// Asks the node whether it accepts the connection; a node that does not answer accepts it.
bool nodeAccepts(const MPlug& plug, const MPlug& other, bool asSource) {
    Node* node = liveNode(plug);
    if (!node || !node->user) return true;
    bool legal = true;
    const MStatus status = node->user->legalConnection(plug, other, asSource, legal);
    return status != MStatus::kSuccess || legal;
}

bool isMemberArray(const Attribute& attribute) {
    return &attribute == hostCast<Attribute>(MPxObjectSet::dagSetMembers).get() ||
           &attribute == hostCast<Attribute>(MPxObjectSet::DNSetMembers).get();
}

}  // namespace

bool isValidNodeName(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    });
}

Scene& Scene::instance() {
    static Scene scene;
    return scene;
}

Scene::Scene() {
    addNodeTeardownHook(&stopDeviceWorker);
    reset();
}

std::shared_ptr<Node> Scene::findNode(const std::string& name) const {
    for (const auto& node : nodes_) {
        if (node->name == name) return node;
    }
    return nullptr;
}

std::string Scene::uniqueName(const std::string& requested, const std::string& typeName) const {
    std::string base = requested;
    if (base.empty()) {
        base = typeName;
        base[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(base[0])));
    } else if (!findNode(base)) {
        return base;
    }
    while (!base.empty() && std::isdigit(static_cast<unsigned char>(base.back()))) base.pop_back();
    for (unsigned long n = 1;; ++n) {
        const std::string candidate = base + std::to_string(n);
        if (!findNode(candidate)) return candidate;
    }
}

MStatus Scene::createNode(const std::string& typeName, const std::string& requestedName,
                          std::shared_ptr<Node>* created, std::string* error) {
    const auto type = Registry::instance().findType(typeName);
    if (!type) {
        *error = "Unknown object type: " + typeName;
        return MStatus::kInvalidParameter;
    }
    if (!requestedName.empty() && !isValidNodeName(requestedName)) {
        *error = "Invalid node name: \"" + requestedName + "\"";
        return MStatus::kInvalidParameter;
    }
    auto node = std::make_shared<Node>(type, uniqueName(requestedName, type->name));
    void* made = type->creator ? type->creator() : nullptr;
    if (!made) {
        *error = "The creator of node type \"" + typeName + "\" made no node.";
        return MStatus::kFailure;
    }
    node->attach(static_cast<MPxNode*>(made));
    nodes_.push_back(node);
    node->user->postConstructor();
    invalidateEvaluationGraph();
    if (created) *created = node;
    return MStatus::kSuccess;
}

void Scene::teardown(Node& node) {
    for (const auto& hook : teardownHooks_) hook(node);
}

MStatus Scene::deleteNode(const std::shared_ptr<Node>& node, std::string* error) {
    if (!node || !node->alive) {
        *error = "The node does not exist.";
        return MStatus::kInvalidParameter;
    }
    if (node->isDefault) {
        *error = "Cannot delete the default node '" + node->name + "'.";
        return MStatus::kFailure;
    }
    // Object sets connected to this node, each with the direction of the connection, to be
    // asked once the node is gone.
    struct Neighbour {
        std::shared_ptr<Node> set;
        bool isSrcNode;
    };
    std::vector<Neighbour> sets;
    for (const auto& c : connections_) {
        const auto& source = nodeOf(c.source);
        const auto& target = nodeOf(c.destination);
        if (source == node && target != node && target->type->kind == MPxNode::kObjectSet) {
            sets.push_back(Neighbour{target, false});
        } else if (target == node && source != node && source->type->kind == MPxNode::kObjectSet) {
            sets.push_back(Neighbour{source, true});
        }
    }
    const auto keep = node;
    runPreRemovalCallbacks(*node);
    teardown(*node);
    dying_.insert(node.get());
    // Connection callbacks may edit the graph, so look for the next connection each time.
    while (true) {
        const auto at =
            std::find_if(connections_.begin(), connections_.end(), [&](const Connection& c) {
                return nodeOf(c.source) == node || nodeOf(c.destination) == node;
            });
        if (at == connections_.end()) break;
        const Connection connection = *at;
        std::string ignored;
        disconnect(connection.source, connection.destination, &ignored);
    }
    dying_.erase(node.get());
    nodes_.erase(std::remove(nodes_.begin(), nodes_.end(), node), nodes_.end());
    // Out of the graph: no plug of it can be reached any more, but the plug-in's object waits
    // on the undo queue.
    node->alive = false;
    node->plugs.clear();
    node->elements.clear();
    undoQueue_.push_back(node);
    invalidateEvaluationGraph();

    for (const auto& [set, isSrcNode] : sets) {
        if (!set->alive) continue;
        auto* objectSet = static_cast<MPxObjectSet*>(set->user.get());
        const bool allows = objectSet && objectSet->canBeDeleted(isSrcNode);
        if (allows && set->alive && !setHasMembers(*set)) deleteNode(set, error);
    }
    return MStatus::kSuccess;
}

void Scene::destroy(Node& node) {
    node.destroyUserNode();
    forgetNodeCallbacks(node);
    node.plugs.clear();
    node.elements.clear();
}

void Scene::flushUndo(const std::string& pluginName) {
    // Newest first, as the undo queue unwinds; a destructor may delete further nodes.
    std::vector<std::shared_ptr<Node>> doomed;
    for (auto at = undoQueue_.rbegin(); at != undoQueue_.rend(); ++at) {
        if (pluginName.empty() || (*at)->type->pluginName == pluginName) doomed.push_back(*at);
    }
    undoQueue_.erase(std::remove_if(undoQueue_.begin(), undoQueue_.end(),
                                    [&](const auto& n) {
                                        return std::find(doomed.begin(), doomed.end(), n) !=
                                               doomed.end();
                                    }),
                     undoQueue_.end());
    for (const auto& node : doomed) destroy(*node);
}

bool Scene::setHasMembers(Node& set) const {
    return std::any_of(connections_.begin(), connections_.end(), [&](const Connection& c) {
        return nodeOf(c.destination).get() == &set && isMemberArray(*attributeOf(c.destination));
    });
}

MStatus Scene::renameNode(Node& node, const std::string& requestedName, std::string* error) {
    if (!isValidNodeName(requestedName)) {
        *error = "Invalid node name: \"" + requestedName + "\"";
        return MStatus::kInvalidParameter;
    }
    if (node.isDefault) {
        *error = "Cannot rename the default node '" + node.name + "'.";
        return MStatus::kFailure;
    }
    if (node.name == requestedName) return MStatus::kSuccess;
    node.name = uniqueName(requestedName, node.type->name);
    return MStatus::kSuccess;
}

void Scene::reset() {
    flushUndo();
    for (auto at = nodes_.rbegin(); at != nodes_.rend(); ++at) {
        runPreRemovalCallbacks(**at);
        teardown(**at);
    }
    // No connection callbacks on the way out: every node goes at once.
    connections_.clear();
    const auto doomed = std::move(nodes_);
    nodes_.clear();
    for (auto at = doomed.rbegin(); at != doomed.rend(); ++at) destroy(**at);
    flushUndo();  // what destructors deleted meanwhile
    invalidateEvaluationGraph();
    std::shared_ptr<Node> time;
    std::string ignored;
    if (createNode("time", "time1", &time, &ignored)) time->isDefault = true;
}

MStatus Scene::connect(const MPlug& sourceIn, const MPlug& destinationIn, bool force,
                       bool nextAvailable, std::string* error, bool askNodes) {
    if (!isValidPlug(sourceIn) || !isValidPlug(destinationIn)) {
        *error = "Connection not made: a plug does not exist.";
        return MStatus::kInvalidParameter;
    }
    MPlug source = sourceIn;
    MPlug destination = destinationIn;
    if (isArrayPlug(destination) && !isArrayPlug(source)) {
        if (attributeOf(destination)->indexMatters && !nextAvailable) {
            *error = "Connection not made: '" + describe(destination) +
                     "' is an array; name an element.";
            return MStatus::kInvalidParameter;
        }
        const auto used = existingElements(destination);
        destination = elementPlug(destination, used.empty() ? 0u : used.back() + 1);
    }
    if (isArrayPlug(source) != isArrayPlug(destination)) {
        *error = "Connection not made: '" + describe(source) + "' and '" + describe(destination) +
                 "' do not match as arrays.";
        return MStatus::kInvalidParameter;
    }
    const Attribute& from = *attributeOf(source);
    const Attribute& to = *attributeOf(destination);
    const std::string names = "'" + describe(source) + "' -> '" + describe(destination) + "'";
    if (!from.readable) {
        *error = "Connection not made: " + names + ". Source is not readable.";
        return MStatus::kFailure;
    }
    if (!to.writable) {
        *error = "Connection not made: " + names + ". Destination attribute must be writable.";
        return MStatus::kFailure;
    }
    if (!from.connectable || !to.connectable) {
        *error = "Connection not made: " + names + ". An attribute is not connectable.";
        return MStatus::kFailure;
    }
    if (!compatible(from, to)) {
        *error = "Connection not made: " + names +
                 ". Data types of source and destination are not compatible.";
        return MStatus::kFailure;
    }
    if (keyOf(source) == keyOf(destination) && nodeOf(source) == nodeOf(destination)) {
        *error = "Connection not made: " + names + ". A plug cannot drive itself.";
        return MStatus::kFailure;
    }
    for (const auto& c : connections_) {
        if (!(keyOf(c.destination) == keyOf(destination)) ||
            nodeOf(c.destination) != nodeOf(destination)) {
            continue;
        }
        if (keyOf(c.source) == keyOf(source) && nodeOf(c.source) == nodeOf(source)) {
            *error = "'" + describe(source) + "' is already connected to '" +
                     describe(destination) + "'.";
            return MStatus::kFailure;
        }
        if (!force) {
            *error = "Connection not made: " + names +
                     ". The destination is already connected from '" + describe(c.source) + "'.";
            return MStatus::kFailure;
        }
        const Connection old = c;
        if (const MStatus broken = disconnect(old.source, old.destination, error); !broken)
            return broken;
        break;
    }
    if (askNodes &&
        (!nodeAccepts(destination, source, false) || !nodeAccepts(source, destination, true))) {
        *error = "Connection not made: " + names + ". The connection was refused by the node.";
        return MStatus::kFailure;
    }
    if (askNodes && childrenNeedUnitConversion(from, to))
        return connectChildren(source, destination, force, names, error);
    double factor = 1.0;
    if (askNodes && !isUnitConversion(*nodeOf(source)) && !isUnitConversion(*nodeOf(destination)) &&
        needsUnitConversion(from, to, factor)) {
        return connectThroughConversion(source, destination, factor, error);
    }
    link(source, destination);
    return MStatus::kSuccess;
}

// A compound connection whose children differ in units, made child by child. Checked first, so
// that a refused connection leaves nothing connected.
MStatus Scene::connectChildren(const MPlug& source, const MPlug& destination, bool force,
                               const std::string& names, std::string* error) {
    const std::size_t count = attributeOf(destination)->children.size();
    if (!force) {
        for (std::size_t i = 0; i < count; ++i) {
            const MPlug child = childPlug(destination, static_cast<unsigned int>(i));
            if (!sourceOf(child).isNull() || !sourceOf(destination).isNull()) {
                *error =
                    "Connection not made: " + names + ". The destination is already connected.";
                return MStatus::kFailure;
            }
        }
    }
    if (const MPlug old = sourceOf(destination); !old.isNull()) {
        if (const MStatus broken = disconnect(old, destination, error); !broken) return broken;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const auto index = static_cast<unsigned int>(i);
        if (const MStatus made = connect(childPlug(source, index), childPlug(destination, index),
                                         force, false, error, true);
            !made) {
            return made;
        }
    }
    return MStatus::kSuccess;
}

void Scene::link(const MPlug& source, const MPlug& destination) {
    ensureElementsExist(source);
    ensureElementsExist(destination);
    connections_.push_back(Connection{source, destination});
    invalidateEvaluationGraph();
    if (Node* node = liveNode(source); node && node->user)
        node->user->connectionMade(source, destination, true);
    if (Node* node = liveNode(destination); node && node->user) {
        node->user->connectionMade(destination, source, false);
    }
    propagateDirty(destination, true);
    postAttributeChanged(MNodeMessage::kConnectionMade, source, destination);
    postAttributeChanged(MNodeMessage::kConnectionMade | MNodeMessage::kIncomingDirection,
                         destination, source);
}

MStatus Scene::connectThroughConversion(const MPlug& source, const MPlug& destination,
                                        double factor, std::string* error) {
    std::shared_ptr<Node> conversion;
    if (const MStatus made = createNode("unitConversion", "", &conversion, error); !made)
        return made;
    const auto plugOf = [&conversion](const char* name) {
        return makePlug(conversion, conversion->findAttribute(name), {});
    };
    writeValue(plugOf("conversionFactor"), factor);
    setPlugClean(plugOf("conversionFactor"));
    link(source, plugOf("input"));
    link(plugOf("output"), destination);
    return MStatus::kSuccess;
}

// The conversion node between two plugs, if they are connected through one.
std::shared_ptr<Node> Scene::conversionBetween(const MPlug& source,
                                               const MPlug& destination) const {
    for (const auto& in : connections_) {
        const auto& node = nodeOf(in.destination);
        if (!(in.source == source) || !node || !node->alive || !isUnitConversion(*node)) continue;
        for (const auto& out : connections_) {
            if (nodeOf(out.source) == node && out.destination == destination) return node;
        }
    }
    return nullptr;
}

void Scene::dropConversionIfUnused(const std::shared_ptr<Node>& node) {
    if (!node || !node->alive || !isUnitConversion(*node) || dying_.count(node.get())) return;
    const bool fed =
        std::any_of(connections_.begin(), connections_.end(),
                    [&](const Connection& c) { return nodeOf(c.destination) == node; });
    const bool feeding = std::any_of(connections_.begin(), connections_.end(),
                                     [&](const Connection& c) { return nodeOf(c.source) == node; });
    std::string ignored;
    if (!fed || !feeding) deleteNode(node, &ignored);
}

MStatus Scene::disconnect(const MPlug& source, const MPlug& destination, std::string* error) {
    const auto at =
        std::find_if(connections_.begin(), connections_.end(), [&](const Connection& c) {
            return nodeOf(c.source) == nodeOf(source) && keyOf(c.source) == keyOf(source) &&
                   nodeOf(c.destination) == nodeOf(destination) &&
                   keyOf(c.destination) == keyOf(destination);
        });
    if (at == connections_.end()) {
        // Plugs of different units are connected through a conversion node, which goes with it.
        if (const auto conversion = conversionBetween(source, destination))
            return deleteNode(conversion, error);
        // A compound connection made child by child (children of different units).
        const Attribute* from = attributeOf(source).get();
        const Attribute* to = attributeOf(destination).get();
        if (from && to && childrenNeedUnitConversion(*from, *to) &&
            !sourceOf(childPlug(destination, 0)).isNull()) {
            for (unsigned int i = 0; i < to->children.size(); ++i) {
                const MStatus broken =
                    disconnect(childPlug(source, i), childPlug(destination, i), error);
                if (!broken) return broken;
            }
            return MStatus::kSuccess;
        }
        *error = "'" + describe(source) + "' is not connected to '" + describe(destination) + "'.";
        return MStatus::kFailure;
    }
    const Connection gone = *at;
    removeConnectionAt(static_cast<std::size_t>(at - connections_.begin()));
    invalidateEvaluationGraph();
    // The destination keeps the value it last had.
    setPlugClean(gone.destination);
    const bool removedFirst = brokenAfterRemoval_ && deleteElementIfUnused(gone.destination);
    if (Node* node = liveNode(gone.destination); node && node->user) {
        node->user->connectionBroken(gone.destination, gone.source, false);
    }
    if (Node* node = liveNode(gone.source); node && node->user) {
        node->user->connectionBroken(gone.source, gone.destination, true);
    }
    // A removal that came first dirtied the array already.
    if (!removedFirst) propagateDirty(gone.destination, false);
    postAttributeChanged(MNodeMessage::kConnectionBroken, gone.source, gone.destination);
    postAttributeChanged(MNodeMessage::kConnectionBroken | MNodeMessage::kIncomingDirection,
                         gone.destination, gone.source);
    if (!brokenAfterRemoval_) deleteElementIfUnused(gone.destination);
    // A conversion node lives for its one connection.
    dropConversionIfUnused(nodeOf(gone.source));
    dropConversionIfUnused(nodeOf(gone.destination));
    return MStatus::kSuccess;
}

void Scene::removeConnectionAt(std::size_t index) {
    connections_.erase(connections_.begin() + static_cast<long>(index));
}

// An element whose attribute deletes on disconnect goes once nothing is connected to it.
bool Scene::deleteElementIfUnused(const MPlug& destination) {
    Node* node = liveNode(destination);
    if (!node) return false;
    for (MPlug element = destination; !element.isNull(); element = parentPlug(element)) {
        if (!isElementPlug(element)) continue;
        if (attributeOf(element)->disconnectBehavior != MFnAttribute::kDelete) return false;
        if (!connectionsWithin(element, true, true).empty()) return false;
        const MPlug array = arrayPlug(element);
        node->elementsOf(keyOf(array)).erase(indicesOf(element).back());
        node->forgetTree(keyOf(element));
        propagateDirty(array, true);
        return true;
    }
    return false;
}

std::vector<Connection> Scene::connectionsWithin(const MPlug& plug, bool asDestination,
                                                 bool asSource) const {
    std::vector<Connection> found;
    for (const auto& c : connections_) {
        if ((asDestination && plugWithin(c.destination, plug)) ||
            (asSource && plugWithin(c.source, plug))) {
            found.push_back(c);
        }
    }
    return found;
}

MStatus Scene::addDynamicAttribute(Node& node, const std::shared_ptr<Attribute>& attribute,
                                   std::string* error) {
    if (!attribute || attribute->parentAttribute() || attribute->inUse) {
        *error = "The attribute cannot be added: it is a child or already belongs to a node.";
        return MStatus::kInvalidParameter;
    }
    std::vector<std::shared_ptr<Attribute>> tree;
    std::function<void(const std::shared_ptr<Attribute>&)> collect =
        [&](const std::shared_ptr<Attribute>& a) {
            tree.push_back(a);
            for (const auto& child : a->children) collect(child);
        };
    collect(attribute);
    for (const auto& a : tree) {
        if (node.findAttribute(a->longName) || node.findAttribute(a->shortName)) {
            *error =
                "Found an attribute named '" + a->longName + "' on '" + node.name + "' already.";
            return MStatus::kFailure;
        }
    }
    for (const auto& a : tree) {
        a->dynamic = true;
        a->inUse = true;
    }
    node.addDynamicRoot(attribute);
    invalidateEvaluationGraph();
    return MStatus::kSuccess;
}

MStatus Scene::removeDynamicAttribute(Node& node, const std::shared_ptr<Attribute>& attribute,
                                      std::string* error) {
    if (!attribute || !attribute->dynamic || !node.owns(*attribute)) {
        *error = "The attribute is not a dynamic attribute of '" + node.name + "'.";
        return MStatus::kInvalidParameter;
    }
    // Break what is connected to it, then forget its values.
    while (true) {
        const auto at =
            std::find_if(connections_.begin(), connections_.end(), [&](const Connection& c) {
                return (nodeOf(c.source).get() == &node &&
                        attribute->isAncestorOrSelf(*attributeOf(c.source))) ||
                       (nodeOf(c.destination).get() == &node &&
                        attribute->isAncestorOrSelf(*attributeOf(c.destination)));
            });
        if (at == connections_.end()) break;
        const Connection connection = *at;
        disconnect(connection.source, connection.destination, error);
    }
    for (auto at = node.plugs.begin(); at != node.plugs.end();) {
        at = attribute->isAncestorOrSelf(*at->first.attribute) ? node.plugs.erase(at)
                                                               : std::next(at);
    }
    for (auto at = node.elements.begin(); at != node.elements.end();) {
        at = attribute->isAncestorOrSelf(*at->first.attribute) ? node.elements.erase(at)
                                                               : std::next(at);
    }
    if (auto parent = attribute->parentAttribute()) {
        node.forgetDynamicTree(*attribute);
        parent->dropChild(attribute);
    } else {
        node.removeDynamicRoot(attribute);
    }
    attribute->inUse = false;
    invalidateEvaluationGraph();
    return MStatus::kSuccess;
}

}  // namespace headless::detail
