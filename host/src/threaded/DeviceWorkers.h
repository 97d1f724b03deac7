#pragma once
// Starting and stopping the worker threads of threaded device nodes, on the main thread: `live`
// starts and stops a node's worker, a new `frameRate` restarts it, and a node is stopped before
// it is destroyed.

#include <chrono>
#include <cstddef>
#include <string>

namespace headless::detail {

class Node;
class Attribute;

// After a plug of the node was set: acts on `live` and `frameRate` of a threaded device node.
void deviceAttributeSet(Node& node, const Attribute& attribute);
// Before the node is destroyed (deletion, a new scene). A worker that does not stop in time is
// given up on: the plug-in's node object is kept alive for it instead of being freed under it.
void stopDeviceWorker(Node& node);
// The node's thread handler is running.
bool deviceWorkerRunning(Node& node);

void setWorkerStopTimeout(std::chrono::milliseconds timeout);
// Joins the workers given up on that have finished, waiting up to `wait` for each, and frees
// their node objects while the plug-in's code is still loaded. Gives how many remain.
std::size_t reapStuckWorkers(std::chrono::milliseconds wait);
// Workers given up on that have not been reaped, all of them or those of one plug-in.
std::size_t stuckWorkerCount();
std::size_t stuckWorkerCount(const std::string& pluginName);

}  // namespace headless::detail
