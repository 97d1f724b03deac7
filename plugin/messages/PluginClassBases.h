#pragma once
// Mix-ins between Maya's proxy classes and the plug-in's node types and commands. Each hands Maya
// what every such class would otherwise write out again in the same words: the creator that Maya
// calls for a new object (which Maya then owns) and, for a command, that it keeps nothing for
// undo.

#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

// Node is the node type itself; MayaBase the proxy class it extends (MPxNode, MPxObjectSet, ...).
template <class Node, class MayaBase>
class PluginNode : public MayaBase {
  public:
    static void* creator() { return new Node(); }
};

// A command that is not undoable: it changes nothing that undo could take back.
template <class Command>
class PluginCommand : public MPxCommand {
  public:
    static void* creator() { return new Command(); }

    MStatus undoIt() override { return MStatus::kFailure; }
    bool isUndoable() const override { return false; }
};
