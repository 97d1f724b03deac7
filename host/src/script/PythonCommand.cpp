// The built-in python command: python("text") runs Python in the process's interpreter and
// gives an expression's value as a string.

#include <headless/Python.h>

#include "script/Interpreter.h"

namespace headless::detail {

namespace {

MStatus pythonCommand(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    if (args.size() != 1) {
        *error = "python: give one string of Python.";
        return MStatus::kInvalidParameter;
    }
    PythonRunner* runner = pythonRunner();
    if (!runner) {
        *error = "python: Python is not running in this process.";
        return MStatus::kFailure;
    }
    std::string value;
    if (!runner->evaluate(args[0].text, value)) {
        *error = "python: the Python text failed (see the lines above).";
        return MStatus::kFailure;
    }
    // Statements, or an expression that gives None, have no result.
    if (!value.empty()) result.setString(value);
    return MStatus::kSuccess;
}

}  // namespace

void registerPythonCommand() {
    registerBuiltin("python", pythonCommand);
}

}  // namespace headless::detail
