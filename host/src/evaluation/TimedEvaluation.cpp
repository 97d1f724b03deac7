#include "evaluation/TimedEvaluation.h"

#include "core/Evaluation.h"
#include "core/Plugs.h"
#include "core/Scene.h"

namespace headless::detail {

namespace {

// Times of the timed evaluations in progress, innermost last. Main thread only.
std::vector<MTime>& activeTimes() {
    static std::vector<MTime> times;
    return times;
}

}  // namespace

MPlug timeNodeOutput() {
    const auto time = Scene::instance().findNode("time1");
    if (!time || !time->isDefault) return MPlug();
    const auto outTime = time->findAttribute("outTime");
    return outTime ? makePlug(time, outTime, {}) : MPlug();
}

TimedEvaluation::TimedEvaluation(const MTime& when) {
    // A store of its own in which every plug starts dirty: set values stay (compute leaves
    // them alone), everything else is pulled afresh. "Dirty propagation happens only in normal
    // context": no setDependentsDirty runs on the way in or out.
    for (const auto& node : Scene::instance().nodes()) {
        saved_.push_back(
            SavedNode{node, node->plugs, node->elements, node->dirtiedSinceEvaluation});
        for (auto& entry : node->plugs) entry.second.dirty = true;
    }
    activeTimes().push_back(when);
    const MPlug outTime = timeNodeOutput();
    if (outTime.isNull()) return;
    writeValue(outTime, when.as(MTime::kSeconds));
    setPlugClean(outTime);
}

TimedEvaluation::~TimedEvaluation() {
    activeTimes().pop_back();
    for (auto& saved : saved_) {
        if (!saved.node->alive) continue;
        saved.node->plugs = std::move(saved.plugs);
        saved.node->elements = std::move(saved.elements);
        saved.node->dirtiedSinceEvaluation = std::move(saved.dirtied);
    }
}

bool TimedEvaluation::activeAt(const MTime& when) {
    return !activeTimes().empty() && activeTimes().back() == when;
}

}  // namespace headless::detail
