#include <headless/EmbeddedPython.h>

#include <unistd.h>
#include <climits>

#include <headless/Session.h>
#include <pybind11/embed.h>

#include "HostModule.h"
#include "PythonTexts.h"

namespace py = pybind11;

PYBIND11_EMBEDDED_MODULE(_mayahost, module) {
    headless::python::defineHostModule(module, true);
}

#if defined(__SANITIZE_ADDRESS__)
// CPython keeps some of its start-up allocations to the end of the process on purpose.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libpython3\n";
}
// The list of suppressions used would otherwise end every run's output. The leak checker's
// tracking of dynamically loaded modules' thread-local blocks misreads glibc's grown table of
// them once a run has loaded many modules (the plug-in, Python's extensions, the resolver's), and
// its tracer crashes at exit; nothing of ours keeps heap pointers in such blocks.
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0:intercept_tls_get_addr=0";
}
#endif

namespace headless {

namespace {

// <program folder>/../python holds the maya package.
std::string packageFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "python";
    const std::string program(path, static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/')) + "/../python";
}

int exitCode(py::error_already_set& error) {
    const py::object code = error.value().attr("code");
    if (code.is_none()) return 0;
    if (py::isinstance<py::int_>(code)) return code.cast<int>();
    py::print(code, py::arg("file") = py::module_::import("sys").attr("stderr"));
    return 1;
}

}  // namespace

EmbeddedPython::EmbeddedPython() {
    py::initialize_interpreter();
    const py::module_ sys = py::module_::import("sys");
    sys.attr("path").attr("insert")(0, packageFolder());
    // Python's lines keep their place among the host's lines in a pipe.
    sys.attr("stdout").attr("reconfigure")(py::arg("line_buffering") = true);
    sys.attr("stderr").attr("reconfigure")(py::arg("line_buffering") = true);
    py::module_::import("_mayahost");
}

EmbeddedPython::~EmbeddedPython() {
    py::module_::import("_mayahost").attr("at_exit")();
    py::finalize_interpreter();
}

int EmbeddedPython::runFile(const std::string& path, const std::vector<std::string>& args) {
    py::list argv;
    argv.append(path);
    for (const auto& arg : args) argv.append(arg);
    py::module_::import("sys").attr("argv") = argv;
    const py::dict scope = py::module_::import("__main__").attr("__dict__");
    scope["__file__"] = path;
    try {
        py::eval_file(path, scope);
        return 0;
    } catch (py::error_already_set& error) {
        if (error.matches(PyExc_SystemExit)) return exitCode(error);
        python::showPythonError(error);
        return 1;
    }
}

}  // namespace headless
