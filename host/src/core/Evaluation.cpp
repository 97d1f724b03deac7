#include "core/Evaluation.h"

#include <deque>
#include <set>

#include <maya/MDataBlock.h>
#include <maya/MNodeMessage.h>

#include "core/Plugs.h"
#include "core/Registry.h"
#include "core/Scene.h"
#include "core/ThreadCheck.h"
#include "evaluation/EvaluationManager.h"
#include "evaluation/ParallelEvaluation.h"
#include "evaluation/TimedEvaluation.h"
#include "threaded/DeviceWorkers.h"

namespace headless::detail {

namespace {

Value valueOrDefault(const Value& value, const Attribute& attribute) {
    return std::holds_alternative<std::monostate>(value) ? attribute.defaultValue : value;
}

bool isLeaf(const MPlug& plug) {
    return !isArrayPlug(plug) && attributeOf(plug)->kind != AttributeKind::Compound;
}

// Maps a plug below a connection's destination onto the same place below its source.
MPlug mapBelow(const MPlug& source, const MPlug& destination, const MPlug& plug) {
    const auto below = attributeOf(plug)->path();
    const auto top = attributeOf(destination)->path();
    std::shared_ptr<Attribute> at = attributeOf(source);
    for (std::size_t i = top.size(); i < below.size(); ++i) {
        const unsigned int position = below[i]->childPosition();
        if (position >= at->children.size()) return MPlug();
        at = at->children[position];
    }
    auto indices = indicesOf(source);
    const auto& extra = indicesOf(plug);
    indices.insert(indices.end(), extra.begin() + static_cast<long>(indicesOf(destination).size()),
                   extra.end());
    const MPlug mapped = makePlug(nodeOf(source), at, indices);
    return isValidPlug(mapped) ? mapped : MPlug();
}

// Compute for the plug; a node that does not handle it is asked for its parent or array.
MStatus runCompute(const MPlug& plug, const MDGContext& context) {
    Node* node = liveNode(plug);
    if (!node || !node->user) return MStatus::kUnknownParameter;
    beforeCompute(*node, context);
    if (!node->alive || !node->user) return MStatus::kUnknownParameter;
    MDataBlock block = HostAccess::dataBlock(node, context);
    MPlug current = plug;
    while (true) {
        const MStatus status = node->user->compute(current, block);
        if (status != MStatus::kUnknownParameter || !node->alive) return status;
        const MPlug next = isElementPlug(current) ? arrayPlug(current) : parentPlug(current);
        if (next.isNull() || !isPlugDirty(next)) return status;
        current = next;
    }
}

// Every existing plug of the attribute whose outer indices start with `indices`; an array
// level without elements stands for itself.
template <typename Visit>
void forEachInstance(Node& node, const std::shared_ptr<Attribute>& attribute,
                     std::vector<unsigned int> indices, const Visit& visit) {
    std::vector<const Attribute*> arrays;
    for (const Attribute* at : attribute->path()) {
        if (at->array) arrays.push_back(at);
    }
    const std::size_t level = indices.size();
    if (level >= arrays.size()) {
        indices.resize(arrays.size());
        visit(makePlug(node.self(), attribute, indices));
        return;
    }
    if (arrays[level] == attribute.get()) {
        visit(makePlug(node.self(), attribute, indices));
        return;
    }
    const auto elements = node.elementsOf(PlugKey{arrays[level], indices});
    if (elements.empty()) {
        visit(makePlug(node.self(), sharedAttribute(arrays[level]), indices));
        return;
    }
    for (const unsigned int index : elements) {
        auto deeper = indices;
        deeper.push_back(index);
        forEachInstance(node, attribute, deeper, visit);
    }
}

// Indices of `plug` that also address arrays on the path of `other`.
std::vector<unsigned int> sharedIndices(const MPlug& plug, const Attribute& other) {
    const auto mine = attributeOf(plug)->path();
    const auto theirs = other.path();
    std::size_t arrays = 0;
    for (std::size_t i = 0; i < mine.size() && i < theirs.size() && mine[i] == theirs[i]; ++i) {
        if (mine[i]->array) ++arrays;
    }
    auto indices = indicesOf(plug);
    if (indices.size() > arrays) indices.resize(arrays);
    return indices;
}

void collectTree(const std::shared_ptr<Attribute>& attribute,
                 std::vector<std::shared_ptr<Attribute>>& out) {
    out.push_back(attribute);
    for (const auto& child : attribute->children) collectTree(child, out);
}

void markDirty(const MPlug& plug) {
    Node* node = liveNode(plug);
    if (!node) return;
    const PlugKey key = keyOf(plug);
    node->state(key).dirty = true;
    // Plugs within this one are those of its attribute's tree: visit only their keys, not every
    // plug of the node (a node may have tens of thousands).
    std::vector<std::shared_ptr<Attribute>> tree;
    collectTree(attributeOf(plug), tree);
    for (const auto& attribute : tree) {
        for (auto at = node->plugs.lower_bound(PlugKey{attribute.get(), {}});
             at != node->plugs.end() && at->first.attribute == attribute.get(); ++at) {
            if (keyWithin(at->first, key)) at->second.dirty = true;
        }
    }
    for (MPlug up = isElementPlug(plug) ? arrayPlug(plug) : parentPlug(plug); !up.isNull();
         up = isElementPlug(up) ? arrayPlug(up) : parentPlug(up)) {
        node->state(keyOf(up)).dirty = true;
    }
}

}  // namespace

Value storedValue(const MPlug& plug) {
    Node* node = liveNode(plug);
    if (!node || !attributeOf(plug)) return {};
    const PlugState* state = node->findState(keyOf(plug));
    return valueOrDefault(state ? state->value : Value{}, *attributeOf(plug));
}

void writeValue(const MPlug& plug, Value value) {
    Node* node = liveNode(plug);
    if (!node || !attributeOf(plug)) return;
    if (const auto* number = std::get_if<double>(&value))
        value = attributeOf(plug)->normalized(*number);
    ensureElementsExist(plug);
    node->state(keyOf(plug)).value = std::move(value);
}

bool isPlugDirty(const MPlug& plug) {
    Node* node = liveNode(plug);
    if (!node) return false;
    const PlugState* state = node->findState(keyOf(plug));
    return !state || state->dirty;
}

void setPlugClean(const MPlug& plug) {
    if (Node* node = liveNode(plug)) node->state(keyOf(plug)).dirty = false;
}

MPlug sourceOf(const MPlug& plug) {
    for (const auto& connection : Scene::instance().connections()) {
        if (!plugWithin(plug, connection.destination)) continue;
        if (keyOf(plug) == keyOf(connection.destination)) return connection.source;
        return mapBelow(connection.source, connection.destination, plug);
    }
    return MPlug();
}

Value evaluatePlug(const MPlug& plug, const MDGContext& context) {
    Node* node = liveNode(plug);
    if (!node || !attributeOf(plug)) return {};
    if (MTime when;
        !context.isNormal() && context.getTime(when) && !TimedEvaluation::activeAt(when)) {
        const TimedEvaluation timed(when);
        return evaluatePlug(plug, context);
    }
    const EvaluationPass pass;
    const auto& attribute = *attributeOf(plug);
    const PlugKey key = keyOf(plug);
    if (const PlugState* state = node->findState(key);
        state && (!state->dirty || state->evaluating)) {
        return valueOrDefault(state->value, attribute);
    }
    // Hold the node: a compute may delete nodes, this one included.
    const auto keep = node->self();
    // A clean plug reads nothing upstream: only a dirty one has the upstream evaluated on the
    // evaluation threads before the pull below, which then finds it clean.
    if (pass.outermost() && context.isNormal() && evaluationMode() == "parallel" &&
        onMainThread()) {
        evaluateUpstreamInParallel(plug);
        if (!keep->alive) return {};  // an untrusted node's callbacks may delete nodes
    }
    node->state(key).evaluating = true;

    const MPlug source = sourceOf(plug);
    MStatus status = MStatus::kSuccess;
    if (isLeaf(plug)) {
        if (!source.isNull()) {
            writeValue(plug, evaluatePlug(source, context));
        } else {
            status = runCompute(plug, context);
        }
    } else {
        if (source.isNull()) status = runCompute(plug, context);
        if (isArrayPlug(plug)) {
            for (const unsigned int index : existingElements(plug))
                evaluatePlug(elementPlug(plug, index), context);
        } else {
            for (unsigned int i = 0; i < attribute.children.size(); ++i)
                evaluatePlug(childPlug(plug, i), context);
        }
        status = MStatus::kUnknownParameter;  // a compound is clean once its children are
    }
    if (!keep->alive) return {};
    PlugState& state = keep->state(key);
    state.evaluating = false;
    // A plug that compute did not handle keeps its value and counts as evaluated.
    if (!source.isNull() || status != MStatus::kSuccess) state.dirty = false;
    return valueOrDefault(state.value, attribute);
}

namespace {

// What a time change dirtied when the evaluation manager last built its graph: each plug, and
// whether it was marked dirty (the start is only noted). Main thread only.
struct TimeGraph {
    bool built = false;
    std::vector<std::pair<MPlug, bool>> reached;
};

TimeGraph& timeGraph() {
    static TimeGraph graph;
    return graph;
}

}  // namespace

void invalidateEvaluationGraph() {
    timeGraph().built = false;
    timeGraph().reached.clear();  // it holds the nodes it reached
}

void propagateTimeChange(const MPlug& outTime) {
    TimeGraph& graph = timeGraph();
    if (!evaluationManagerActive()) {
        propagateDirty(outTime, false);
        return;
    }
    // "setDependentsDirty is no longer called" once the graph is built: a time change dirties
    // what the first one found, and nodes learn of it in preEvaluation.
    if (!graph.built) {
        graph.reached.clear();
        propagateDirty(outTime, false, &graph.reached);
        graph.built = true;
        return;
    }
    for (const auto& [plug, marked] : graph.reached) {
        if (!liveNode(plug) || !isValidPlug(plug)) continue;
        noteDirtied(plug);
        if (marked) markDirty(plug);
    }
}

void propagateDirty(const MPlug& start, bool includeSelf,
                    std::vector<std::pair<MPlug, bool>>* reached) {
    std::set<std::pair<const Node*, PlugKey>> visited;
    std::deque<MPlug> pending{start};
    const MPlug sceneTime = timeNodeOutput();
    while (!pending.empty()) {
        const MPlug plug = pending.front();
        pending.pop_front();
        Node* node = liveNode(plug);
        if (!node || !isValidPlug(plug) || !visited.insert({node, keyOf(plug)}).second) continue;
        noteDirtied(plug);
        const bool isStart = keyOf(plug) == keyOf(start) && nodeOf(plug) == nodeOf(start);
        if (!isStart || includeSelf) markDirty(plug);
        if (reached) reached->emplace_back(plug, !isStart || includeSelf);

        if (node->user) {
            MPlugArray extra;
            node->user->setDependentsDirty(plug, extra);
            for (unsigned int i = 0; i < extra.length(); ++i) pending.push_back(extra[i]);
        }
        // Declared dependencies of this attribute, its parents and its children.
        std::vector<std::shared_ptr<Attribute>> related;
        collectTree(attributeOf(plug), related);
        for (auto up = attributeOf(plug)->parentAttribute(); up; up = up->parentAttribute())
            related.push_back(up);
        for (const auto& attribute : related) {
            const auto range = node->type->affects.equal_range(attribute.get());
            for (auto at = range.first; at != range.second; ++at) {
                forEachInstance(*node, at->second, sharedIndices(plug, *at->second),
                                [&](const MPlug& affected) { pending.push_back(affected); });
            }
        }
        for (const auto& connection : Scene::instance().connections()) {
            if (plugWithin(plug, connection.source) || plugWithin(connection.source, plug)) {
                pending.push_back(connection.destination);
            }
        }
        if (!sceneTime.isNull() && plug == sceneTime) {
            for (const auto& other : Scene::instance().nodes()) {
                if (other->type->followsSceneTime.empty()) continue;
                const MPlug input =
                    makePlug(other, other->findAttribute(other->type->followsSceneTime), {});
                if (sourceOf(input).isNull()) pending.push_back(input);
            }
        }
    }
}

MStatus setPlugValue(const MPlug& plug, Value value, std::string* error) {
    if (!isValidPlug(plug)) {
        *error = "The plug is not valid.";
        return MStatus::kInvalidParameter;
    }
    const std::string name = plugPath(plug, true, true, true);
    if (!isLeaf(plug) || attributeOf(plug)->kind == AttributeKind::Message) {
        *error = "The attribute '" + name + "' holds no single value.";
        return MStatus::kInvalidParameter;
    }
    const MPlug source = sourceOf(plug);
    if (!source.isNull()) {
        Node* driver = liveNode(source);
        if (!driver || !driver->user || !driver->user->isPassiveOutput(source)) {
            *error = "The attribute '" + name + "' is locked or connected and cannot be modified.";
            return MStatus::kFailure;
        }
    }
    writeValue(plug, std::move(value));
    setPlugClean(plug);
    // "live" and "frameRate" start, stop and restart a device node's worker.
    const auto keep = nodeOf(plug);
    deviceAttributeSet(*keep, *attributeOf(plug));
    if (!keep->alive) return MStatus::kSuccess;
    propagateDirty(plug, false);
    postAttributeChanged(MNodeMessage::kAttributeSet, plug, MPlug());
    return MStatus::kSuccess;
}

}  // namespace headless::detail
