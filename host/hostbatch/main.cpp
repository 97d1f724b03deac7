// hostbatch: runs Maya-style command scripts and Python files against the headless host.
//
//   hostbatch [-batch] [-stop-on-error] (-c "script" | FILE | FILE.py)...
//
// A FILE.py runs in the embedded interpreter as __main__; an exception it raises counts as a
// failed command, its traceback shown as "# Error: ..." lines. Scripts reach Python through
// python("..."). At the end the session ends: kMayaExiting, then the plug-ins unload.
//
// Every command's result is echoed as Maya's script editor does ("// Result: 2.5 //"); a
// failing command prints "// Error: ... //". The exit status is 1 when any command failed (at
// once with -stop-on-error) or when a plug-in called the API from a thread other than the main
// thread, 2 for wrong usage or an unreadable file, 0 otherwise. At the end of the run the host
// posts MSceneMessage::kMayaExiting and unloads the plug-ins, as Maya does when it quits.
//
// By default the session is interactive, as Maya with its UI: idle events (device refreshes,
// idle tasks and commands, evalDeferred, Python's deferred calls) are served between top-level
// commands (a Python file is one), while "sleep SECONDS" runs (the user waiting in the UI) and
// at "refresh", which also waits up to a second for the next request of every live device node.
// With -batch the session is as "mayabatch": no idle event is ever served, so device outputs do not
// update by themselves.

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <headless/ApiThreads.h>
#include <headless/EmbeddedPython.h>
#include <headless/MainLoop.h>
#include <headless/Script.h>
#include <headless/Session.h>

namespace {

int usage() {
    std::cerr << "usage: hostbatch [-batch] [-stop-on-error] (-c \"script\" | FILE | FILE.py)...\n";
    return 2;
}

struct Script {
    std::string text;
    std::string pythonFile;  // set for a FILE.py
};

bool isPythonFile(const std::string& path) {
    return path.size() > 3 && path.compare(path.size() - 3, 3, ".py") == 0;
}

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    content << in.rdbuf();
    text = content.str();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bool stopOnError = false;
    bool batch = false;
    std::vector<Script> scripts;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-stop-on-error") {
            stopOnError = true;
        } else if (arg == "-batch") {
            batch = true;
            headless::setBatchMode(true);
        } else if (arg == "-c") {
            if (++i >= argc) return usage();
            scripts.push_back(Script{argv[i], ""});
        } else if (!arg.empty() && arg[0] == '-') {
            return usage();
        } else {
            std::string text;
            if (!readFile(arg, text)) {
                std::cerr << "hostbatch: cannot read " << arg << "\n";
                return 2;
            }
            scripts.push_back(isPythonFile(arg) ? Script{"", arg} : Script{std::move(text), ""});
        }
    }
    if (scripts.empty()) return usage();

    headless::EmbeddedPython python;
    headless::ScriptOptions options;
    options.stopOnError = stopOnError;
    options.idleBetweenCommands = true;
    bool failed = false;
    for (const auto& script : scripts) {
        bool ok = true;
        if (script.pythonFile.empty()) {
            ok = headless::runScript(script.text, options).ok();
        } else {
            ok = python.runFile(script.pythonFile, {}) == 0;
            // A Python file is one top-level command: what it left for idle time runs now.
            if (!batch) headless::processIdleEvents();
        }
        failed = !ok || failed;
        if (failed && stopOnError) break;
    }
    // Maya quits: plug-ins finish their work (clip writers) before the process's exit handlers.
    headless::endSession();
    // A plug-in that called the API from one of its own threads fails the run.
    if (headless::wrongThreadCallCount() > 0) failed = true;
    return failed ? 1 : 0;
}
