#include "core/NodeCallbacks.h"

#include <iterator>
#include <map>

#include <maya/MObject.h>

#include "api/Callbacks.h"
#include "core/HostAccess.h"
#include "core/Node.h"

namespace headless::detail {

namespace {

struct NodeCallback {
    Node* node;
    MMessage::MNodeFunction function;
    void* clientData;
};

// Main thread only; ordered by id, so callbacks run in the order they were added. Never
// destroyed: node destructors reach it from the exit-time shutdown of the plug-ins.
std::map<MCallbackId, NodeCallback>& callbacks() {
    static auto* table = new std::map<MCallbackId, NodeCallback>;
    return *table;
}

}  // namespace

MCallbackId addPreRemovalCallback(Node& node, MMessage::MNodeFunction function, void* clientData) {
    const MCallbackId id = nextCallbackId();
    callbacks().emplace(id, NodeCallback{&node, function, clientData});
    return id;
}

void runPreRemovalCallbacks(Node& node) {
    // A callback may remove itself or others: look up the next one each time.
    MCallbackId after = 0;
    while (true) {
        auto at = callbacks().upper_bound(after);
        while (at != callbacks().end() && at->second.node != &node) ++at;
        if (at == callbacks().end()) return;
        after = at->first;
        const NodeCallback callback = at->second;
        MObject object = node.object();
        callback.function(object, callback.clientData);
    }
}

bool removePreRemovalCallback(MCallbackId id) {
    return callbacks().erase(id) > 0;
}

void forgetNodeCallbacks(const Node& node) {
    for (auto at = callbacks().begin(); at != callbacks().end();) {
        at = at->second.node == &node ? callbacks().erase(at) : std::next(at);
    }
}

}  // namespace headless::detail
