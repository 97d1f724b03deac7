#pragma once
// The check behind headless/ApiThreads.h: API entry points that Maya allows on the main thread
// only call requireMainThread first. The evaluation manager's threads evaluate nodes for the
// main thread while it waits for them: their calls count as the main thread's.

namespace headless::detail {

// Counts and reports the call when the calling thread is neither the main thread nor an
// evaluation thread at work. The call goes on either way, as it would in Maya (where it may
// crash or corrupt the scene instead).
void requireMainThread(const char* call);

bool onMainThread();

// Marks the calling thread as evaluating nodes for the main thread while it exists.
class EvaluationThreadScope {
  public:
    EvaluationThreadScope();
    ~EvaluationThreadScope();
    EvaluationThreadScope(const EvaluationThreadScope&) = delete;
    EvaluationThreadScope& operator=(const EvaluationThreadScope&) = delete;
};

}  // namespace headless::detail
