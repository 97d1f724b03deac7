#include <maya/MSceneMessage.h>

#include "api/Callbacks.h"

namespace {

// Main thread only, as Maya's scene messages.
auto& sceneCallbacks() {
    static headless::detail::CallbackList<MSceneMessage::Message, MMessage::MBasicFunction>
        callbacks;
    return callbacks;
}

}  // namespace

MCallbackId MSceneMessage::addCallback(Message msg, MMessage::MBasicFunction func, void* clientData,
                                       MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = func ? MStatus::kSuccess : MStatus::kInvalidParameter;
    return func ? sceneCallbacks().add(msg, func, clientData) : 0;
}

namespace headless::detail {

bool removeSceneCallback(MCallbackId id) {
    return sceneCallbacks().remove(id);
}

void postSceneMessage(MSceneMessage::Message msg) {
    for (const auto& c : sceneCallbacks().listeningTo(msg)) {
        if (sceneCallbacks().holds(c.id)) c.function(c.clientData);
    }
}

}  // namespace headless::detail
