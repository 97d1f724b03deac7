#include <headless/Python.h>
#include <headless/ScriptOutput.h>
#include <maya/MCommandMessage.h>
#include <maya/MGlobal.h>
#include "core/ThreadCheck.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <thread>

#include "api/Callbacks.h"

namespace {

struct OutputCallback {
    MCallbackId id;
    MCommandMessage::MMessageFunction function;
    void* clientData;
};

struct PendingLine {
    std::string text;
    MCommandMessage::MessageType type;
};

// Shown from the main thread and from plug-in threads alike, so every access is guarded.
struct OutputLog {
    std::mutex mutex;
    std::vector<std::string> lines;
    std::vector<std::string> python;
    bool echo = true;
    std::vector<OutputCallback> callbacks;
    std::vector<PendingLine>
        pending;  // lines of other threads, for the callbacks on the main thread
};

OutputLog& log() {
    static OutputLog instance;
    return instance;
}

// The texts the log keeps (lines shown, Python commands) are read and cleared under its lock.
using LoggedTexts = std::vector<std::string> OutputLog::*;

std::vector<std::string> copyOf(LoggedTexts texts) {
    std::lock_guard<std::mutex> lock(log().mutex);
    return log().*texts;
}

void clear(LoggedTexts texts) {
    std::lock_guard<std::mutex> lock(log().mutex);
    (log().*texts).clear();
}

// The thread that loaded the host runs Maya's main loop.
const std::thread::id mainThread = std::this_thread::get_id();

// Main thread only, as MGlobal::executePythonCommand.
headless::PythonRunner* attachedRunner = nullptr;
bool toldNoPython = false;

void deliver(const std::vector<PendingLine>& lines) {
    for (const auto& line : lines) {
        std::vector<OutputCallback> toCall;
        {
            std::lock_guard<std::mutex> lock(log().mutex);
            toCall = log().callbacks;
        }
        for (const auto& c : toCall)
            c.function(MString(line.text.c_str()), line.type, c.clientData);
    }
}

void show(const std::string& line, const std::string& message, MCommandMessage::MessageType type) {
    auto& l = log();
    bool callNow = false;
    {
        std::lock_guard<std::mutex> lock(l.mutex);
        l.lines.push_back(line);
        if (l.echo) {
            std::fputs(line.c_str(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        }
        if (!l.callbacks.empty()) {
            callNow = std::this_thread::get_id() == mainThread;
            if (!callNow) l.pending.push_back(PendingLine{message, type});
        }
    }
    if (callNow) deliver({PendingLine{message, type}});
}

MCommandMessage::MessageType kindOf(const std::string& line) {
    const auto starts = [&line](const char* prefix) { return line.rfind(prefix, 0) == 0; };
    if (starts("// Error: ") || starts("# Error: ")) return MCommandMessage::kError;
    if (starts("// Warning: ") || starts("# Warning: ")) return MCommandMessage::kWarning;
    if (starts("// Result: ")) return MCommandMessage::kResult;
    return MCommandMessage::kInfo;
}

}  // namespace

namespace headless {

std::vector<std::string> scriptOutputLines() {
    return copyOf(&OutputLog::lines);
}

void clearScriptOutput() {
    clear(&OutputLog::lines);
}

std::vector<std::string> pythonCommands() {
    return copyOf(&OutputLog::python);
}

void clearPythonCommands() {
    clear(&OutputLog::python);
}

void showScriptOutputLine(const std::string& line) {
    show(line, line, kindOf(line));
}

void setEchoScriptOutput(bool echo) {
    std::lock_guard<std::mutex> lock(log().mutex);
    log().echo = echo;
}

void setPythonRunner(PythonRunner* runner) {
    attachedRunner = runner;
}

PythonRunner* pythonRunner() {
    return attachedRunner;
}

namespace detail {

bool removeCommandOutputCallback(MCallbackId id) {
    std::lock_guard<std::mutex> lock(log().mutex);
    auto& callbacks = log().callbacks;
    const auto at = std::find_if(callbacks.begin(), callbacks.end(),
                                 [id](const OutputCallback& c) { return c.id == id; });
    if (at == callbacks.end()) return false;
    callbacks.erase(at);
    return true;
}

void deliverCommandOutput() {
    std::vector<PendingLine> lines;
    {
        std::lock_guard<std::mutex> lock(log().mutex);
        lines.swap(log().pending);
    }
    deliver(lines);
}

}  // namespace detail

}  // namespace headless

MCallbackId MCommandMessage::addCommandOutputCallback(MCommandMessage::MMessageFunction func,
                                                      void* clientData, MStatus* ReturnStatus) {
    if (ReturnStatus) *ReturnStatus = func ? MStatus::kSuccess : MStatus::kInvalidParameter;
    if (!func) return 0;
    const MCallbackId id = headless::detail::nextCallbackId();
    std::lock_guard<std::mutex> lock(log().mutex);
    log().callbacks.push_back(OutputCallback{id, func, clientData});
    return id;
}

void MGlobal::displayInfo(const MString& text) {
    headless::detail::requireMainThread("MGlobal::displayInfo");
    show(text.asChar(), text.asChar(), MCommandMessage::kInfo);
}

void MGlobal::displayWarning(const MString& text) {
    headless::detail::requireMainThread("MGlobal::displayWarning");
    show(std::string("// Warning: ") + text.asChar() + " //", text.asChar(),
         MCommandMessage::kWarning);
}

void MGlobal::displayError(const MString& text) {
    headless::detail::requireMainThread("MGlobal::displayError");
    show(std::string("// Error: ") + text.asChar() + " //", text.asChar(), MCommandMessage::kError);
}

MStatus MGlobal::executePythonCommand(const MString& command, bool, bool) {
    headless::detail::requireMainThread("MGlobal::executePythonCommand");
    // Maya runs Python on its main thread only; another thread would wait on the interpreter
    // that the main thread holds.
    if (std::this_thread::get_id() != mainThread) {
        // Shown without MGlobal, so that the wrong-thread call counts once.
        const char* const text =
            "MGlobal::executePythonCommand is for the main thread only; the text was not run.";
        show(std::string("// Error: ") + text + " //", text, MCommandMessage::kError);
        return MStatus::kFailure;
    }
    {
        std::lock_guard<std::mutex> lock(log().mutex);
        log().python.emplace_back(command.asChar());
    }
    if (!attachedRunner) {
        if (!toldNoPython) {
            toldNoPython = true;
            MGlobal::displayWarning(
                "Python is not running in this process: its texts are recorded, not run.");
        }
        return MStatus::kSuccess;
    }
    return attachedRunner->execute(command.asChar()) ? MStatus::kSuccess : MStatus::kFailure;
}
