#include "evaluation/EvaluationManager.h"

#include <atomic>
#include <functional>
#include <set>
#include <vector>

#include "core/Evaluation.h"
#include "core/Node.h"
#include "core/Plugs.h"
#include "core/Registry.h"
#include "core/Scene.h"

namespace headless::detail {

namespace {

// Changed on the main thread only, while no evaluation runs.
std::string currentMode = "off";
// Read by the evaluation threads while the main thread's pass is open.
std::atomic<unsigned long> passCounter{0};
// Per thread: an evaluation thread works within the main thread's pass (EvaluationPass::join).
thread_local int pullDepth = 0;

// Every attribute the node has now, compared by address only: a dirtied key may name a dynamic
// attribute that was removed since.
std::set<const Attribute*> attributesOf(const Node& node) {
    std::set<const Attribute*> found;
    std::function<void(const Attribute&)> visit = [&](const Attribute& attribute) {
        found.insert(&attribute);
        for (const auto& child : attribute.children) visit(*child);
    };
    for (const auto& root : node.rootAttributes()) visit(*root);
    return found;
}

}  // namespace

bool setEvaluationMode(const std::string& mode) {
    if (mode != "off" && mode != "serial" && mode != "parallel") return false;
    if (mode != currentMode) {
        // What was recorded under another mode says nothing about the next evaluation.
        for (const auto& node : Scene::instance().nodes()) node->dirtiedSinceEvaluation.clear();
        invalidateEvaluationGraph();
    }
    currentMode = mode;
    return true;
}

const std::string& evaluationMode() {
    return currentMode;
}

bool evaluationManagerActive() {
    return currentMode != "off";
}

EvaluationPass::EvaluationPass() : outermost_(pullDepth++ == 0) {
    if (outermost_) ++passCounter;
}

EvaluationPass::EvaluationPass(JoinTag) : outermost_(false) {
    ++pullDepth;
}

EvaluationPass::~EvaluationPass() {
    --pullDepth;
}

void noteDirtied(const MPlug& plug) {
    if (!evaluationManagerActive()) return;
    Node* node = liveNode(plug);
    if (!node) return;
    // A dirty element or child also makes its array and parents dirty.
    for (MPlug at = plug; !at.isNull(); at = isElementPlug(at) ? arrayPlug(at) : parentPlug(at)) {
        node->dirtiedSinceEvaluation.insert(keyOf(at));
    }
}

void beforeCompute(Node& node, const MDGContext& context) {
    if (!evaluationManagerActive() || !node.user || node.preEvaluatedInPass == passCounter) return;
    node.preEvaluatedInPass = passCounter;
    const auto existing = attributesOf(node);
    std::vector<MPlug> dirty;
    for (const auto& key : node.dirtiedSinceEvaluation) {
        if (existing.count(key.attribute) == 0) continue;
        dirty.push_back(makePlug(node.self(), sharedAttribute(key.attribute), key.indices));
    }
    node.dirtiedSinceEvaluation.clear();
    node.user->preEvaluation(context, HostAccess::evaluationNode(node.object(), std::move(dirty)));
}

}  // namespace headless::detail
