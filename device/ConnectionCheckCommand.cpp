#include "ConnectionCheckCommand.h"

#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include "LMRARealTimeDevice.h"

const char* const checkPhoneConnection::commandName = "checkPhoneConnection";

void* checkPhoneConnection::creator() {
    return new checkPhoneConnection();
}

MStatus checkPhoneConnection::doIt(const MArgList& args) {
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

    MStringArray lines;
    for (const std::string& line : device->checkConnection()) {
        // A step that did not go through is a warning: the check itself did its work.
        const bool wentWrong = line.find(": failed: ") != std::string::npos ||
                               line.find(": warning: ") != std::string::npos;
        if (wentWrong) {
            MGlobal::displayWarning(line.c_str());
        } else {
            MGlobal::displayInfo(line.c_str());
        }
        lines.append(line.c_str());
    }
    setResult(lines);
    return MStatus::kSuccess;
}
