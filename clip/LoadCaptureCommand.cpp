#include "LoadCaptureCommand.h"

#include "LMRAClipReader.h"
#include "PluginMessages.h"

#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

const char* const LoadCaptureCommand::commandName = "loadClipFromFile";

void* LoadCaptureCommand::creator() { return new LoadCaptureCommand; }

namespace {

LMRAClipReader* findClipReader(const MString& name) {
    MSelectionList list;
    if (!MGlobal::getSelectionListByName(name, list)) return nullptr;
    MObject node;
    if (!list.getDependNode(0, node)) return nullptr;
    if (node.apiType() != MFn::kPluginDependNode) return nullptr;
    return dynamic_cast<LMRAClipReader*>(MFnDependencyNode(node).userNode());
}

}  // namespace

MStatus LoadCaptureCommand::doIt(const MArgList& args) {
    const QueuedMessagesShown shownMessages;  // what the plug-in's threads posted
    if (args.length() != 2) return MStatus::kFailure;
    MStatus status;
    const MString readerName = args.asString(0, &status);
    if (!status) return MStatus::kFailure;
    LMRAClipReader* reader = findClipReader(readerName);
    if (!reader) return MStatus::kFailure;
    const MString clipPath = args.asString(1, &status);
    if (!status) return MStatus::kFailure;

    setResult(reader->loadClip(clipPath.asChar()));
    return MStatus::kSuccess;
}
