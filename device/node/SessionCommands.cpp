#include "device/node/SessionCommands.h"

#include <maya/MFn.h>

#include "device/node/CommandArguments.h"
#include "device/node/LMRARealTimeDevice.h"
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

const char* const establishConnection::commandName = "establishConnection";
void* establishConnection::creator() {
    return new establishConnection();
}
const char* establishConnection::registeredName() const {
    return commandName;
}
bool establishConnection::applyToDevice(LMRARealTimeDevice& device) {
    return device.connectToPhone();
}

const char* const startCaptureSession::commandName = "startMocapSession";
void* startCaptureSession::creator() {
    return new startCaptureSession();
}
const char* startCaptureSession::registeredName() const {
    return commandName;
}
bool startCaptureSession::applyToDevice(LMRARealTimeDevice& device) {
    return device.startSession();
}

const char* const pauseCaptureSession::commandName = "pauseMocapSession";
void* pauseCaptureSession::creator() {
    return new pauseCaptureSession();
}
const char* pauseCaptureSession::registeredName() const {
    return commandName;
}
bool pauseCaptureSession::applyToDevice(LMRARealTimeDevice& device) {
    return device.pauseSession();
}

const char* const stopCaptureSession::commandName = "stopMocapSession";
void* stopCaptureSession::creator() {
    return new stopCaptureSession();
}
const char* stopCaptureSession::registeredName() const {
    return commandName;
}
bool stopCaptureSession::applyToDevice(LMRARealTimeDevice& device) {
    return device.stopSession();
}
