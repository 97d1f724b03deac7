#include "PythonCallbacks.h"

#include <map>
#include <memory>
#include <vector>

#include <maya/MCommandMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MSceneMessage.h>
#include <maya/MUserEventMessage.h>

#include "HostModule.h"
#include "PythonTexts.h"

namespace py = pybind11;

namespace headless::python {

namespace {

struct PythonCallback {
    py::object function;
    py::object clientData;
};

// Main thread only (user events are posted from compute, which runs there). Never destroyed:
// its functions must go while the interpreter still runs, through removePythonCallbacks.
std::map<MCallbackId, std::unique_ptr<PythonCallback>>& held() {
    static auto* callbacks = new std::map<MCallbackId, std::unique_ptr<PythonCallback>>();
    return *callbacks;
}

// Removed callbacks, kept until the interpreter ends: a message being posted may still hold
// a copy of the host's entry that points at one.
std::vector<std::unique_ptr<PythonCallback>>& retired() {
    static auto* callbacks = new std::vector<std::unique_ptr<PythonCallback>>();
    return *callbacks;
}

// A callback that raises shows its traceback as the Script Editor does; the host goes on.
template <typename... Args>
void callPython(void* data, Args&&... args) {
    py::gil_scoped_acquire gil;
    const auto* callback = static_cast<const PythonCallback*>(data);
    // Copies: the function may remove its own callback.
    const py::object function = callback->function;
    const py::object clientData = callback->clientData;
    try {
        function(std::forward<Args>(args)..., clientData);
    } catch (py::error_already_set& error) {
        showPythonError(error);
    }
}

void basic(void* data) {
    callPython(data);
}

void attributeChanged(MNodeMessage::AttributeMessage msg, MPlug& plug, MPlug& otherPlug,
                      void* data) {
    callPython(data, static_cast<int>(msg), plug, otherPlug);
}

void commandOutput(const MString& message, MCommandMessage::MessageType type, void* data) {
    callPython(data, std::string(message.asChar()), static_cast<int>(type));
}

// Adds the callback through `add`, which receives the holder as client data.
template <typename Add>
MCallbackId hold(py::function function, py::object clientData, Add add) {
    auto callback = std::make_unique<PythonCallback>(
        PythonCallback{std::move(function), std::move(clientData)});
    MStatus status;
    const MCallbackId id = add(callback.get(), &status);
    if (!status || id == 0) throw std::runtime_error("The callback could not be added.");
    held()[id] = std::move(callback);
    return id;
}

}  // namespace

void removePythonCallbacks() {
    for (const auto& entry : held()) MMessage::removeCallback(entry.first);
    held().clear();
    retired().clear();
}

void defineCallbackFunctions(py::module_& m) {
    m.def("add_user_event_callback",
          [](const std::string& event, py::function fn, py::object clientData) {
              return hold(std::move(fn), std::move(clientData), [&](void* data, MStatus* status) {
                  return MUserEventMessage::addUserEventCallback(MString(event.c_str()), &basic,
                                                                 data, status);
              });
          });
    m.def("add_scene_callback", [](int message, py::function fn, py::object clientData) {
        return hold(std::move(fn), std::move(clientData), [&](void* data, MStatus* status) {
            return MSceneMessage::addCallback(static_cast<MSceneMessage::Message>(message), &basic,
                                              data, status);
        });
    });
    m.def("add_attribute_changed_callback", [](MObject node, py::function fn,
                                               py::object clientData) {
        return hold(std::move(fn), std::move(clientData), [&](void* data, MStatus* status) {
            return MNodeMessage::addAttributeChangedCallback(node, &attributeChanged, data, status);
        });
    });
    m.def("add_command_output_callback", [](py::function fn, py::object clientData) {
        return hold(std::move(fn), std::move(clientData), [&](void* data, MStatus* status) {
            return MCommandMessage::addCommandOutputCallback(&commandOutput, data, status);
        });
    });
    m.def("register_user_event", [](const std::string& event) {
        return static_cast<bool>(MUserEventMessage::registerUserEvent(MString(event.c_str())));
    });
    m.def("is_user_event", [](const std::string& event) {
        return MUserEventMessage::isUserEvent(MString(event.c_str()));
    });
    m.def("deregister_user_event", [](const std::string& event) {
        return static_cast<bool>(MUserEventMessage::deregisterUserEvent(MString(event.c_str())));
    });
    m.def("post_user_event", [](const std::string& event) {
        if (!MUserEventMessage::postUserEvent(MString(event.c_str()))) {
            throw std::runtime_error("\"" + event + "\" is not a registered user event.");
        }
    });
    m.def("remove_callback", [](MCallbackId id) {
        if (!MMessage::removeCallback(id))
            throw std::runtime_error("No callback has the id " + std::to_string(id) + ".");
        const auto at = held().find(id);
        if (at == held().end()) return;
        retired().push_back(std::move(at->second));
        held().erase(at);
    });
}

}  // namespace headless::python
