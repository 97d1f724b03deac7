#pragma once
// Pull evaluation and dirty propagation. A dirty plug is brought up to date when it is read:
// from its incoming connection, or by the node's compute; setting a plug dirties what depends
// on it (attributeAffects, setDependentsDirty, outgoing connections).

#include <string>
#include <utility>
#include <vector>

#include <maya/MDGContext.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include "core/Value.h"

namespace headless::detail {

// The plug's value, evaluated first if it is dirty. Compound and array plugs evaluate their
// children and elements and give no value of their own.
Value evaluatePlug(const MPlug& plug, const MDGContext& context = MDGContext::fsNormal);
// The stored value, or the attribute's default, without evaluating.
Value storedValue(const MPlug& plug);
// Writes a value as compute does: no propagation, the dirty flag is left alone.
void writeValue(const MPlug& plug, Value value);
bool isPlugDirty(const MPlug& plug);
void setPlugClean(const MPlug& plug);
// Marks the plug (if asked), its children and elements, and everything downstream dirty,
// asking nodes through setDependentsDirty; `reached` collects each plug visited and whether it
// was marked.
void propagateDirty(const MPlug& plug, bool includeSelf,
                    std::vector<std::pair<MPlug, bool>>* reached = nullptr);
// A new current time. With the evaluation manager on, Maya stops dirty propagation for time
// changes once its graph is built: the first change propagates and records what it reached,
// later ones dirty the same plugs without calling setDependentsDirty.
void propagateTimeChange(const MPlug& outTime);
// The graph changed (nodes, connections, attributes, mode): the next time change propagates.
void invalidateEvaluationGraph();
// Sets a plug as a user or a script does: refuses a locked or driven plug, stores the value
// (clamped to the attribute's limits) and dirties what depends on it.
MStatus setPlugValue(const MPlug& plug, Value value, std::string* error);
// The plug that drives this one through a connection into it or into one of its parents.
MPlug sourceOf(const MPlug& plug);

}  // namespace headless::detail
