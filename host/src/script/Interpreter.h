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
using BuiltinCommand =
    std::function<MStatus(const std::vector<Word>& args, ResultValue& result, std::string* error)>;

void registerBuiltin(const std::string& name, BuiltinCommand command);
// Every built-in command of the host, registered once.
void registerAllBuiltins();

struct StatementOutcome {
    std::string command;
    MStatus status;
    ResultValue result;
    std::string error;
};

// Runs one statement; a failure shows "// Error: ... //", a result "// Result: ... //" when echo is
// on. A statement written as a call, python("text"), runs as the command with its arguments.
StatementOutcome runStatement(const Statement& statement, bool echoResult);

// Runs a command by name with its argument words, as scripts and maya.cmds do. A failure shows
// "// Error: ... //" when showError is on.
StatementOutcome runCommand(const std::string& name, const std::vector<Word>& args, bool echoResult,
                            bool showError);

// A built-in command or one a loaded plug-in registered.
bool commandExists(const std::string& name);
std::vector<std::string> commandNames();

}  // namespace headless::detail
