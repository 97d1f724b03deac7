#include <maya/MNodeMessage.h>

#include <algorithm>
#include <vector>

#include "api/Callbacks.h"
#include "core/HostAccess.h"
#include "core/Node.h"
#include "core/NodeCallbacks.h"

namespace {

struct NodeCallback {
    MCallbackId id;
    MObject node;
    MNodeMessage::MAttr2PlugFunction function;
    void* clientData;
};

// Main thread only, as the values and connections whose changes they report.
std::vector<NodeCallback>& nodeCallbacks() {
    static std::vector<NodeCallback> callbacks;
    return callbacks;
}

}  // namespace

MCallbackId MNodeMessage::addNodePreRemovalCallback(MObject& node, MMessage::MNodeFunction func,
                                                    void* clientData, MStatus* ReturnStatus) {
    const auto found = headless::detail::hostCast<headless::detail::Node>(node);
    const bool ok = found && found->alive && func;
    if (ReturnStatus) *ReturnStatus = ok ? MStatus::kSuccess : MStatus::kInvalidParameter;
    return ok ? headless::detail::addPreRemovalCallback(*found, func, clientData) : 0;
}

MCallbackId MNodeMessage::addAttributeChangedCallback(MObject& node,
                                                      MNodeMessage::MAttr2PlugFunction func,
                                                      void* clientData, MStatus* ReturnStatus) {
    const bool ok = func && !node.isNull();
    if (ReturnStatus) *ReturnStatus = ok ? MStatus::kSuccess : MStatus::kInvalidParameter;
    if (!ok) return 0;
    const MCallbackId id = headless::detail::nextCallbackId();
    nodeCallbacks().push_back(NodeCallback{id, node, func, clientData});
    return id;
}

namespace headless::detail {

bool removeNodeCallback(MCallbackId id) {
    if (removePreRemovalCallback(id)) return true;
    auto& callbacks = nodeCallbacks();
    const auto at = std::find_if(callbacks.begin(), callbacks.end(),
                                 [id](const NodeCallback& c) { return c.id == id; });
    if (at == callbacks.end()) return false;
    callbacks.erase(at);
    return true;
}

void postAttributeChanged(int msg, const MPlug& plug, const MPlug& otherPlug) {
    if (nodeCallbacks().empty()) return;
    const MObject node = plug.node();
    // A copy: a callback may add or remove callbacks.
    std::vector<NodeCallback> toCall;
    for (const auto& c : nodeCallbacks()) {
        if (c.node == node) toCall.push_back(c);
    }
    for (const auto& c : toCall) {
        MPlug changed = plug;
        MPlug other = otherPlug;
        c.function(static_cast<MNodeMessage::AttributeMessage>(msg), changed, other, c.clientData);
    }
}

}  // namespace headless::detail
