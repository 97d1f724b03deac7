#include "core/Plugins.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <maya/MObject.h>

#include "core/HostAccess.h"
#include "core/Registry.h"
#include "core/Scene.h"
#include "threaded/DeviceWorkers.h"

namespace fs = std::filesystem;

namespace headless::detail {

namespace {

#define LMRA_HOST_STRINGIZE2(name) #name
#define LMRA_HOST_STRINGIZE(name) LMRA_HOST_STRINGIZE2(name)

// The symbol of "MStatus hook(MObject)" in the Itanium C++ ABI that the host's compilers use:
// plug-ins export their hooks with C++ names, as in Maya, so a hook declared with another
// signature is not found here either.
std::string hookSymbol(const std::string& hook) {
    const std::string space = LMRA_HOST_STRINGIZE(OPENMAYA_MAJOR_NAMESPACE);
    return "_Z" + std::to_string(hook.size()) + hook + "N8Autodesk4Maya" +
           std::to_string(space.size()) + space + "7MObjectE";
}

std::vector<std::string> candidates(const std::string& base) {
    if (fs::path(base).extension() == ".so") return {base};
    return {base + ".so", base};
}

std::string executableFolder() {
    std::error_code ignored;
    const fs::path self = fs::read_symlink("/proc/self/exe", ignored);
    return self.empty() ? std::string() : self.parent_path().string();
}

std::string stemOf(const std::string& path) {
    return fs::path(path).stem().string();
}

void closeLibrary(void* library) {
    if (library) dlclose(library);
}

void shutdownAtExit() {
    PluginManager::instance().shutdown();
}

}  // namespace

PluginRecord::~PluginRecord() = default;

PluginManager& PluginManager::instance() {
    static PluginManager manager;
    return manager;
}

std::string PluginManager::locate(const std::string& nameOrPath) const {
    std::vector<std::string> folders;
    if (nameOrPath.find('/') != std::string::npos) folders.push_back("");
    if (const char* paths = std::getenv("MAYA_PLUG_IN_PATH")) {
        std::string list = paths;
        std::size_t begin = 0;
        while (begin <= list.size()) {
            const auto end = std::min(list.find(':', begin), list.size());
            if (end > begin) folders.push_back(list.substr(begin, end - begin));
            begin = end + 1;
        }
    }
    if (const auto bin = executableFolder(); !bin.empty()) folders.push_back(bin + "/../plug-ins");
    if (const char* build = std::getenv("LMRA_BUILD_DIR"))
        folders.push_back(std::string(build) + "/plug-ins");
    if (nameOrPath.find('/') == std::string::npos) folders.insert(folders.begin(), ".");
    for (const auto& folder : folders) {
        for (const auto& file : candidates(nameOrPath)) {
            const fs::path path = folder.empty() ? fs::path(file) : fs::path(folder) / file;
            std::error_code ignored;
            if (fs::is_regular_file(path, ignored))
                return fs::absolute(path, ignored).lexically_normal().string();
        }
    }
    return {};
}

MStatus PluginManager::load(const std::string& nameOrPath, std::string* loadedName,
                            std::string* error) {
    // The scene and the registry must outlive the exit-time shutdown registered below.
    Scene::instance();
    if (nameOrPath.empty()) {
        *error = "loadPlugin needs the name or the path of a plug-in.";
        return MStatus::kInvalidParameter;
    }
    const std::string path = locate(nameOrPath);
    const std::string name = stemOf(path.empty() ? nameOrPath : path);
    if (find(name)) {
        *loadedName = name;
        return MStatus::kSuccess;
    }
    if (path.empty()) {
        // Maya's words, with what to do when the search path is missing.
        *error = "Plug-in, \"" + nameOrPath + "\", was not found on MAYA_PLUG_IN_PATH.";
        if (!std::getenv("MAYA_PLUG_IN_PATH"))
            *error += " MAYA_PLUG_IN_PATH is not set: set it to the folder that holds the plug-in.";
        return MStatus::kNotFound;
    }
    std::unique_ptr<void, void (*)(void*)> library(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL),
                                                   &closeLibrary);
    if (!library) {
        const char* why = dlerror();
        *error = "Cannot load plug-in \"" + path + "\": " + (why ? why : "unknown error");
        return MStatus::kFailure;
    }
    const auto* apiVersion = static_cast<const char*>(dlsym(library.get(), "MApiVersion"));
    auto initialize = reinterpret_cast<PluginRecord::Hook>(
        dlsym(library.get(), hookSymbol("initializePlugin").c_str()));
    auto uninitialize = reinterpret_cast<PluginRecord::Hook>(
        dlsym(library.get(), hookSymbol("uninitializePlugin").c_str()));
    if (!apiVersion || !initialize || !uninitialize) {
        *error = "\"" + path +
                 "\" is not a plug-in: it lacks MApiVersion, initializePlugin(MObject) or "
                 "uninitializePlugin(MObject).";
        return MStatus::kFailure;
    }
    auto record = std::make_shared<PluginRecord>();
    record->name = name;
    record->path = path;
    record->builtForApi.assign(apiVersion, strnlen(apiVersion, 32));
    record->uninitialize = uninitialize;
    plugins_.push_back(record);
    const MStatus status = initialize(wrap(record));
    if (!status) {
        plugins_.erase(std::remove(plugins_.begin(), plugins_.end(), record), plugins_.end());
        dropRegistrations(name);
        *error = "initializePlugin of \"" + name + "\" failed.";
        return status;
    }
    record->library = library.release();
    // Registered after the plug-in's own statics, so it runs before they are destroyed.
    static const bool registered = std::atexit(&shutdownAtExit) == 0;
    (void)registered;
    *loadedName = name;
    return MStatus::kSuccess;
}

