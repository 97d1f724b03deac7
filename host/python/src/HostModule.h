#pragma once
// The _mayahost module under the maya package: the same definitions for the extension module
// that Python imports and for the module built into hostbatch's embedded interpreter.

#include <pybind11/pybind11.h>

namespace headless::python {

// `embedded`: the interpreter lives inside a host program, whose session is already running.
void defineHostModule(pybind11::module_& module, bool embedded);

// Drops every callback that Python added (before the interpreter ends).
void removePythonCallbacks();

}  // namespace headless::python
