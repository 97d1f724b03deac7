#pragma once
// Plug addressing: keys, parents, elements, names and validity.

#include <string>

#include <maya/MPlug.h>

#include "core/Node.h"

namespace headless::detail {

PlugKey keyOf(const MPlug& plug);
// The array plug itself (its attribute is an array and its own index is missing).
bool isArrayPlug(const MPlug& plug);
bool isElementPlug(const MPlug& plug);
// The plug names a live node, an attribute of it, and a complete set of indices.
bool isValidPlug(const MPlug& plug);
// The plug's own node, or null when the node is gone.
Node* liveNode(const MPlug& plug);

MPlug parentPlug(const MPlug& plug);
MPlug arrayPlug(const MPlug& element);
MPlug elementPlug(const MPlug& array, unsigned int logicalIndex);
MPlug childPlug(const MPlug& compound, unsigned int position);
// Existing logical indices of an array plug, ascending.
std::vector<unsigned int> existingElements(const MPlug& array);
// Records the elements on the plug's path as existing.
void ensureElementsExist(const MPlug& plug);
// Same node and `inner` lies within `outer` (same plug, child or element).
bool plugWithin(const MPlug& inner, const MPlug& outer);

// "node.attrs[3].out" style names.
std::string plugPath(const MPlug& plug, bool longNames, bool includeNodeName, bool fullPath);

}  // namespace headless::detail
