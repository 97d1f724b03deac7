#pragma once
// Evaluation in a context at a given time. While a TimedEvaluation lives, the scene's plugs hold
// the values of that time: it keeps the normal values aside, marks every plug dirty and sets
// time1.outTime to the time, without dirty propagation (Maya propagates in the normal context
// only, so nodes never hear of it through setDependentsDirty). On the way out it puts the
// normal values back. Main thread only.

#include <map>
#include <memory>
#include <set>
#include <vector>

#include <maya/MTime.h>

#include "core/Node.h"

namespace headless::detail {

class TimedEvaluation {
  public:
    explicit TimedEvaluation(const MTime& when);
    ~TimedEvaluation();
    TimedEvaluation(const TimedEvaluation&) = delete;
    TimedEvaluation& operator=(const TimedEvaluation&) = delete;

    // The innermost timed evaluation runs at this time.
    static bool activeAt(const MTime& when);

  private:
    struct SavedNode {
        std::shared_ptr<Node> node;
        std::map<PlugKey, PlugState> plugs;
        std::map<PlugKey, std::set<unsigned int>> elements;
        std::set<PlugKey> dirtied;
    };
    std::vector<SavedNode> saved_;
};

// time1.outTime; null when the scene has no time node.
MPlug timeNodeOutput();

}  // namespace headless::detail
