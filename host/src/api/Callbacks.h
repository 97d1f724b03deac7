#pragma once
// The host's callback registries share one id space, so that MMessage::removeCallback finds a
// callback wherever it was added.

#include <maya/MMessage.h>

namespace headless::detail {

MCallbackId nextCallbackId();

// Each removes the callback if it holds it.
bool removeUserEventCallback(MCallbackId id);
bool removeSceneCallback(MCallbackId id);
bool removeNodeCallback(MCallbackId id);
bool removeCommandOutputCallback(MCallbackId id);

}  // namespace headless::detail
