#include "saveCaptureData.h"

#include "ClipWriterThreads.h"
#include "CommandArguments.h"
#include "EnsureParentFolder.h"
#include "LMRARealTimeDevice.h"

#include <maya/MFn.h>
#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <string>
#include <utility>

const char* const saveCaptureData::commandName = "saveMocapData";

void* saveCaptureData::creator() { return new saveCaptureData; }

namespace {

const CommandUsage kUsage{saveCaptureData::commandName,
                          "<LMRARealTimeDevice node> <clip path> <seconds> [<video path>]", 3,
                          CommandUsage::kAnyCount};

}  // namespace

MStatus saveCaptureData::doIt(const MArgList& args) {
    if (!checkArgumentCount(args, kUsage)) return MStatus::kFailure;
    LMRARealTimeDevice* device =
        nodeArgument<LMRARealTimeDevice>(args, 0, kUsage, MFn::kPluginThreadedDevice);
    if (!device) return MStatus::kFailure;

    SaveToFileArguments arguments;
    if (!device->copyRecording(arguments.recording)) return MStatus::kSuccess;  // no connection

    MString clipPath;
    MString clipLength;
    MString videoPath;
    if (!readTextArgument(args, 1, kUsage, clipPath) || !readTextArgument(args, 2, kUsage, clipLength) ||
        (args.length() > 3 && !readTextArgument(args, 3, kUsage, videoPath))) {
        return MStatus::kFailure;
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
