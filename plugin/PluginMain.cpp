// The plug-in's load and unload hooks: registration of its node types, commands and user event.

#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MMessage.h>
#include <maya/MObject.h>
#include <maya/MSceneMessage.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MUserEventMessage.h>

#include "clip/nodes/ClipWriterThreads.h"
#include "clip/nodes/LMRAClipReader.h"
#include "clip/nodes/LoadCaptureCommand.h"
#include "clip/nodes/TakeInfoCommand.h"
#include "clip/nodes/saveCaptureData.h"
#include "device/channels/LumoraPythonTexts.h"
#include "device/node/ConnectionCheckCommand.h"
#include "device/node/LMRARealTimeDevice.h"
#include "device/node/SessionCommands.h"
#include "plugin/messages/PluginMessages.h"
#include "plugin/messages/StatusChecks.h"
#include "pose/nodes/LMRAAdapter.h"
#include "pose/nodes/LMRAAttributeCollection.h"
#include "pose/nodes/LMRAPose.h"
#include "pose/nodes/LMRAPoseApply.h"
#include "pose/nodes/LMRAPoselib.h"

namespace {

// Registered at load, removed at unload; both on the main thread.
MCallbackId exitingCallback = 0;

// Maya is quitting, and may not unload the plug-in before the process ends: takes being written
// are finished now, while the libraries they use are still whole, and what is queued is shown.
void finishBeforeExit(void*) {
    waitForClipWriters();
    showQueuedMessages();
}

// Shows a registration or deregistration that failed, with the action and the name it was for.
void checkRegistration(const MStatus& status, const char* action, const MString& name) {
    reportIfFailed(status, (MString(action) + name).asChar(), __FILE__);
}

template <class Node>
void registerNodeType(MFnPlugin& plugin, MPxNode::Type type) {
    checkRegistration(plugin.registerNode(Node::kTypeName, Node::kTypeId, &Node::creator,
                                          &Node::initialize, type),
                      "registering the node type ", Node::kTypeName);
}

// The commands, in the order given.
template <class... Commands>
void registerCommandTypes(MFnPlugin& plugin) {
    (checkRegistration(plugin.registerCommand(Commands::commandName, &Commands::creator),
                       "registering the command ", Commands::commandName),
     ...);
}

// The node types, in the order given.
template <class... Nodes>
void deregisterNodeTypes(MFnPlugin& plugin) {
    (checkRegistration(plugin.deregisterNode(Nodes::kTypeId), "deregistering the node type ",
                       Nodes::kTypeName),
     ...);
}

// The commands, in the order given.
template <class... Commands>
void deregisterCommandTypes(MFnPlugin& plugin) {
    (checkRegistration(plugin.deregisterCommand(Commands::commandName),
                       "deregistering the command ", Commands::commandName),
     ...);
}

}  // namespace

// Every registration is checked and a failure shown with what failed; the rest still registers,
// so that what did register is removed again by uninitializePlugin (Maya does not call it when
// initializePlugin fails).
PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MStatus status;
    MFnPlugin plugin(obj, "Korvest", "2.2.1", "Any", &status);
    reportIfFailed(status, "attaching to the plug-in", __FILE__);
    // From here on the plug-in's threads report through its queue, shown on the main thread.
    setMessageSink(&pluginMessageQueue());

    const MString statusEvent(LMRARealTimeDevice::statusEventName);
    if (!MUserEventMessage::isUserEvent(statusEvent) &&
        !MUserEventMessage::registerUserEvent(statusEvent)) {
        MGlobal::displayError("Cannot register user callback \"LMRARltDvceConnStatusChanged\"");
    }

    // Node types, in load order.
    registerNodeType<LMRAPose>(plugin, MPxNode::kDependNode);
    registerNodeType<LMRAPoseApply>(plugin, MPxNode::kDependNode);
    registerNodeType<LMRAAttributeCollection>(plugin, MPxNode::kObjectSet);
    registerNodeType<LMRAPoselib>(plugin, MPxNode::kObjectSet);
    registerNodeType<LMRAAdapter>(plugin, MPxNode::kObjectSet);
    registerNodeType<LMRARealTimeDevice>(plugin, MPxNode::kThreadedDeviceNode);
    registerNodeType<LMRAClipReader>(plugin, MPxNode::kDependNode);

    registerCommandTypes<saveCaptureData, establishConnection, startCaptureSession,
                         pauseCaptureSession, stopCaptureSession, LoadCaptureCommand,
                         checkPhoneConnection, TakeInfoCommand>(plugin);

    exitingCallback = MSceneMessage::addCallback(MSceneMessage::kMayaExiting, &finishBeforeExit,
                                                 nullptr, &status);
    reportIfFailed(status, "adding the callback at Maya's exit", __FILE__);

    // Its own failures are swallowed by the text itself: a missing companion package never fails
    // the plug-in.
    MGlobal::executePythonCommand(kLumoraPluginInit, false, false);
    return MStatus::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    if (exitingCallback != 0) MMessage::removeCallback(exitingCallback);
    exitingCallback = 0;

    const MString statusEvent(LMRARealTimeDevice::statusEventName);
    if (MUserEventMessage::isUserEvent(statusEvent) &&
        !MUserEventMessage::deregisterUserEvent(statusEvent)) {
        MGlobal::displayError("Cannot deregister user callback \"LMRARltDvceConnStatusChanged\"");
    }

    // Node types in unload order, then commands in the order they were registered.
    deregisterNodeTypes<LMRAAttributeCollection, LMRAPoselib, LMRAPose, LMRAPoseApply,
                        LMRARealTimeDevice, LMRAClipReader, LMRAAdapter>(plugin);
    deregisterCommandTypes<saveCaptureData>(plugin);
    waitForClipWriters();  // a detached writer must not outlive the plug-in's code
    deregisterCommandTypes<establishConnection, startCaptureSession, pauseCaptureSession,
                           stopCaptureSession, LoadCaptureCommand, checkPhoneConnection,
                           TakeInfoCommand>(plugin);

    MGlobal::executePythonCommand(kLumoraPluginCleanup, false, false);

    // The writers are done and the nodes gone: show what they left, then stop queueing.
    setMessageSink(nullptr);
    showQueuedMessages();
    return MStatus::kSuccess;
}
