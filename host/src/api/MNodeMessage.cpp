#include <maya/MNodeMessage.h>

#include "api/Callbacks.h"
#include "core/HostAccess.h"
#include "core/Node.h"
#include "core/NodeCallbacks.h"

namespace {

// Main thread only, as the values and connections whose changes they report.
auto& nodeCallbacks() {
    static headless::detail::CallbackList<MObject, MNodeMessage::MAttr2PlugFunction> callbacks;
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
    return ok ? nodeCallbacks().add(node, func, clientData) : 0;
}

namespace headless::detail {

bool removeNodeCallback(MCallbackId id) {
    return removePreRemovalCallback(id) || nodeCallbacks().remove(id);
}

void postAttributeChanged(int msg, const MPlug& plug, const MPlug& otherPlug) {
    if (nodeCallbacks().empty()) return;
    for (const auto& c : nodeCallbacks().listeningTo(plug.node())) {
        MPlug changed = plug;
        MPlug other = otherPlug;
        c.function(static_cast<MNodeMessage::AttributeMessage>(msg), changed, other, c.clientData);
    }
}

}  // namespace headless::detail
