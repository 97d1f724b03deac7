#pragma once
// The host's main loop: idle events, that is the refresh requests that device workers post,
// idle tasks and commands (MGlobal::executeTaskOnIdle, executeCommandOnIdle) and deferred
// scripts. As in Maya, they are served only in interactive mode: between top-level commands,
// while a script sleeps (the user waiting in the UI) and at "refresh"; a batch session never
// serves them. Main thread only.

#include <chrono>

namespace headless::detail {

// Interactive by default; batch as "mayabatch" runs.
void setBatchMode(bool batch);
bool batchMode();

// One round of idle events, whatever the mode: every refresh request pending now, then the idle
// tasks posted so far. Gives how many events were served. This is the one place where the
// host's main loop (and maya.utils.processIdleEvents) serves idle events.
int processIdleEvents();

// Serves every refresh request that is pending now; gives how many were served.
int servePendingRefreshes();
// Runs until the deadline, serving idle events as they come (interactive mode), or just waits
// (batch mode).
int runMainLoopUntil(std::chrono::steady_clock::time_point deadline);
// Serves the next request of every device node whose worker runs, waiting for each until the
// deadline at most, then the idle tasks posted so far; nothing in batch mode.
int refreshLiveDevices(std::chrono::steady_clock::time_point deadline);

}  // namespace headless::detail
