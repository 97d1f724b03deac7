#pragma once
// Headless host: where MGlobal::executePythonCommand and MEL's python("...") send their texts.
// Main thread only.
//
// The host library never links libpython. The process's one interpreter attaches itself here:
// the maya package's extension module when Python imports the host, or hostbatch's embedded
// interpreter. A process without one (a C++ test program) records the texts and says once that
// it did not run them.

#include <string>

namespace headless {

class PythonRunner {
  public:
    virtual ~PythonRunner() = default;
    // Runs the statements in __main__. False when they raised; the traceback is then shown as
    // "# Error: ..." lines.
    virtual bool execute(const std::string& text) = 0;
    // As MEL's python(): an expression gives its value as text, statements give "".
    virtual bool evaluate(const std::string& text, std::string& result) = 0;
};

// The runner stays owned by the caller; null detaches it.
void setPythonRunner(PythonRunner* runner);
PythonRunner* pythonRunner();

}  // namespace headless
