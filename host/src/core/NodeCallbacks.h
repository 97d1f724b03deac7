#pragma once
// Callbacks on one node (MNodeMessage): the pre-removal callbacks, run when the node leaves the
// graph. Ids come from the one counter that every callback class of the host shares
// (api/Callbacks.h). Main thread only.

#include <maya/MMessage.h>

namespace headless::detail {

class Node;

MCallbackId addPreRemovalCallback(Node& node, MMessage::MNodeFunction function, void* clientData);
// Runs the node's pre-removal callbacks, oldest first.
void runPreRemovalCallbacks(Node& node);
// False when no pre-removal callback has that id.
bool removePreRemovalCallback(MCallbackId id);
// Forgets every callback of a node that is destroyed.
void forgetNodeCallbacks(const Node& node);

}  // namespace headless::detail
