#pragma once
// Runs Python texts for the host (MGlobal::executePythonCommand, MEL's python("...")) in the
// interpreter of the process, in __main__, as Maya's Script Editor does.

#include <string>

#include <headless/Python.h>
#include <pybind11/pybind11.h>

namespace headless::python {

class MainModuleRunner : public PythonRunner {
  public:
    bool execute(const std::string& text) override;
    bool evaluate(const std::string& text, std::string& result) override;
};

// Shows the exception being handled as the Script Editor does: each line of its traceback as
// "# Error: ..." in the script output.
void showPythonError(pybind11::error_already_set& error);

}  // namespace headless::python
