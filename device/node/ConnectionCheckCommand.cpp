#include "device/node/ConnectionCheckCommand.h"

#include <maya/MFn.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include "device/node/CommandArguments.h"
#include "device/node/LMRARealTimeDevice.h"
#include "plugin/messages/PluginMessages.h"

const char* const checkPhoneConnection::commandName = "checkPhoneConnection";

MStatus checkPhoneConnection::doIt(const MArgList& args) {
    const QueuedMessagesShown shownMessages;  // what the plug-in's threads posted
    const CommandUsage usage{commandName, "<LMRARealTimeDevice node>", 1, 1};
    if (!checkArgumentCount(args, usage)) return MStatus::kFailure;
    LMRARealTimeDevice* device =
        nodeArgument<LMRARealTimeDevice>(args, 0, usage, MFn::kPluginThreadedDevice);
    if (!device) return MStatus::kFailure;

    MStringArray lines;
    for (const std::string& line : device->checkConnection()) {
        // A step that did not go through is a warning: the check itself did its work.
        const bool wentWrong = line.find(": failed: ") != std::string::npos ||
                               line.find(": warning: ") != std::string::npos;
        if (wentWrong) {
            MGlobal::displayWarning(line.c_str());
        } else {
            MGlobal::displayInfo(line.c_str());
        }
        lines.append(line.c_str());
    }
    setResult(lines);
    return MStatus::kSuccess;
}
