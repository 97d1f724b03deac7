#pragma once
// Headless host: Maya's API is for the main thread only. A threaded device node's worker may
// call its own loop and queue methods (beginThreadLoop, endThreadLoop, acquireDataStorage,
// pushThreadData, isDone, isLive, setDone); MGlobal::executeCommandOnIdle and executeTaskOnIdle
// may be called from any thread. The host counts every other call of its API made from another
// thread as an error and reports it on standard error; tests assert that the count stays zero.
// Thread-safe.

#include <cstddef>

namespace headless {

// Calls of the API made from a thread other than the main thread since the last clear.
std::size_t wrongThreadCallCount();
void clearWrongThreadCalls();

}  // namespace headless
