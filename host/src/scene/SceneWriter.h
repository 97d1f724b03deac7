#pragma once
// Captures the scene as a scene file's content.

#include "core/Scene.h"
#include "scene/SceneDocument.h"

namespace headless::detail {

// Per node: its type id, name and dynamic attribute definitions, the stored values that
// differ from their defaults (storable attributes only; the node's shouldSave may force a plug
// in or out), the elements of arrays that shouldSave forces; then every connection.
SceneDocument captureScene(const Scene& scene);

}  // namespace headless::detail
