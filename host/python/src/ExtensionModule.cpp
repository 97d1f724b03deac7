// The host as a Python extension module, for python3 processes: `import maya.standalone`.

#include "HostModule.h"

PYBIND11_MODULE(_mayahost, module) {
    headless::python::defineHostModule(module, false);
}
