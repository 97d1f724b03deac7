#pragma once
// Headless host: Maya's MFnPlugin. As Maya's, it embeds MApiVersion.h, which defines the exported
// MApiVersion unless MNoVersionString is defined first.

#include <maya/MApiVersion.h>
#include <maya/MFnBase.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MFnPlugin : public MFnBase {
  public:
    MFnPlugin() = default;
    explicit MFnPlugin(MObject& object, const char* vendor = "Unknown",
                       const char* version = "Unknown", const char* requiredApiVersion = "Any",
                       MStatus* returnStatus = nullptr);

    MFn::Type type() const override { return MFn::kBase; }

    MString vendor(MStatus* returnStatus = nullptr) const;
    MString version(MStatus* returnStatus = nullptr) const;
    MString apiVersion(MStatus* returnStatus = nullptr) const;
    MString name(MStatus* returnStatus = nullptr) const;

    MStatus registerNode(const MString& typeName, const MTypeId& typeId,
                         MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                         MPxNode::Type type = MPxNode::kDependNode,
                         const MString* classification = nullptr);
    MStatus deregisterNode(const MTypeId& typeId);
    MStatus registerCommand(const MString& commandName, MCreatorFunction creatorFunction,
                            MCreateSyntaxFunction createSyntaxFunction = nullptr);
    MStatus deregisterCommand(const MString& commandName);
};

OPENMAYA_NAMESPACE_CLOSE

// The hooks Maya looks up in a plug-in, with these C++ signatures.
PLUGIN_EXPORT MStatus initializePlugin(MObject obj);
PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj);
