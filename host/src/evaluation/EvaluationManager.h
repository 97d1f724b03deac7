#pragma once
// The evaluation manager's mode. Outside "off" the host calls a node's preEvaluation once per
// evaluation pass, before the node's first compute in it, telling it which of its plugs were
// dirtied since its previous evaluation. Main thread only.

#include <string>

#include <maya/MDGContext.h>
#include <maya/MPlug.h>

namespace headless::detail {

class Node;

// "off", "serial" or "parallel"; false for any other name.
bool setEvaluationMode(const std::string& mode);
const std::string& evaluationMode();
bool evaluationManagerActive();

// Opens an evaluation pass when the outermost pull starts, and closes it with that pull.
class EvaluationPass {
public:
    EvaluationPass();
    ~EvaluationPass();
    EvaluationPass(const EvaluationPass&) = delete;
    EvaluationPass& operator=(const EvaluationPass&) = delete;
};

// Dirty propagation reached the plug (set, or marked dirty).
void noteDirtied(const MPlug& plug);
// Compute is about to run on the node.
void beforeCompute(Node& node, const MDGContext& context);

}  // namespace headless::detail
