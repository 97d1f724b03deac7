#include "core/ThreadCheck.h"

#include <headless/ApiThreads.h>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

// The host library is initialised by the thread that starts the program: Maya's main thread.
const std::thread::id mainThread = std::this_thread::get_id();

// Counted by any thread, read by the main thread.
std::atomic<std::size_t> wrongThreadCalls{0};

// Per thread: how many evaluation scopes are open on it.
thread_local int evaluationScopes = 0;

}  // namespace

namespace headless::detail {

bool onMainThread() {
    return std::this_thread::get_id() == mainThread;
}

EvaluationThreadScope::EvaluationThreadScope() {
    ++evaluationScopes;
}
EvaluationThreadScope::~EvaluationThreadScope() {
    --evaluationScopes;
}

void requireMainThread(const char* call) {
    if (evaluationScopes > 0 || onMainThread()) return;
    ++wrongThreadCalls;
    std::fprintf(stderr, "// Error: %s was called from a thread other than the main thread //\n",
                 call);
}

}  // namespace headless::detail

namespace headless {

std::size_t wrongThreadCallCount() {
    return wrongThreadCalls.load();
}
void clearWrongThreadCalls() {
    wrongThreadCalls.store(0);
}

}  // namespace headless
