#pragma once
// Headless host: plug-ins for tests. Main thread only.

#include <string>

#include <maya/MObject.h>
#include <maya/MStatus.h>

namespace headless {

// As loadPlugin: NAME, NAME.so or a path; searched as given, in each folder of
// MAYA_PLUG_IN_PATH, in <folder of the program>/../plug-ins and in $LMRA_BUILD_DIR/plug-ins.
// The library is opened with dlopen(RTLD_NOW | RTLD_LOCAL).
MStatus loadPlugin(const std::string& nameOrPath, std::string* error = nullptr);
// As unloadPlugin: refused while nodes of the plug-in's types exist.
MStatus unloadPlugin(const std::string& name, std::string* error = nullptr);
bool isPluginLoaded(const std::string& name);

// A plug-in defined by the test program itself. Attach an MFnPlugin to object() and register
// node types and commands as initializePlugin would; the destructor deletes the nodes of those
// types and drops the registrations.
//
//   headless::InProcessPlugin plugin("testNodes");
//   MFnPlugin fn(plugin.object(), "Tests", "1.0");
//   fn.registerNode("testAdder", MTypeId(0x7f001), &Adder::creator, &Adder::initialize);
class InProcessPlugin {
  public:
    explicit InProcessPlugin(std::string name);
    ~InProcessPlugin();
    InProcessPlugin(const InProcessPlugin&) = delete;
    InProcessPlugin& operator=(const InProcessPlugin&) = delete;

    MObject& object() { return object_; }
    const std::string& name() const { return name_; }

  private:
    std::string name_;
    MObject object_;
};

}  // namespace headless
