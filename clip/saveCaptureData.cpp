#include "saveCaptureData.h"

#include "ClipWriterThreads.h"
#include "EnsureParentFolder.h"
#include "LMRARealTimeDevice.h"
#include "PluginMessages.h"

#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include <string>
#include <utility>

const char* const saveCaptureData::commandName = "saveMocapData";

void* saveCaptureData::creator() { return new saveCaptureData; }

namespace {

LMRARealTimeDevice* findDevice(const MString& name) {
    MSelectionList list;
    if (!MGlobal::getSelectionListByName(name, list)) return nullptr;
    MObject node;
    if (!list.getDependNode(0, node)) return nullptr;
    if (node.apiType() != MFn::kPluginThreadedDevice) return nullptr;
    return dynamic_cast<LMRARealTimeDevice*>(MFnDependencyNode(node).userNode());
}

}  // namespace

MStatus saveCaptureData::doIt(const MArgList& args) {
    const QueuedMessagesShown shownMessages;  // what the plug-in's threads posted
    if (args.length() < 3) return MStatus::kFailure;
    MStatus status;
    const MString deviceName = args.asString(0, &status);
    if (!status) return MStatus::kFailure;
    LMRARealTimeDevice* device = findDevice(deviceName);
    if (!device) return MStatus::kFailure;

    SaveToFileArguments arguments;
    if (!device->copyRecording(arguments.recording)) return MStatus::kSuccess;  // no connection

    const MString clipPath = args.asString(1, &status);
    if (!status) return MStatus::kFailure;
    const MString clipLength = args.asString(2, &status);
    if (!status) return MStatus::kFailure;
    MString videoPath;
    if (args.length() > 3) {
        videoPath = args.asString(3, &status);
        if (!status) return MStatus::kFailure;
    }
    arguments.clipPath = clipPath.asChar();
    arguments.clipLength = clipLength.asInt();

    const auto& frames = arguments.recording.frames;
    if (frames.empty() || arguments.clipLength <= 0) return MStatus::kSuccess;  // nothing to write

    // The node is used here, on the main thread, and never by the writer thread: the node may be
    // deleted while the writer runs.
    const double endTime = frames.back().timestamp;
    const double startTime = endTime - static_cast<double>(arguments.clipLength);
    if (videoPath.length() > 0) device->saveCapture(videoPath.asChar(), startTime, endTime);

    // Prepared here so that its message reaches the script output from the main thread.
    ensureParentFolder(arguments.clipPath);
    if (!startClipWriter(std::move(arguments))) {
        MGlobal::displayError("Cannot start a thread to write the clip.");
        return MStatus::kFailure;
    }
    return MStatus::kSuccess;
}
