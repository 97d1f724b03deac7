#pragma once
// The evaluation manager's mode. Outside "off" the host calls a node's preEvaluation once per
// evaluation pass, before the node's first compute in it, telling it which of its plugs were
// dirtied since its previous evaluation. Main thread only, but for the
// evaluation threads of the parallel mode (evaluation/ParallelEvaluation.h).

#include <string>

#include <maya/MDGContext.h>
#include <maya/MPlug.h>

namespace headless::detail {

class Node;

// "off", "serial" or "parallel"; false for any other name.
bool setEvaluationMode(const std::string& mode);
const std::string& evaluationMode();
bool evaluationManagerActive();

// Opens an evaluation pass when the outermost pull starts, and closes it with that pull. An
// evaluation thread joins the pass of the main thread it works for.
class EvaluationPass {
  public:
    struct JoinTag {};
    static constexpr JoinTag join{};

    EvaluationPass();
    explicit EvaluationPass(JoinTag);
    ~EvaluationPass();
    EvaluationPass(const EvaluationPass&) = delete;
    EvaluationPass& operator=(const EvaluationPass&) = delete;

    // The pull that opened the pass.
    bool outermost() const { return outermost_; }

  private:
    bool outermost_;
};

// Dirty propagation reached the plug (set, or marked dirty).
void noteDirtied(const MPlug& plug);
// Compute is about to run on the node.
void beforeCompute(Node& node, const MDGContext& context);

}  // namespace headless::detail
