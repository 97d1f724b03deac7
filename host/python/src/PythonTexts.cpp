#include "PythonTexts.h"

#include <headless/ScriptOutput.h>

namespace py = pybind11;

namespace headless::python {

void showPythonError(py::error_already_set& error) {
    std::string text;
    try {
        const py::object format = py::module_::import("traceback").attr("format_exception");
        const auto orNone = [](const py::handle& h) {
            return h ? py::reinterpret_borrow<py::object>(h) : py::none();
        };
        for (const auto& part :
             format(orNone(error.type()), orNone(error.value()), orNone(error.trace()))) {
            text += py::str(part);
        }
    } catch (const py::error_already_set&) {
        text = error.what();
    }
    std::size_t begin = 0;
    while (begin < text.size()) {
        auto end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        showScriptOutputLine("# Error: " + text.substr(begin, end - begin));
        begin = end + 1;
    }
}

namespace {

// As the Script Editor names the texts it runs; line numbers are the text's own.
py::object compileText(const std::string& text, const char* mode) {
    return py::module_::import("builtins").attr("compile")(text, "<maya console>", mode);
}

void runStatements(const std::string& text, const py::object& scope) {
    py::module_::import("builtins").attr("exec")(compileText(text, "exec"), scope);
}

}  // namespace

bool MainModuleRunner::execute(const std::string& text) {
    py::gil_scoped_acquire gil;
    try {
        runStatements(text, py::module_::import("__main__").attr("__dict__"));
        return true;
    } catch (py::error_already_set& error) {
        showPythonError(error);
        return false;
    }
}

bool MainModuleRunner::evaluate(const std::string& text, std::string& result) {
    py::gil_scoped_acquire gil;
    const py::object scope = py::module_::import("__main__").attr("__dict__");
    try {
        py::object compiled;
        bool expression = true;
        try {
            compiled = compileText(text, "eval");
        } catch (py::error_already_set& notExpression) {
            if (!notExpression.matches(PyExc_SyntaxError)) throw;
            expression = false;
        }
        if (!expression) {
            runStatements(text, scope);
            result.clear();
            return true;
        }
        const py::object value = py::module_::import("builtins").attr("eval")(compiled, scope);
        result = value.is_none() ? std::string() : std::string(py::str(value));
        return true;
    } catch (py::error_already_set& error) {
        showPythonError(error);
        return false;
    }
}

}  // namespace headless::python
