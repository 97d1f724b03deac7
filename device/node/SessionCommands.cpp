#include "device/node/SessionCommands.h"

#include <maya/MFn.h>

#include "device/node/CommandArguments.h"
#include "plugin/messages/PluginMessages.h"

MStatus mocapNetworkCommands::doIt(const MArgList& args) {
    const QueuedMessagesShown shownMessages;  // what the plug-in's threads posted
    const CommandUsage usage{registeredName(), "<LMRARealTimeDevice node>", 1, 1};
    if (!checkArgumentCount(args, usage)) return MStatus::kFailure;
    LMRARealTimeDevice* device =
        nodeArgument<LMRARealTimeDevice>(args, 0, usage, MFn::kPluginThreadedDevice);
    if (!device) return MStatus::kFailure;

    setResult(applyToDevice(*device));
    // Whatever the outcome (a failed connect may have ended an open session), a read of
    // connectionStatus right after the command shows what it did.
    device->publishStatus();
    return MStatus::kSuccess;
}

MStatus mocapNetworkCommands::undoIt() {
    return MStatus::kFailure;
}

bool mocapNetworkCommands::isUndoable() const {
    return false;
}
