#pragma once
// Python functions as callbacks of the host's messages: user events, scene messages, attribute
// changes and command output. Each callback holds its function until it is removed.

#include <pybind11/pybind11.h>

namespace headless::python {

void defineCallbackFunctions(pybind11::module_& module);
void removePythonCallbacks();

}  // namespace headless::python
