#pragma once
// The host's main loop as far as device nodes need it: serving the refresh requests that their
// workers post. Main thread only.

#include <chrono>

namespace headless::detail {

// Serves every refresh request that is pending now; gives how many were served.
int servePendingRefreshes();
// Runs until the deadline, serving requests as they come.
int runMainLoopUntil(std::chrono::steady_clock::time_point deadline);
// Serves the next request of every device node whose worker runs, waiting for each until the
// deadline at most.
int refreshLiveDevices(std::chrono::steady_clock::time_point deadline);

}  // namespace headless::detail
