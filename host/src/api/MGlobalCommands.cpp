// MGlobal's command and selection functions (display functions live with the script output).

#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include "core/ThreadCheck.h"

#include <headless/Script.h>

namespace {

headless::CommandResult run(const MString& command, bool displayEnabled) {
    headless::detail::requireMainThread("MGlobal::executeCommand");
    headless::ScriptOptions options;
    options.echoResults = displayEnabled;
    const auto outcome = headless::runScript(command.asChar(), options);
    if (!outcome.error.empty()) {
        headless::CommandResult failed;
        failed.ok = false;
        return failed;
    }
    return outcome.commands.empty() ? headless::CommandResult() : outcome.commands.back();
}

}  // namespace

MStatus MGlobal::executeCommand(const MString& command, bool displayEnabled, bool) {
    return run(command, displayEnabled).ok ? MStatus::kSuccess : MStatus::kFailure;
}

MStatus MGlobal::executeCommand(const MString& command, MString& result, bool displayEnabled,
                                bool) {
    const auto outcome = run(command, displayEnabled);
    result = MString(outcome.result.c_str());
    return outcome.ok ? MStatus::kSuccess : MStatus::kFailure;
}

MStatus MGlobal::executeCommand(const MString& command, MStringArray& result, bool displayEnabled,
                                bool) {
    const auto outcome = run(command, displayEnabled);
    result.clear();
    for (const auto& item : outcome.items) result.append(MString(item.c_str()));
    return outcome.ok ? MStatus::kSuccess : MStatus::kFailure;
}

MStatus MGlobal::executeCommand(const MString& command, double& result, bool displayEnabled, bool) {
    const auto outcome = run(command, displayEnabled);
    result = outcome.items.empty() ? 0.0 : MString(outcome.items.front().c_str()).asDouble();
    return outcome.ok ? MStatus::kSuccess : MStatus::kFailure;
}

MStatus MGlobal::executeCommand(const MString& command, int& result, bool displayEnabled, bool) {
    const auto outcome = run(command, displayEnabled);
    result = outcome.items.empty() ? 0 : MString(outcome.items.front().c_str()).asInt();
    return outcome.ok ? MStatus::kSuccess : MStatus::kFailure;
}

MStatus MGlobal::getSelectionListByName(const MString& name, MSelectionList& list) {
    headless::detail::requireMainThread("MGlobal::getSelectionListByName");
    list.clear();
    return list.add(name);
}
