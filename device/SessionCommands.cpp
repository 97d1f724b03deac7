#include "SessionCommands.h"

#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include "LMRARealTimeDevice.h"
#include "PluginMessages.h"

MStatus mocapNetworkCommands::doIt(const MArgList& args) {
    const QueuedMessagesShown shownMessages;  // what the plug-in's threads posted
    if (args.length() != 1) return MStatus::kFailure;
    MStatus status;
    const MString name = args.asString(0, &status);
    if (!status) return MStatus::kFailure;

    MSelectionList matches;
    MGlobal::getSelectionListByName(name, matches);
    MObject node;
    if (matches.length() == 0 || !matches.getDependNode(0, node) || node.isNull()) {
        return MStatus::kFailure;
    }
    if (node.apiType() != MFn::kPluginThreadedDevice) return MStatus::kFailure;
    auto* device = dynamic_cast<LMRARealTimeDevice*>(MFnDependencyNode(node).userNode());
    if (!device) return MStatus::kFailure;

    setResult(applyToDevice(*device));
    return MStatus::kSuccess;
}

MStatus mocapNetworkCommands::undoIt() { return MStatus::kFailure; }

bool mocapNetworkCommands::isUndoable() const { return false; }

const char* const establishConnection::commandName = "establishConnection";
void* establishConnection::creator() { return new establishConnection(); }
bool establishConnection::applyToDevice(LMRARealTimeDevice& device) { return device.connectToPhone(); }

const char* const startCaptureSession::commandName = "startMocapSession";
void* startCaptureSession::creator() { return new startCaptureSession(); }
bool startCaptureSession::applyToDevice(LMRARealTimeDevice& device) { return device.startSession(); }

const char* const pauseCaptureSession::commandName = "pauseMocapSession";
void* pauseCaptureSession::creator() { return new pauseCaptureSession(); }
bool pauseCaptureSession::applyToDevice(LMRARealTimeDevice& device) { return device.pauseSession(); }

const char* const stopCaptureSession::commandName = "stopMocapSession";
void* stopCaptureSession::creator() { return new stopCaptureSession(); }
bool stopCaptureSession::applyToDevice(LMRARealTimeDevice& device) { return device.stopSession(); }
