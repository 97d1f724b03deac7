// Built-in commands on plug-ins, and print.

#include <headless/ScriptOutput.h>

#include "core/Plugins.h"
#include "core/Registry.h"
#include "script/Arguments.h"
#include "script/Interpreter.h"

namespace headless::detail {

namespace {

MStatus loadPlugin(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {}, {"qt|quiet"}, error)) return MStatus::kInvalidParameter;
    if (a.positional().size() != 1) {
        *error = "loadPlugin: give one plug-in name or path.";
        return MStatus::kInvalidParameter;
    }
    std::string name;
    const MStatus status = PluginManager::instance().load(a.positional()[0], &name, error);
    if (status) result.setStrings({name});
    return status;
}

MStatus unloadPlugin(const std::vector<Word>& args, ResultValue&, std::string* error) {
    Arguments a;
    if (!a.parse(args, {}, {"f|force"}, error)) return MStatus::kInvalidParameter;
    if (a.positional().size() != 1) {
        *error = "unloadPlugin: give one plug-in name.";
        return MStatus::kInvalidParameter;
    }
    return PluginManager::instance().unload(a.positional()[0], error);
}

MStatus pluginInfo(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {},
                 {"q|query", "dn|dependNode", "c|command", "l|loaded", "v|version", "vd|vendor"},
                 error)) {
        return MStatus::kInvalidParameter;
    }
    if (a.positional().size() != 1) {
        *error = "pluginInfo: give one plug-in name.";
        return MStatus::kInvalidParameter;
    }
    const auto record = PluginManager::instance().find(a.positional()[0]);
    if (a.has("l")) {
        result.setBool(record != nullptr);
        return MStatus::kSuccess;
    }
    if (!record) {
        *error = "pluginInfo: plug-in \"" + a.positional()[0] + "\" is not loaded.";
        return MStatus::kNotFound;
    }
    std::vector<std::string> names;
    if (a.has("dn")) {
        for (const auto& type : Registry::instance().types()) {
            if (type->pluginName == record->name) names.push_back(type->name);
        }
    } else if (a.has("c")) {
        for (const auto& command : Registry::instance().commands()) {
            if (command.pluginName == record->name) names.push_back(command.name);
        }
    } else if (a.has("v")) {
        result.setString(record->version);
        return MStatus::kSuccess;
    } else if (a.has("vd")) {
        result.setString(record->vendor);
        return MStatus::kSuccess;
    } else {
        *error = "pluginInfo: use -dependNode, -command, -loaded, -version or -vendor.";
        return MStatus::kInvalidParameter;
    }
    result.setStrings(names);
    return MStatus::kSuccess;
}

MStatus print(const std::vector<Word>& args, ResultValue&, std::string* error) {
    if (args.size() != 1) {
        *error = "print: give one value.";
        return MStatus::kInvalidParameter;
    }
    std::string text = args[0].text;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    std::size_t begin = 0;
    while (true) {
        const auto end = text.find('\n', begin);
        showScriptOutputLine(
            text.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
        if (end == std::string::npos) break;
        begin = end + 1;
    }
    return MStatus::kSuccess;
}

}  // namespace

void registerPluginCommands() {
    registerBuiltin("loadPlugin", loadPlugin);
    registerBuiltin("unloadPlugin", unloadPlugin);
    registerBuiltin("pluginInfo", pluginInfo);
    registerBuiltin("print", print);
}

}  // namespace headless::detail
