#include "HostModule.h"

#include <headless/ApiThreads.h>
#include <headless/Python.h>
#include <headless/Session.h>
#include <maya/MCommandMessage.h>
#include <maya/MGlobal.h>
#include <maya/MNodeMessage.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MSceneMessage.h>
#include <maya/MString.h>
#include <maya/MUserEventMessage.h>
#include <pybind11/stl.h>

#include "CommandCall.h"
#include "PythonCallbacks.h"
#include "PythonTexts.h"
#include "core/Scene.h"
#include "script/Interpreter.h"
#include "threaded/IdleQueue.h"
#include "threaded/MainLoop.h"

namespace py = pybind11;

namespace headless::python {

namespace {

// Main thread only; true once maya.standalone.initialize ran or in an embedding host program.
bool standaloneReady = false;

MainModuleRunner& runner() {
    // Never destroyed: the host may still look for it while the process exits.
    static auto* instance = new MainModuleRunner();
    return *instance;
}

py::object melEval(const std::string& text) {
    requireMainThreadForPython("maya.mel.eval");
    std::vector<detail::Statement> statements;
    std::string error;
    if (!detail::tokenize(text, statements, &error)) throw std::runtime_error(error);
    detail::ResultValue last;
    for (const auto& statement : statements) {
        detail::StatementOutcome outcome = detail::runStatement(statement, false);
        if (!outcome.status) throw std::runtime_error(outcome.error);
        last = std::move(outcome.result);
    }
    return toPython(last);
}

// maya.utils.executeDeferred: the call goes on the host's idle queue with evalDeferred's
// commands and MGlobal's idle tasks, so it runs wherever idle events are served (between
// hostbatch's commands, in sleep and refresh, at processIdleEvents), never by itself in batch
// mode. Any thread may post.
void executeDeferred(py::function function) {
    // The function is released with the interpreter's lock held; after the interpreter has ended
    // (a call still queued at exit) its reference is left, never released without the lock.
    std::shared_ptr<py::object> held(new py::object(std::move(function)), [](py::object* object) {
        if (Py_IsInitialized()) {
            py::gil_scoped_acquire gil;
            delete object;
        } else {
            object->release();
            delete object;
        }
    });
    detail::IdleQueue::instance().post([held] {
        py::gil_scoped_acquire gil;
        try {
            (*held)();
        } catch (py::error_already_set& error) {
            showPythonError(error);
        }
    });
}

MObject nodeObject(const std::string& name) {
    const auto node = detail::Scene::instance().findNode(name);
    if (!node) throw py::value_error("No object matches name: " + name);
    return node->object();
}

void defineApiTypes(py::module_& m) {
    py::class_<MObject>(m, "MObject")
        .def(py::init<>())
        .def("isNull", &MObject::isNull)
        .def("__eq__", [](const MObject& a, const MObject& b) { return a == b; });
    py::class_<MPlug>(m, "MPlug")
        .def(py::init<>())
        .def("isNull", [](const MPlug& p) { return p.isNull(); })
        .def("name", [](const MPlug& p) { return std::string(p.name().asChar()); })
        .def(
            "partialName",
            [](const MPlug& p, bool includeNodeName, bool useLongNames) {
                return std::string(
                    p.partialName(includeNodeName, false, false, false, false, useLongNames)
                        .asChar());
            },
            py::arg("includeNodeName") = false, py::arg("useLongNames") = false)
        .def("node", [](const MPlug& p) { return p.node(); })
        .def("asDouble", [](const MPlug& p) { return p.asDouble(); })
        .def("asInt", [](const MPlug& p) { return p.asInt(); })
        .def("asBool", [](const MPlug& p) { return p.asBool(); })
        .def("asString", [](const MPlug& p) { return std::string(p.asString().asChar()); });
}

}  // namespace

void defineHostModule(py::module_& m, bool embedded) {
    m.doc() = "The headless host, as the maya package reaches it.";
    setPythonRunner(&runner());
    standaloneReady = embedded;
    defineApiTypes(m);

    m.def("call", &callCommand, "Runs a command as maya.cmds does.");
    m.def("command_exists", &detail::commandExists);
    m.def("command_names", &detail::commandNames);
    m.def("mel_eval", &melEval);

    m.def("ready", [] { return standaloneReady && sessionRunning(); });
    m.def("initialize", [] {
        beginSession();
        standaloneReady = true;
    });
    m.def("uninitialize", [] {
        endSession();
        standaloneReady = false;
    });
    m.def("at_exit", [] {
        // The interpreter ends: the plug-ins end first, while their Python texts can still run.
        endSession();
        removePythonCallbacks();
        setPythonRunner(nullptr);
    });
    m.def("wrong_thread_call_count", &wrongThreadCallCount,
          "Calls of the API made from a thread other than the main thread (each one an error).");
    m.def("clear_wrong_thread_calls", &clearWrongThreadCalls);
    m.def("execute_deferred", &executeDeferred,
          "Runs a callable at the next round of idle events, from any thread.");
    m.def(
        "serve_main_loop", [] { return detail::processIdleEvents(); },
        "Serves one round of idle events: pending refreshes, idle tasks and commands, messages of "
        "other threads.");

    // MGlobal's messages, as maya.api.OpenMaya.MGlobal shows them.
    m.def("display_info",
          [](const std::string& text) { MGlobal::displayInfo(MString(text.c_str())); });
    m.def("display_warning",
          [](const std::string& text) { MGlobal::displayWarning(MString(text.c_str())); });
    m.def("display_error",
          [](const std::string& text) { MGlobal::displayError(MString(text.c_str())); });

    m.def("node_object", &nodeObject);
    m.def("node_name", [](const MObject& node) {
        for (const auto& n : detail::Scene::instance().nodes()) {
            if (n->object() == node) return n->name;
        }
        throw py::value_error("The object is not a node of the scene.");
    });

    m.attr("kBeforeNew") = static_cast<int>(MSceneMessage::kBeforeNew);
    m.attr("kAfterNew") = static_cast<int>(MSceneMessage::kAfterNew);
    m.attr("kBeforeOpen") = static_cast<int>(MSceneMessage::kBeforeOpen);
    m.attr("kAfterOpen") = static_cast<int>(MSceneMessage::kAfterOpen);
    m.attr("kMayaExiting") = static_cast<int>(MSceneMessage::kMayaExiting);
    defineCallbackFunctions(m);
}

}  // namespace headless::python
