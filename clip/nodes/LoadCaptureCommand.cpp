#include "clip/nodes/LoadCaptureCommand.h"

#include "clip/nodes/LMRAClipReader.h"
#include "device/node/CommandArguments.h"
#include "plugin/messages/PluginMessages.h"

#include <maya/MFn.h>
#include <maya/MString.h>

const char* const LoadCaptureCommand::commandName = "loadClipFromFile";

namespace {

const CommandUsage kUsage{LoadCaptureCommand::commandName, "<LMRAClipReader node> <clip path>", 2,
                          2};

}  // namespace

MStatus LoadCaptureCommand::doIt(const MArgList& args) {
    const QueuedMessagesShown shownMessages;  // what the plug-in's threads posted
    if (!checkArgumentCount(args, kUsage)) return MStatus::kFailure;
    LMRAClipReader* reader = nodeArgument<LMRAClipReader>(args, 0, kUsage, MFn::kPluginDependNode);
    if (!reader) return MStatus::kFailure;
    MString clipPath;
    if (!readTextArgument(args, 1, kUsage, clipPath)) return MStatus::kFailure;

    setResult(reader->loadClip(clipPath.asChar()));
    return MStatus::kSuccess;
}
