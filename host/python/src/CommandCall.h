#pragma once
// maya.cmds calls: Python arguments turned into the words a script would give the command, and
// the command's result turned into what Maya's cmds returns.

#include <string>
#include <vector>

#include <pybind11/pybind11.h>

#include "script/CommandResult.h"
#include "script/Tokenizer.h"

namespace headless::python {

// Positional values become quoted words (numbers as MEL writes them; lists flattened); each
// keyword becomes its flag, then its value: a tuple gives several words, a list repeats the
// flag for each item, a bool is a switch value.
std::vector<detail::Word> wordsFromCall(const pybind11::tuple& args, const pybind11::dict& kwargs);

// None, bool, int, float, str, a list of them, or [(x, y, z)] for one compound plug.
pybind11::object toPython(const detail::ResultValue& result);

// maya.cmds and maya.mel run on Maya's main thread only: from another thread the call is counted
// as an API call from a wrong thread and raises RuntimeError.
void requireMainThreadForPython(const std::string& call);

// Runs the command as maya.cmds does: no echo; a failure raises RuntimeError with its message.
pybind11::object callCommand(const std::string& name, const pybind11::tuple& args,
                             const pybind11::dict& kwargs);

}  // namespace headless::python
