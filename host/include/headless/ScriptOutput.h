#pragma once
// Headless host: the script output that MGlobal writes to, kept for tests. Thread-safe.

#include <string>
#include <vector>

namespace headless {

// Every line shown so far, as Maya's script output prints it ("// Error: text //" and so on).
std::vector<std::string> scriptOutputLines();
void clearScriptOutput();

// Every text handed to MGlobal::executePythonCommand, in order (there is no interpreter).
std::vector<std::string> pythonCommands();
void clearPythonCommands();

// Shows a line as it is (a command's echoed result, printed text).
void showScriptOutputLine(const std::string& line);

// Writes every line also to standard output (on by default).
void setEchoScriptOutput(bool echo);

}  // namespace headless
