#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>

#include <maya/MGlobal.h>
#include <maya/MSceneMessage.h>

#include "core/HostAccess.h"
#include "core/Plugins.h"
#include "core/Scene.h"
#include "scene/SceneFiles.h"
#include "script/Interpreter.h"
#include "threaded/MainLoop.h"

namespace headless {

using namespace detail;

bool ScriptResult::ok() const {
    if (!error.empty()) return false;
    for (const auto& command : commands) {
        if (!command.ok) return false;
    }
    return true;
}

ScriptResult runScript(const std::string& script, const ScriptOptions& options) {
    ScriptResult outcome;
    std::vector<Statement> statements;
    if (!tokenize(script, statements, &outcome.error)) {
        MGlobal::displayError(MString(outcome.error.c_str()));
        if (options.stopOnError) return outcome;
    }
    for (const auto& statement : statements) {
        StatementOutcome ran = runStatement(statement, options.echoResults);
        CommandResult result;
        result.command = ran.command;
        result.ok = ran.status == MStatus::kSuccess;
        result.result = ran.result.text();
        result.items = ran.result.items();
        result.error = ran.error;
        outcome.commands.push_back(std::move(result));
        if (!outcome.commands.back().ok && options.stopOnError) break;
        if (options.idleBetweenCommands && !batchMode()) processIdleEvents();
    }
    return outcome;
}

CommandResult execute(const std::string& script) {
    ScriptResult outcome = runScript(script);
    if (!outcome.error.empty()) {
        CommandResult failed;
        failed.ok = false;
        failed.error = outcome.error;
        return failed;
    }
    return outcome.commands.empty() ? CommandResult() : outcome.commands.back();
}

void newScene() {
    postSceneMessage(MSceneMessage::kBeforeNew);
    Scene::instance().reset();
    setCurrentSceneFile("");
    postSceneMessage(MSceneMessage::kAfterNew);
}

void flushUndo() {
    Scene::instance().flushUndo();
}

std::size_t undoQueueLength() {
    return Scene::instance().undoQueue().size();
}

void setConnectionBrokenAfterElementRemoval(bool after) {
    Scene::instance().setConnectionBrokenAfterElementRemoval(after);
}

MObject findNode(const std::string& name) {
    const auto node = Scene::instance().findNode(name);
    return node ? node->object() : MObject();
}

std::vector<std::string> nodeNames() {
    std::vector<std::string> names;
    for (const auto& node : Scene::instance().nodes()) names.push_back(node->name);
    return names;
}

MStatus loadPlugin(const std::string& nameOrPath, std::string* error) {
    std::string name, message;
    const MStatus status = PluginManager::instance().load(nameOrPath, &name, &message);
    if (error) *error = message;
    return status;
}

MStatus unloadPlugin(const std::string& name, std::string* error) {
    std::string message;
    const MStatus status = PluginManager::instance().unload(name, &message);
    if (error) *error = message;
    return status;
}

bool isPluginLoaded(const std::string& name) {
    return PluginManager::instance().find(name) != nullptr;
}

InProcessPlugin::InProcessPlugin(std::string name)
    : name_(std::move(name)), object_(wrap(PluginManager::instance().addInProcess(name_))) {}

InProcessPlugin::~InProcessPlugin() {
    PluginManager::instance().removeInProcess(name_);
}

}  // namespace headless
