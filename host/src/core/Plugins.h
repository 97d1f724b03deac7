#pragma once
// Loaded plug-ins: shared libraries opened with dlopen, or plug-ins that a test program defines
// in-process. Main thread only.

#include <memory>
#include <string>
#include <vector>

#include <maya/MStatus.h>

#include "core/HostObject.h"

namespace headless::detail {

// The object that initializePlugin receives and MFnPlugin attaches to.
class PluginRecord : public HostObject {
  public:
    ~PluginRecord() override;
    MFn::Type apiType() const override { return MFn::kBase; }

    std::string name;
    std::string path;
    std::string vendor = "Unknown";
    std::string version = "Unknown";
    std::string requiredApiVersion = "Any";
    std::string builtForApi;
    void* library = nullptr;  // dlopen handle; null for an in-process plug-in
    using Hook = MStatus (*)(MObject);
    Hook uninitialize = nullptr;
};

class PluginManager {
  public:
    static PluginManager& instance();

    // Finds the library (a path, MAYA_PLUG_IN_PATH, <bin>/../plug-ins, $LMRA_BUILD_DIR/plug-ins),
    // reads MApiVersion and runs initializePlugin. Loading a loaded plug-in does nothing.
    MStatus load(const std::string& nameOrPath, std::string* loadedName, std::string* error);
    // Refused while nodes of the plug-in's types exist; otherwise runs uninitializePlugin,
    // drops what it left registered and closes the library.
    MStatus unload(const std::string& name, std::string* error);
    std::shared_ptr<PluginRecord> find(const std::string& name) const;
    std::vector<std::shared_ptr<PluginRecord>> loaded() const { return plugins_; }

    std::shared_ptr<PluginRecord> addInProcess(const std::string& name);
    // Deletes the nodes of its types, then drops its registrations.
    void removeInProcess(const std::string& name);

    // Ends every plug-in before the process exits (their code must outlive their nodes).
    void shutdown();

  private:
    bool nodesOfPluginExist(const std::string& name) const;
    void dropRegistrations(const std::string& name);
    std::string locate(const std::string& nameOrPath) const;

    std::vector<std::shared_ptr<PluginRecord>> plugins_;
};

}  // namespace headless::detail
