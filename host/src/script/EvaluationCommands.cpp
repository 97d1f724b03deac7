// Built-in commands on evaluation: evaluationManager -mode off|serial|parallel, and dgdirty
// NODE... (marks every plug of the nodes dirty, with what depends on them).

#include "core/Evaluation.h"
#include "core/Plugs.h"
#include "core/Scene.h"
#include "evaluation/EvaluationManager.h"
#include "script/Arguments.h"
#include "script/Interpreter.h"
#include "script/ScriptNumbers.h"

namespace headless::detail {

namespace {

MStatus evaluationManagerCommand(const std::vector<Word>& args, ResultValue& result,
                                 std::string* error) {
    Arguments a;
    const bool query = isQuery(args);
    const bool parsed = query ? a.parse(args, {}, {"q|query", "m|mode"}, error)
                              : a.parse(args, {"m|mode"}, {}, error);
    if (!parsed) return MStatus::kInvalidParameter;
    if (!a.has("m") || !a.positional().empty()) {
        *error = "evaluationManager: use -mode off|serial|parallel or -query -mode.";
        return MStatus::kInvalidParameter;
    }
    if (!query && !setEvaluationMode(a.value("m"))) {
        *error =
            "evaluationManager: unknown mode '" + a.value("m") + "'; use off, serial or parallel.";
        return MStatus::kInvalidParameter;
    }
    result.setStrings({evaluationMode()});
    return MStatus::kSuccess;
}

MStatus dgdirtyCommand(const std::vector<Word>& args, ResultValue&, std::string* error) {
    Arguments a;
    if (!a.parse(args, {}, {"a|allPlugs"}, error)) return MStatus::kInvalidParameter;
    if (a.positional().empty()) {
        *error = "dgdirty: name the nodes to mark dirty.";
        return MStatus::kInvalidParameter;
    }
    for (const auto& name : a.positional()) {
        const auto node = Scene::instance().findNode(name);
        if (!node) {
            *error = "No object matches name: " + name;
            return MStatus::kInvalidParameter;
        }
        for (const auto& attribute : node->rootAttributes()) {
            if (node->alive) propagateDirty(makePlug(node, attribute, {}), true);
        }
    }
    return MStatus::kSuccess;
}

}  // namespace

void registerEvaluationCommands() {
    registerBuiltin("evaluationManager", evaluationManagerCommand);
    registerBuiltin("dgdirty", dgdirtyCommand);
}

}  // namespace headless::detail
