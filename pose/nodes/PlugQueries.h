#pragma once
// Small plug questions shared by the pose nodes' connection rules.

#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

namespace lmra {

// True when the plug is the "message" attribute of the node it belongs to.
bool isMessagePlug(const MPlug& plug);

// Type name of the node that owns the plug; fails when the node cannot be examined.
MStatus nodeTypeNameOf(const MPlug& plug, MString& typeName);

// The plug connected into `destination`, or a null plug when nothing is.
MPlug firstSourceOf(const MPlug& destination);

}  // namespace lmra
