#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>

#include <algorithm>

#include "core/Plugins.h"
#include "core/Registry.h"
#include "core/Scene.h"

using namespace headless::detail;

namespace {

std::shared_ptr<PluginRecord> recordOf(const MObject& object) {
    return hostCast<PluginRecord>(object);
}

// One text of the attached plug-in's record; empty with kFailure when none is attached.
MString recordText(const MObject& object, std::string PluginRecord::*text, MStatus* returnStatus) {
    const auto record = recordOf(object);
    if (returnStatus) *returnStatus = record ? MStatus::kSuccess : MStatus::kFailure;
    return record ? MString(((*record).*text).c_str()) : MString();
}

MStatus failWith(const std::string& message, MStatus status = MStatus::kFailure) {
    MGlobal::displayError(MString(message.c_str()));
    return status;
}

}  // namespace

MFnPlugin::MFnPlugin(MObject& object, const char* vendor, const char* version,
                     const char* requiredApiVersion, MStatus* returnStatus) {
    const auto record = recordOf(object);
    if (returnStatus) *returnStatus = record ? MStatus::kSuccess : MStatus::kInvalidParameter;
    if (!record) return;
    object_ = object;
    // Attaching again without identity (as at unload) keeps what the load gave.
    if (vendor && std::string(vendor) != "Unknown") record->vendor = vendor;
    if (version && std::string(version) != "Unknown") record->version = version;
    if (requiredApiVersion) record->requiredApiVersion = requiredApiVersion;
}

MString MFnPlugin::vendor(MStatus* returnStatus) const {
    return recordText(object_, &PluginRecord::vendor, returnStatus);
}

MString MFnPlugin::version(MStatus* returnStatus) const {
    return recordText(object_, &PluginRecord::version, returnStatus);
}

MString MFnPlugin::apiVersion(MStatus* returnStatus) const {
    return recordText(object_, &PluginRecord::builtForApi, returnStatus);
}

MString MFnPlugin::name(MStatus* returnStatus) const {
    return recordText(object_, &PluginRecord::name, returnStatus);
}

MStatus MFnPlugin::registerNode(const MString& typeName, const MTypeId& typeId,
                                MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                                MPxNode::Type type, const MString*) {
    const auto record = recordOf(object_);
    if (!record || !creatorFunction) return MStatus::kInvalidParameter;
    auto nodeType = std::make_shared<NodeType>();
    nodeType->name = typeName.asChar();
    nodeType->id = typeId;
    nodeType->kind = type;
    nodeType->creator = creatorFunction;
    nodeType->initializer = initFunction;
    nodeType->pluginName = record->name;
    std::string error;
    const MStatus status = Registry::instance().registerNodeType(nodeType, &error);
    return status ? status : failWith(error, status);
}

MStatus MFnPlugin::deregisterNode(const MTypeId& typeId) {
    const auto record = recordOf(object_);
    if (!record) return MStatus::kInvalidParameter;
    const auto& nodes = Scene::instance().nodes();
    if (std::any_of(nodes.begin(), nodes.end(),
                    [&](const auto& n) { return n->type->id == typeId; })) {
        return failWith("Cannot deregister node type id " + std::to_string(typeId.id()) +
                        ": nodes of it exist.");
    }
    std::string error;
    const MStatus status = Registry::instance().deregisterNodeType(typeId, record->name, &error);
    return status ? status : failWith(error, status);
}

MStatus MFnPlugin::registerCommand(const MString& commandName, MCreatorFunction creatorFunction,
                                   MCreateSyntaxFunction) {
    const auto record = recordOf(object_);
    if (!record) return MStatus::kInvalidParameter;
    std::string error;
    const MStatus status = Registry::instance().registerCommand(
        CommandType{commandName.asChar(), creatorFunction, record->name}, &error);
    return status ? status : failWith(error, status);
}

MStatus MFnPlugin::deregisterCommand(const MString& commandName) {
    const auto record = recordOf(object_);
    if (!record) return MStatus::kInvalidParameter;
    std::string error;
    const MStatus status =
        Registry::instance().deregisterCommand(commandName.asChar(), record->name, &error);
    return status ? status : failWith(error, status);
}
