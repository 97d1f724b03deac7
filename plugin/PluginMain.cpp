// The plug-in's load and unload hooks: registration of its node types, commands and user event.

#include <maya/MFnPlugin.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include "LMRAAdapter.h"
#include "LMRAAttributeCollection.h"
#include "LMRAPose.h"
#include "LMRAPoseApply.h"
#include "LMRAPoselib.h"

// The API version the plug-in was built against, read by the host before it loads the plug-in.
extern "C" __attribute__((visibility("default"))) const char MApiVersion[] = "20180700";

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Korvest", "2.2.1", "Any");

    // Node types, in load order.
    plugin.registerNode(LMRAPose::kTypeName, LMRAPose::kTypeId, &LMRAPose::creator,
                        &LMRAPose::initialize, MPxNode::kDependNode);
    plugin.registerNode(LMRAPoseApply::kTypeName, LMRAPoseApply::kTypeId, &LMRAPoseApply::creator,
                        &LMRAPoseApply::initialize, MPxNode::kDependNode);
    plugin.registerNode(LMRAAttributeCollection::kTypeName, LMRAAttributeCollection::kTypeId,
                        &LMRAAttributeCollection::creator, &LMRAAttributeCollection::initialize,
                        MPxNode::kObjectSet);
    plugin.registerNode(LMRAPoselib::kTypeName, LMRAPoselib::kTypeId, &LMRAPoselib::creator,
                        &LMRAPoselib::initialize, MPxNode::kObjectSet);
    plugin.registerNode(LMRAAdapter::kTypeName, LMRAAdapter::kTypeId, &LMRAAdapter::creator,
                        &LMRAAdapter::initialize, MPxNode::kObjectSet);
    // LMRARealTimeDevice, then LMRAClipReader.

    // Commands, in load order.

    return MStatus::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);

    // Node types, in unload order.
    plugin.deregisterNode(LMRAAttributeCollection::kTypeId);
    plugin.deregisterNode(LMRAPoselib::kTypeId);
    plugin.deregisterNode(LMRAPose::kTypeId);
    plugin.deregisterNode(LMRAPoseApply::kTypeId);
    // LMRARealTimeDevice, then LMRAClipReader.
    plugin.deregisterNode(LMRAAdapter::kTypeId);

    // Commands.

    return MStatus::kSuccess;
}
