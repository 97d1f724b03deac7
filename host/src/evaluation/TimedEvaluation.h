#pragma once
// Evaluation in a context at a given time. While a TimedEvaluation lives, the scene's plugs hold
// the values of that time: it keeps the normal values aside, sets time1.outTime to the time and
// dirties what depends on it. On the way out it puts the normal values back and dirties what
// depends on time again, so that nodes whose own state followed the other time recompute.
// Main thread only.

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
