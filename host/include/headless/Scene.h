#pragma once
// Headless host: the scene, for tests. Main thread only.

#include <cstddef>
#include <string>
#include <vector>

#include <maya/MObject.h>

namespace headless {

// As "file -new": deletes every node (plug-in nodes included; no connection callbacks run) and
// creates the default nodes (time1) again. Loaded plug-ins stay loaded.
void newScene();

// As "flushUndo": destroys the plug-in objects of deleted nodes, which wait on the undo queue
// until then (a plug-in cannot be unloaded while its nodes are there).
void flushUndo();
// Deleted nodes waiting on the undo queue.
std::size_t undoQueueLength();

// Maya does not say whether connectionBroken runs before or after an element that deletes on
// disconnect is removed; tests try both (before by default).
void setConnectionBrokenAfterElementRemoval(bool after);

// The node of that name, or a null MObject.
MObject findNode(const std::string& name);

// Names of every node, in creation order.
std::vector<std::string> nodeNames();

}  // namespace headless
