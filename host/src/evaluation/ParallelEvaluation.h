#pragma once
// The evaluation manager's parallel mode. Before the main thread pulls a plug, the dirty plugs
// upstream of it (the sources of connections into its node, and so on up) are evaluated node by
// node on the evaluation threads: a node once the nodes it reads from are done, concurrently
// with the others as their scheduling types allow (MPxNode::SchedulingType). kUntrusted nodes
// run on the main thread, with nothing else running. The main thread waits, then pulls as
// usual and finds the upstream clean. A graph with a cycle between nodes is left to the pull.

#include <maya/MPlug.h>

namespace headless::detail {

// Main thread, normal context, outermost pull, parallel mode.
void evaluateUpstreamInParallel(const MPlug& plug);

}  // namespace headless::detail
