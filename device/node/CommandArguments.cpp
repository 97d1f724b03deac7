#include "device/node/CommandArguments.h"

#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

MString CommandUsage::usageLine() const {
    return MString("Usage: ") + name + " " + arguments;
}

bool checkArgumentCount(const MArgList& args, const CommandUsage& usage) {
    const unsigned count = args.length();
    if (count >= usage.minimum && count <= usage.maximum) return true;
    MString text("Wrong number of arguments for ");
    text += usage.name;
    text += " (";
    text += static_cast<int>(count);
    text += " given). ";
    MGlobal::displayError(text + usage.usageLine());
    return false;
}

bool readTextArgument(const MArgList& args, unsigned index, const CommandUsage& usage,
                      MString& text) {
    MStatus status;
    text = args.asString(index, &status);
    if (status) return true;
    MString message("Argument ");
    message += static_cast<int>(index + 1);
    message += " of ";
    message += usage.name;
    message += " cannot be read as text. ";
    MGlobal::displayError(message + usage.usageLine());
    return false;
}

MObject findNamedNode(const MString& name) {
    MSelectionList matches;
    MObject node;
    if (!MGlobal::getSelectionListByName(name, matches) || matches.length() == 0 ||
        !matches.getDependNode(0, node)) {
        node = MObject();
    }
    if (node.isNull()) MGlobal::displayError("No object matches name: " + name);
    return node;
}

void reportWrongNodeType(const MObject& node, const MString& typeName) {
    MGlobal::displayError(MFnDependencyNode(node).name() + " is not a " + typeName);
}
