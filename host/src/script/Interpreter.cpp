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

MStatus runPluginCommand(const CommandType& type, const std::vector<Word>& args,
                         ResultValue& result, std::string* error) {
    std::unique_ptr<MPxCommand> command(static_cast<MPxCommand*>(type.creator()));
    if (!command) {
        *error = type.name + ": the command could not be created.";
        return MStatus::kFailure;
    }
    MArgList list;
    for (std::size_t i = 0; i < args.size(); ++i) {
        // A keyword flag from Python with a bool: True gives the bare flag, False leaves it out.
        if (i + 1 < args.size() && args[i + 1].switchValue) {
            if (args[i + 1].text != "0") list.addArg(MString(args[i].text.c_str()));
            ++i;
            continue;
        }
        list.addArg(MString(args[i].text.c_str()));
    }
    pushResult();
    const MStatus status = command->doIt(list);
    result = popResult();
    if (!status) *error = type.name + ": " + status.errorString().asChar();
    return status;
}

}  // namespace

void registerBuiltin(const std::string& name, BuiltinCommand command) {
    builtins()[name] = std::move(command);
}

StatementOutcome runStatement(const Statement& statement, bool echoResult) {
    std::string name = statement.words.front().text;
    std::vector<Word> args(statement.words.begin() + 1, statement.words.end());
    // The call form of a command: name("text", 2) is name "text" 2.
    if (name.size() > 1 && name.back() == '(' && !args.empty() && !args.back().quoted &&
        args.back().text == ")") {
        name.pop_back();
        args.pop_back();
        std::vector<Word> values;
        for (auto& word : args) {
            if (word.quoted || word.text != ",") values.push_back(std::move(word));
        }
        args = std::move(values);
    }
    return runCommand(name, args, echoResult, true);
}

StatementOutcome runCommand(const std::string& name, const std::vector<Word>& args, bool echoResult,
                            bool showError) {
    registerAllBuiltins();
    StatementOutcome outcome;
    outcome.command = name;
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
        if (outcome.error.empty())
            outcome.error = outcome.command + ": " + outcome.status.errorString().asChar();
        if (showError) MGlobal::displayError(MString(outcome.error.c_str()));
        outcome.result.clear();
    } else if (echoResult && !outcome.result.items().empty()) {
        showScriptOutputLine("// Result: " + outcome.result.text() + " //");
    }
    return outcome;
}

bool commandExists(const std::string& name) {
    registerAllBuiltins();
    return builtins().count(name) > 0 || Registry::instance().findCommand(name) != nullptr;
}

std::vector<std::string> commandNames() {
    registerAllBuiltins();
    std::vector<std::string> names;
    for (const auto& entry : builtins()) names.push_back(entry.first);
    for (const auto& command : Registry::instance().commands()) names.push_back(command.name);
    return names;
}

}  // namespace headless::detail
