#include "script/Interpreter.h"

#include <map>
#include <memory>

#include <headless/ScriptOutput.h>
#include <maya/MArgList.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>

#include "core/Registry.h"

namespace headless::detail {

namespace {

// Main thread only.
std::map<std::string, BuiltinCommand>& builtins() {
    static std::map<std::string, BuiltinCommand> table;
    return table;
}

MStatus runPluginCommand(const CommandType& type, const std::vector<Word>& args, ResultValue& result,
                         std::string* error) {
    std::unique_ptr<MPxCommand> command(static_cast<MPxCommand*>(type.creator()));
    if (!command) {
        *error = type.name + ": the command could not be created.";
        return MStatus::kFailure;
    }
    MArgList list;
    for (const auto& word : args) list.addArg(MString(word.text.c_str()));
    pushResult();
    const MStatus status = command->doIt(list);
    result = popResult();
    if (!status) *error = type.name + ": " + status.errorString().asChar();
    return status;
}

}  // namespace

void registerBuiltin(const std::string& name, BuiltinCommand command) { builtins()[name] = std::move(command); }

StatementOutcome runStatement(const Statement& statement, bool echoResult) {
    registerAllBuiltins();
    StatementOutcome outcome;
    outcome.command = statement.words.front().text;
    const std::vector<Word> args(statement.words.begin() + 1, statement.words.end());
    if (const auto at = builtins().find(outcome.command); at != builtins().end()) {
        outcome.status = at->second(args, outcome.result, &outcome.error);
    } else if (const CommandType* type = Registry::instance().findCommand(outcome.command)) {
        // Copy: the command may unload the plug-in that registered it.
        const CommandType command = *type;
        outcome.status = runPluginCommand(command, args, outcome.result, &outcome.error);
    } else {
        outcome.status = MStatus::kNotFound;
        outcome.error = "Cannot find procedure \"" + outcome.command + "\".";
    }
    if (!outcome.status) {
        if (outcome.error.empty()) outcome.error = outcome.command + ": " + outcome.status.errorString().asChar();
        MGlobal::displayError(MString(outcome.error.c_str()));
        outcome.result.clear();
    } else if (echoResult && !outcome.result.items().empty()) {
        showScriptOutputLine("// Result: " + outcome.result.text() + " //");
    }
    return outcome;
}

}  // namespace headless::detail