bool PluginManager::nodesOfPluginExist(const std::string& name) const {
    const auto& nodes = Scene::instance().nodes();
    return std::any_of(nodes.begin(), nodes.end(),
                       [&](const auto& node) { return node->type->pluginName == name; });
}

void PluginManager::dropRegistrations(const std::string& name) {
    auto& registry = Registry::instance();
    std::string ignored;
    for (const auto& type : registry.types()) {
        if (type->pluginName == name) registry.deregisterNodeType(type->id, name, &ignored);
    }
    for (const auto& command : registry.commands()) {
        if (command.pluginName == name) registry.deregisterCommand(command.name, name, &ignored);
    }
}

MStatus PluginManager::unload(const std::string& name, std::string* error) {
    const auto record = find(name);
    if (!record) {
        *error = "Plug-in \"" + name + "\" is not loaded.";
        return MStatus::kNotFound;
    }
    if (nodesOfPluginExist(name)) {
        *error =
            "Plug-in \"" + name + "\" is still in use: nodes of its types exist. Unload refused.";
        return MStatus::kFailure;
    }
    // As in Maya: deleted nodes wait on the undo queue with the plug-in's code behind them.
    const auto& queued = Scene::instance().undoQueue();
    if (std::any_of(queued.begin(), queued.end(),
                    [&](const auto& node) { return node->type->pluginName == name; })) {
        *error = "Plug-in \"" + name +
                 "\" is still in use: deleted nodes of its types are on the undo queue. Use the "
                 "flushUndo "
                 "command, then unload it.";
        return MStatus::kFailure;
    }
    // Closing the library under a worker that still runs its code would crash the process.
    reapStuckWorkers(std::chrono::milliseconds(0));
    if (stuckWorkerCount(name) > 0) {
        *error = "Plug-in \"" + name +
                 "\" is still in use: a device worker thread still runs. Unload refused.";
        return MStatus::kFailure;
    }
    if (record->uninitialize) {
        const MStatus status = record->uninitialize(wrap(record));
        if (!status) *error = "uninitializePlugin of \"" + name + "\" failed.";
    }
    dropRegistrations(name);
    plugins_.erase(std::remove(plugins_.begin(), plugins_.end(), record), plugins_.end());
    closeLibrary(record->library);
    record->library = nullptr;
    return MStatus::kSuccess;
}

std::shared_ptr<PluginRecord> PluginManager::find(const std::string& name) const {
    for (const auto& record : plugins_) {
        if (record->name == name) return record;
    }
    return nullptr;
}

std::shared_ptr<PluginRecord> PluginManager::addInProcess(const std::string& name) {
    if (auto existing = find(name)) return existing;
    auto record = std::make_shared<PluginRecord>();
    record->name = name;
    plugins_.push_back(record);
    return record;
}

void PluginManager::removeInProcess(const std::string& name) {
    auto& scene = Scene::instance();
    std::string ignored;
    while (true) {
        const auto& nodes = scene.nodes();
        const auto at = std::find_if(nodes.begin(), nodes.end(),
                                     [&](const auto& n) { return n->type->pluginName == name; });
        if (at == nodes.end()) break;
        const auto node = *at;
        if (!scene.deleteNode(node, &ignored)) break;
    }
    scene.flushUndo(name);
    dropRegistrations(name);
    plugins_.erase(std::remove_if(plugins_.begin(), plugins_.end(),
                                  [&](const auto& r) { return r->name == name; }),
                   plugins_.end());
}

void PluginManager::shutdown() {
    Scene::instance().reset();
    for (auto at = plugins_.rbegin(); at != plugins_.rend(); ++at) {
        if ((*at)->uninitialize) (*at)->uninitialize(wrap(*at));
        dropRegistrations((*at)->name);
    }
    plugins_.clear();
}

}  // namespace headless::detail
