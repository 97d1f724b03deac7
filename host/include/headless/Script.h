#pragma once
// Headless host: runs Maya-style command scripts in this process, through the same interpreter
// as hostbatch. Main thread only.
//
//   headless::CommandResult r = headless::execute("createNode transform -n t1; getAttr
//   t1.translateX");
//   // r.ok == true, r.result == "0"
//
// Results are texts as Maya's script editor echoes them: doubles like %g ("2.5", "0", "1e-05"),
// booleans "1"/"0", strings bare, arrays space-separated (each item also in `items`).

#include <string>
#include <vector>

namespace headless {

struct CommandResult {
    std::string command;             // the command's name
    bool ok = true;                  // the command succeeded
    std::string result;              // its result text; empty when it gives none
    std::vector<std::string> items;  // the result's items (one for a single value)
    std::string error;               // the message shown when it failed
};

struct ScriptResult {
    std::vector<CommandResult> commands;  // one per command run, in order
    std::string error;                    // a syntax error of the script itself

    bool ok() const;
};

struct ScriptOptions {
    bool stopOnError = true;  // stop at the first failing command
    bool echoResults = true;  // show "// Result: ... //" lines in the script output
    // Top-level commands, as typed into Maya: in interactive mode, the idle events pending
    // after each command are served before the next (hostbatch's scripts).
    bool idleBetweenCommands = false;
};

ScriptResult runScript(const std::string& script, const ScriptOptions& options = {});

// Runs the script, stopping at the first failure; gives the last command run (the failing one
// if any). An empty script gives ok with no command.
CommandResult execute(const std::string& script);

}  // namespace headless
