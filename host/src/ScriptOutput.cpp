#include <headless/ScriptOutput.h>
#include <maya/MGlobal.h>

#include <cstdio>
#include <mutex>

namespace {

// Shown from the main thread and from plug-in threads alike, so every access is guarded.
struct OutputLog {
    std::mutex mutex;
    std::vector<std::string> lines;
    std::vector<std::string> python;
    bool echo = true;
};

OutputLog& log() {
    static OutputLog instance;
    return instance;
}

void show(const std::string& line) {
    auto& l = log();
    std::lock_guard<std::mutex> lock(l.mutex);
    l.lines.push_back(line);
    if (l.echo) {
        std::fputs(line.c_str(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
}

}  // namespace

namespace headless {

std::vector<std::string> scriptOutputLines() {
    std::lock_guard<std::mutex> lock(log().mutex);
    return log().lines;
}

void clearScriptOutput() {
    std::lock_guard<std::mutex> lock(log().mutex);
    log().lines.clear();
}

std::vector<std::string> pythonCommands() {
    std::lock_guard<std::mutex> lock(log().mutex);
    return log().python;
}

void clearPythonCommands() {
    std::lock_guard<std::mutex> lock(log().mutex);
    log().python.clear();
}

void showScriptOutputLine(const std::string& line) { show(line); }

void setEchoScriptOutput(bool echo) {
    std::lock_guard<std::mutex> lock(log().mutex);
    log().echo = echo;
}

}  // namespace headless

void MGlobal::displayInfo(const MString& text) { show(text.asChar()); }

void MGlobal::displayWarning(const MString& text) {
    show(std::string("// Warning: ") + text.asChar() + " //");
}

void MGlobal::displayError(const MString& text) {
    show(std::string("// Error: ") + text.asChar() + " //");
}

MStatus MGlobal::executePythonCommand(const MString& command, bool, bool) {
    std::lock_guard<std::mutex> lock(log().mutex);
    log().python.emplace_back(command.asChar());
    return MStatus::kSuccess;
}
