#pragma once
// Headless host: the main loop and the worker threads of threaded device nodes, for tests.
// Main thread only.
//
//   headless::execute("createNode myDevice -n dev; setAttr dev.live 1");
//   headless::refresh();                                         // one frame of every live device
//   headless::runMainLoopFor(std::chrono::milliseconds(500));    // real time, as "sleep 0.5"

#include <chrono>
#include <cstddef>

#include <maya/MObject.h>

namespace headless {

// One round of idle events, as an idle moment of Maya's UI (maya.utils.processIdleEvents): the
// refresh requests pending now, then the idle tasks and commands posted so far. Served in batch
// mode too, since the caller asks for it. Gives how many were served.
int processIdleEvents();

// Batch mode, as "mayabatch": no idle event is ever served by the main loop (sleep and refresh
// just let time pass) and MGlobal::mayaState() gives kBatch. Interactive by default.
void setBatchMode(bool batch);

// Idle tasks and commands posted and not yet run.
std::size_t pendingIdleTasks();

// Serves the next refresh request of every device node whose worker runs, waiting up to `wait`
// for them (as the "refresh" command, which waits one second). Gives how many were served.
int refresh(std::chrono::milliseconds wait = std::chrono::seconds(1));

// Runs the main loop in real time for the duration, serving every refresh request as it comes
// (as "sleep SECONDS"). Gives how many were served.
int runMainLoopFor(std::chrono::steady_clock::duration duration);

// The thread handler of this threaded device node runs on its worker.
bool deviceWorkerRunning(const MObject& node);

// How long stopping a worker may take before the host gives up on it (5 seconds by default):
// it then shows an error, leaves the worker running and keeps the node object alive for it.
void setDeviceWorkerStopTimeout(std::chrono::milliseconds timeout);
// Workers given up on that still wait to be joined.
std::size_t stuckDeviceWorkerCount();
// Joins the workers given up on once they finish (waiting up to `wait` for each) and frees
// their node objects. Gives how many are still running.
std::size_t reapStuckDeviceWorkers(std::chrono::milliseconds wait);

}  // namespace headless
