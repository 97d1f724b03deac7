#pragma once
// Argument handling shared by the plug-in's commands: the count, the text of each argument and
// the node an argument names. Every check that fails says what was wrong in the script output,
// the way Maya's own commands do, and leaves the failure status to the command.

#include <limits>

#include <maya/MArgList.h>
#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>
#include <maya/MString.h>

// How a command is called: its name, its arguments as the usage line shows them, and how many
// it takes.
struct CommandUsage {
    static constexpr unsigned kAnyCount = std::numeric_limits<unsigned>::max();

    const char* name;       // "establishConnection"
    const char* arguments;  // "<LMRARealTimeDevice node>"
    unsigned minimum;
    unsigned maximum;  // kAnyCount: arguments after the last one used are ignored

    // "Usage: establishConnection <LMRARealTimeDevice node>"
    MString usageLine() const;
};

// False, with the usage line, when the count is outside the usage's bounds.
bool checkArgumentCount(const MArgList& args, const CommandUsage& usage);

// Argument `index` as text; false, with the usage line, when it cannot be read as text.
bool readTextArgument(const MArgList& args, unsigned index, const CommandUsage& usage,
                      MString& text);

// The first dependency node matching the name; a null object, with "No object matches name:
// <name>", when nothing matches.
MObject findNamedNode(const MString& name);

// Shows "<node> is not a <type name>".
void reportWrongNodeType(const MObject& node, const MString& typeName);

// The plug-in node of class NodeClass (API type `apiType`) that argument `index` names, or null
// after saying what was wrong.
template <typename NodeClass>
NodeClass* nodeArgument(const MArgList& args, unsigned index, const CommandUsage& usage,
                        MFn::Type apiType) {
    MString name;
    if (!readTextArgument(args, index, usage, name)) return nullptr;
    const MObject node = findNamedNode(name);
    if (node.isNull()) return nullptr;
    NodeClass* found = nullptr;
    if (node.apiType() == apiType) {
        found = dynamic_cast<NodeClass*>(MFnDependencyNode(node).userNode());
    }
    if (!found) reportWrongNodeType(node, NodeClass::kTypeName);
    return found;
}
