// Built-in command on evaluation: evaluationManager -mode off|serial|parallel.

#include "evaluation/EvaluationManager.h"
#include "script/Arguments.h"
#include "script/Interpreter.h"
#include "script/ScriptNumbers.h"

namespace headless::detail {

namespace {

MStatus evaluationManagerCommand(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    const bool query = isQuery(args);
    const bool parsed = query ? a.parse(args, {}, {"q|query", "m|mode"}, error) : a.parse(args, {"m|mode"}, {}, error);
    if (!parsed) return MStatus::kInvalidParameter;
    if (!a.has("m") || !a.positional().empty()) {
        *error = "evaluationManager: use -mode off|serial|parallel or -query -mode.";
        return MStatus::kInvalidParameter;
    }
    if (!query && !setEvaluationMode(a.value("m"))) {
        *error = "evaluationManager: unknown mode '" + a.value("m") + "'; use off, serial or parallel.";
        return MStatus::kInvalidParameter;
    }
    result.setStrings({evaluationMode()});
    return MStatus::kSuccess;
}

}  // namespace

void registerEvaluationCommands() { registerBuiltin("evaluationManager", evaluationManagerCommand); }

}  // namespace headless::detail
