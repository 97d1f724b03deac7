#include "clip/nodes/saveCaptureData.h"

#include "clip/folders/EnsureParentFolder.h"
#include "clip/folders/FilePathChecks.h"
#include "clip/format/ClipWindow.h"
#include "clip/nodes/ClipWriterThreads.h"
#include "device/node/CommandArguments.h"
#include "device/node/LMRARealTimeDevice.h"
#include "plugin/messages/PluginMessages.h"
#include "transport/outcomes/SaveOutcomes.h"

#include <maya/MFn.h>
#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

const char* const saveCaptureData::commandName = "saveMocapData";

namespace {

const CommandUsage kUsage{saveCaptureData::commandName,
                          "<LMRARealTimeDevice node> <clip path> <seconds> [<video path>]", 3,
                          CommandUsage::kAnyCount};

MStatus refuse(const std::string& message) {
    MGlobal::displayError(MString(message.c_str()));
    return MStatus::kFailure;
}

// The clip length: a number of seconds above zero, fractions included, written as nothing else.
bool parseClipLength(const std::string& text, double& seconds) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    seconds = std::strtod(begin, &end);
    if (end == begin || errno == ERANGE) return false;
    while (*end == ' ' || *end == '\t') ++end;
    return *end == '\0' && std::isfinite(seconds) && seconds > 0.0;
}

// Checks what can be known before anything starts: that the clip and the video can be written
// where they are to go, and are not one file. Makes the folders that are missing.
MStatus checkPaths(const std::string& clipPath, const std::string& videoPath) {
    std::error_code error;
    if (clipPath.empty()) return refuse("saveMocapData: the clip path is empty.");
    if (!videoPath.empty() && sameFilePath(clipPath, videoPath))
        return refuse("saveMocapData: the clip and the video would be the same file, " + clipPath +
                      "; give the video a path of its own.");
    // A file that an earlier save is still to write would end up holding one of the two, the
    // other lost, and what mocapTakeInfo says of the newest save might not be what the file holds.
    const auto refuseBusy = [](const std::string& path, const char* held, const char* kind) {
        return refuse("saveMocapData: " + path + " is the " + held + "; give the " + kind +
                      " another path, or wait until that save has finished (mocapTakeInfo).");
    };
    for (const PendingSaveFile& pending : filesSavesAreYetToWrite()) {
        const char* held = pending.isClip ? "clip file an earlier save is still writing"
                                          : "video file an earlier save still waits for";
        if (sameFilePath(clipPath, pending.path)) return refuseBusy(clipPath, held, "clip");
        if (!videoPath.empty() && sameFilePath(videoPath, pending.path))
            return refuseBusy(videoPath, held, "video");
    }
    if (std::filesystem::is_directory(clipPath, error))
        return refuse("Cannot write clip file " + clipPath + ": it is a folder.");
    if (fileNameTooLong(clipPath))
        return refuse("Cannot write clip file " + clipPath +
                      ": its name is longer than the 255 characters a file name may have.");
    if (!videoPath.empty() && fileNameTooLong(videoPath))
        return refuse("Cannot write video file " + videoPath +
                      ": its name is longer than the 255 characters a file name may have.");
    if (!videoPath.empty() && std::filesystem::is_directory(videoPath, error))
        return refuse("Cannot write video file " + videoPath + ": it is a folder.");
    for (const std::string* path : {&clipPath, &videoPath}) {
        if (path->empty()) continue;
        if (const auto failure = ensureParentFolder(*path)) {
            postMessage(MessageKind::error, kCannotCreateOutputFolder);
            postMessage(MessageKind::error, *failure);
            return MStatus::kFailure;
        }
    }
    return MStatus::kSuccess;
}

}  // namespace

MStatus saveCaptureData::doIt(const MArgList& args) {
    const QueuedMessagesShown shownMessages;  // what the plug-in's threads posted
    if (!checkArgumentCount(args, kUsage)) return MStatus::kFailure;
    LMRARealTimeDevice* device =
        nodeArgument<LMRARealTimeDevice>(args, 0, kUsage, MFn::kPluginThreadedDevice);
    if (!device) return MStatus::kFailure;

    MString clipPath;
    MString clipLength;
    MString videoPath;
    if (!readTextArgument(args, 1, kUsage, clipPath) ||
        !readTextArgument(args, 2, kUsage, clipLength) ||
        (args.length() > 3 && !readTextArgument(args, 3, kUsage, videoPath))) {
        return MStatus::kFailure;
    }
    if (args.length() > 4) {
        const unsigned extra = args.length() - 4;
        MGlobal::displayWarning(MString("saveMocapData: ignored ") + std::to_string(extra).c_str() +
                                (extra == 1 ? " extra argument" : " extra arguments") +
                                " after the video path.");
    }

    SaveToFileArguments arguments;
    arguments.clipPath = clipPath.asChar();
    if (!parseClipLength(clipLength.asChar(), arguments.clipLength))
        return refuse(std::string("saveMocapData: the clip length \"") + clipLength.asChar() +
                      "\" is not a number of seconds above 0.");
    const std::string deviceText = args.asString(0).asChar();
    if (!device->copyRecording(arguments.recording))
        return refuse("Cannot save from " + deviceText +
                      ": it is not connected to a phone. Connect it (establishConnection) and "
                      "capture (startMocapSession) first.");
    const auto window = cutClipWindow(arguments.recording, arguments.clipLength);
    if (!window)
        return refuse("Cannot save from " + deviceText +
                      ": its recording holds no frames yet. Capture (startMocapSession) first.");

    const std::string video = videoPath.asChar();
    if (!checkPaths(arguments.clipPath, video)) return MStatus::kFailure;

    // From here on the save has an outcome that mocapTakeInfo reports; the video's part is
    // ended by the session, or here when the phone is not asked.
    arguments.outcome = beginSaveOutcome(arguments.clipPath, video);
    // The node is used here, on the main thread, and never by the writer thread: the node may be
    // deleted while the writer runs. The phone is asked for the stretch the clip holds.
    if (!video.empty() && !device->saveCapture(video, window->startTime, window->endTime)) {
        const std::string text =
            "No video for " + video + ": " + deviceText +
            (device->hasOpenSession()
                 ? " captures without video (set its recordVideo to 1 before startMocapSession)."
                 : "'s session with the phone has ended, so the phone cannot send it.");
        MGlobal::displayWarning(MString(text.c_str()));
        reportVideoNotSaved(video, text);
    }

    const SaveId outcome = arguments.outcome;
    if (!startClipWriter(std::move(arguments))) {
        MGlobal::displayError("Cannot start a thread to write the clip.");
        reportClipNotSaved(outcome, "Cannot start a thread to write the clip.");
        return MStatus::kFailure;
    }
    return MStatus::kSuccess;
}
