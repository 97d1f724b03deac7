#include "pose/nodes/PlugQueries.h"

#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>
#include <maya/MPlugArray.h>

namespace lmra {

bool isMessagePlug(const MPlug& plug) {
    if (plug.isNull() || plug.isElement() || plug.isChild()) return false;
    MStatus status;
    MFnAttribute attribute(plug.attribute(), &status);
    return status && attribute.name() == "message";
}

MStatus nodeTypeNameOf(const MPlug& plug, MString& typeName) {
    MStatus status;
    MFnDependencyNode node(plug.node(), &status);
    if (!status) return status;
    typeName = node.typeName(&status);
    return status;
}

MPlug firstSourceOf(const MPlug& destination) {
    MPlugArray sources;
    destination.connectedTo(sources, true, false);
    if (sources.length() == 0) return MPlug();
    return sources[0];
}

}  // namespace lmra
