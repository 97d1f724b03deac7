#include <maya/MSceneMessage.h>

#include <algorithm>
#include <vector>

#include "api/Callbacks.h"

namespace {

struct SceneCallback {
    MCallbackId id;
    MSceneMessage::Message message;
    MMessage::MBasicFunction function;
    void* clientData;
};

// Main thread only, as Maya's scene messages.
std::vector<SceneCallback>& sceneCallbacks() {
    static std::vector<SceneCallback> callbacks;
    return callbacks;
}

}  // namespace

MCallbackId MSceneMessage::addCallback(Message msg, MMessage::MBasicFunction func, void* clientData,
                                       MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = func ? MStatus::kSuccess : MStatus::kInvalidParameter;
    if (!func) return 0;
    const MCallbackId id = headless::detail::nextCallbackId();
    sceneCallbacks().push_back(SceneCallback{id, msg, func, clientData});
    return id;
}

namespace headless::detail {

bool removeSceneCallback(MCallbackId id) {
    auto& callbacks = sceneCallbacks();
    const auto at = std::find_if(callbacks.begin(), callbacks.end(),
                                 [id](const SceneCallback& c) { return c.id == id; });
    if (at == callbacks.end()) return false;
    callbacks.erase(at);
    return true;
}

void postSceneMessage(MSceneMessage::Message msg) {
    // A copy: a callback may add or remove callbacks.
    std::vector<SceneCallback> toCall;
    for (const auto& c : sceneCallbacks()) {
        if (c.message == msg) toCall.push_back(c);
    }
    for (const auto& c : toCall) {
        const auto& now = sceneCallbacks();
        const bool stillThere = std::any_of(now.begin(), now.end(),
                                            [&](const SceneCallback& n) { return n.id == c.id; });
        if (stillThere) c.function(c.clientData);
    }
}

}  // namespace headless::detail
