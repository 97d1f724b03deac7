#pragma once
// Headless host: Maya's MDGModifier, a batch of graph edits carried out by doIt.

#include <functional>
#include <vector>

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MDGModifier {
  public:
    MDGModifier() = default;
    MDGModifier(const MDGModifier&) = delete;
    MDGModifier& operator=(const MDGModifier&) = delete;
    virtual ~MDGModifier() = default;

    MObject createNode(const MString& type, MStatus* returnStatus = nullptr);
    MStatus deleteNode(const MObject& node);
    MStatus renameNode(const MObject& node, const MString& newName);
    MStatus connect(const MPlug& source, const MPlug& destination);
    MStatus connect(const MObject& sourceNode, const MObject& sourceAttribute,
                    const MObject& destNode, const MObject& destAttribute);
    MStatus disconnect(const MPlug& source, const MPlug& destination);
    MStatus disconnect(const MObject& sourceNode, const MObject& sourceAttribute,
                       const MObject& destNode, const MObject& destAttribute);
    MStatus addAttribute(const MObject& node, const MObject& attribute);
    MStatus removeAttribute(const MObject& node, const MObject& attribute);
    MStatus newPlugValueDouble(const MPlug& plug, double value);
    MStatus newPlugValueInt(const MPlug& plug, int value);
    MStatus newPlugValueBool(const MPlug& plug, bool value);
    MStatus newPlugValueString(const MPlug& plug, const MString& value);

    // Carries out the queued edits in order; stops at the first that fails.
    MStatus doIt();
    // Reverts what the last doIt did, newest edit first.
    MStatus undoIt();

  private:
    struct Edit {
        std::function<MStatus()> redo;
        std::function<MStatus()> undo;
    };
    std::vector<Edit> queued_;
    std::vector<Edit> done_;
};

OPENMAYA_NAMESPACE_CLOSE
