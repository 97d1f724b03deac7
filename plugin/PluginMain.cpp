// The plug-in's load and unload hooks: registration of its node types, commands and user event.

#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MMessage.h>
#include <maya/MObject.h>
#include <maya/MSceneMessage.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MUserEventMessage.h>

#include "pose/nodes/LMRAAdapter.h"
#include "pose/nodes/LMRAAttributeCollection.h"
#include "pose/nodes/LMRAPose.h"
#include "pose/nodes/LMRAPoseApply.h"
#include "pose/nodes/LMRAPoselib.h"
#include "device/node/LMRARealTimeDevice.h"
#include "device/channels/LumoraPythonTexts.h"
#include "device/node/SessionCommands.h"
#include "device/node/ConnectionCheckCommand.h"
#include "clip/nodes/ClipWriterThreads.h"
#include "clip/nodes/LMRAClipReader.h"
#include "clip/nodes/LoadCaptureCommand.h"
#include "clip/nodes/TakeInfoCommand.h"
#include "clip/nodes/saveCaptureData.h"
#include "plugin/messages/PluginMessages.h"

namespace {

// Registered at load, removed at unload; both on the main thread.
MCallbackId exitingCallback = 0;

// Maya is quitting, and may not unload the plug-in before the process ends: takes being written
// are finished now, while the libraries they use are still whole, and what is queued is shown.
void finishBeforeExit(void*) {
    waitForClipWriters();
    showQueuedMessages();
}

}  // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Korvest", "2.2.1", "Any");
    // From here on the plug-in's threads report through its queue, shown on the main thread.
    setMessageSink(&pluginMessageQueue());

    const MString statusEvent(LMRARealTimeDevice::statusEventName);
    if (!MUserEventMessage::isUserEvent(statusEvent) && !MUserEventMessage::registerUserEvent(statusEvent)) {
        MGlobal::displayError("Cannot register user callback \"LMRARltDvceConnStatusChanged\"");
    }

    // Node types, in load order.
    plugin.registerNode(LMRAPose::kTypeName, LMRAPose::kTypeId, &LMRAPose::creator,
                        &LMRAPose::initialize, MPxNode::kDependNode);
    plugin.registerNode(LMRAPoseApply::kTypeName, LMRAPoseApply::kTypeId, &LMRAPoseApply::creator,
                        &LMRAPoseApply::initialize, MPxNode::kDependNode);
    plugin.registerNode(LMRAAttributeCollection::kTypeName, LMRAAttributeCollection::kTypeId,
                        &LMRAAttributeCollection::creator, &LMRAAttributeCollection::initialize,
                        MPxNode::kObjectSet);
    plugin.registerNode(LMRAPoselib::kTypeName, LMRAPoselib::kTypeId, &LMRAPoselib::creator,
                        &LMRAPoselib::initialize, MPxNode::kObjectSet);
    plugin.registerNode(LMRAAdapter::kTypeName, LMRAAdapter::kTypeId, &LMRAAdapter::creator,
                        &LMRAAdapter::initialize, MPxNode::kObjectSet);
    plugin.registerNode(LMRARealTimeDevice::typeName, LMRARealTimeDevice::id, &LMRARealTimeDevice::creator,
                        &LMRARealTimeDevice::initialize, MPxNode::kThreadedDeviceNode);
    plugin.registerNode(LMRAClipReader::typeName, LMRAClipReader::id, &LMRAClipReader::creator,
                        &LMRAClipReader::initialize, MPxNode::kDependNode);

    // Commands, in load order.
    plugin.registerCommand(saveCaptureData::commandName, &saveCaptureData::creator);
    plugin.registerCommand(establishConnection::commandName, &establishConnection::creator);
    plugin.registerCommand(startCaptureSession::commandName, &startCaptureSession::creator);
    plugin.registerCommand(pauseCaptureSession::commandName, &pauseCaptureSession::creator);
    plugin.registerCommand(stopCaptureSession::commandName, &stopCaptureSession::creator);
    plugin.registerCommand(LoadCaptureCommand::commandName, &LoadCaptureCommand::creator);
    plugin.registerCommand(checkPhoneConnection::commandName, &checkPhoneConnection::creator);
    plugin.registerCommand(TakeInfoCommand::commandName, &TakeInfoCommand::creator);

    exitingCallback = MSceneMessage::addCallback(MSceneMessage::kMayaExiting, &finishBeforeExit);

    MGlobal::executePythonCommand(kLumoraPluginInit, false, false);
    return MStatus::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    if (exitingCallback != 0) MMessage::removeCallback(exitingCallback);
    exitingCallback = 0;

    const MString statusEvent(LMRARealTimeDevice::statusEventName);
    if (MUserEventMessage::isUserEvent(statusEvent) && !MUserEventMessage::deregisterUserEvent(statusEvent)) {
        MGlobal::displayError("Cannot deregister user callback \"LMRARltDvceConnStatusChanged\"");
    }

    // Node types, in unload order.
    plugin.deregisterNode(LMRAAttributeCollection::kTypeId);
    plugin.deregisterNode(LMRAPoselib::kTypeId);
    plugin.deregisterNode(LMRAPose::kTypeId);
    plugin.deregisterNode(LMRAPoseApply::kTypeId);
    plugin.deregisterNode(LMRARealTimeDevice::id);
    plugin.deregisterNode(LMRAClipReader::id);
    plugin.deregisterNode(LMRAAdapter::kTypeId);

    // Commands, in the order they were registered.
    plugin.deregisterCommand(saveCaptureData::commandName);
    waitForClipWriters();  // a detached writer must not outlive the plug-in's code
    plugin.deregisterCommand(establishConnection::commandName);
    plugin.deregisterCommand(startCaptureSession::commandName);
    plugin.deregisterCommand(pauseCaptureSession::commandName);
    plugin.deregisterCommand(stopCaptureSession::commandName);
    plugin.deregisterCommand(LoadCaptureCommand::commandName);
    plugin.deregisterCommand(checkPhoneConnection::commandName);
    plugin.deregisterCommand(TakeInfoCommand::commandName);

    MGlobal::executePythonCommand(kLumoraPluginCleanup, false, false);

    // The writers are done and the nodes gone: show what they left, then stop queueing.
    setMessageSink(nullptr);
    showQueuedMessages();
    return MStatus::kSuccess;
}
