#pragma once
// Headless host: the Python interpreter that a host program (hostbatch) embeds, for MEL's
// python("..."), for Python script files and for MGlobal::executePythonCommand. One per process;
// main thread only.
//
//   headless::EmbeddedPython python;        // maya.cmds and friends importable
//   int status = python.runFile("take.py", {});
//
// The destructor ends the session (kMayaExiting, plug-ins unloaded) before the interpreter ends.

#include <string>
#include <vector>

namespace headless {

class EmbeddedPython {
  public:
    EmbeddedPython();
    ~EmbeddedPython();
    EmbeddedPython(const EmbeddedPython&) = delete;
    EmbeddedPython& operator=(const EmbeddedPython&) = delete;

    // Runs the file as __main__ with sys.argv = [path, args...]. Gives 0, 1 when it raised (its
    // traceback shown as "# Error: ..." lines), or the code given to sys.exit.
    int runFile(const std::string& path, const std::vector<std::string>& args);
};

}  // namespace headless
