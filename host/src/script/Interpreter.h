#pragma once
// Runs command scripts: the host's built-in commands and every command a plug-in registered.

#include <functional>
#include <string>
#include <vector>

#include <maya/MStatus.h>

#include "script/CommandResult.h"
#include "script/Tokenizer.h"

namespace headless::detail {

// A built-in command: its words after the name; fills the result or a message.
using BuiltinCommand = std::function<MStatus(const std::vector<Word>& args, ResultValue& result, std::string* error)>;

void registerBuiltin(const std::string& name, BuiltinCommand command);
// Every built-in command of the host, registered once.
void registerAllBuiltins();

struct StatementOutcome {
    std::string command;
    MStatus status;
    ResultValue result;
    std::string error;
};

// Runs one statement; a failure shows "// Error: ... //", a result "// Result: ... //" when echo is on.
StatementOutcome runStatement(const Statement& statement, bool echoResult);

}  // namespace headless::detail
