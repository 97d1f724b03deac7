#include <headless/Session.h>

#include <maya/MSceneMessage.h>

#include "core/Plugins.h"
#include "core/Scene.h"
#include "scene/SceneFiles.h"

namespace headless {

namespace {

// Main thread only.
bool running = true;

}  // namespace

void beginSession() {
    if (running) return;
    running = true;
    detail::Scene::instance().reset();
    detail::setCurrentSceneFile("");
}

void endSession() {
    if (!running) return;
    running = false;
    detail::postSceneMessage(MSceneMessage::kMayaExiting);
    detail::PluginManager::instance().shutdown();
    detail::setCurrentSceneFile("");
}

bool sessionRunning() {
    return running;
}

}  // namespace headless
