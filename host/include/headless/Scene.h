#pragma once
// Headless host: the scene, for tests. Main thread only.

#include <string>
#include <vector>

#include <maya/MObject.h>

namespace headless {

// As "file -new": deletes every node (plug-in nodes included; no connection callbacks run) and
// creates the default nodes (time1) again. Loaded plug-ins stay loaded.
void newScene();

// The node of that name, or a null MObject.
MObject findNode(const std::string& name);

// Names of every node, in creation order.
std::vector<std::string> nodeNames();

}  // namespace headless
