#pragma once
// Animation curves as Maya names them: "animCurveTU" (unitless), "animCurveTA" (angle, values in
// radians) and "animCurveTL" (distance, in centimetres). A curve holds keys of time and value in
// "keyTimeValue" and gives on "output" its value at the time on "input", or at the scene's time
// while nothing drives "input": the key's value at a key, the straight line between two keys,
// the first or last key's value before or after them. (Maya's own curves shape the stretch
// between keys with tangents; keys set here are linear.) Main thread only.

#include <memory>
#include <vector>

#include <maya/MPlug.h>

#include "core/Attribute.h"
#include "core/Node.h"
#include "core/NodeType.h"

namespace headless::detail {

struct Key {
    double time;   // seconds
    double value;  // internal units
};

std::vector<std::shared_ptr<NodeType>> animCurveTypes();

bool isAnimCurve(const Node& node);
// The curve type that keys a plug of this attribute; empty for what cannot be keyed.
std::string animCurveTypeFor(const Attribute& attribute);
// Keys in time order.
std::vector<Key> curveKeys(Node& curve);
// Replaces every key (any order; one key per time, the last given wins) and dirties the output.
void setCurveKeys(Node& curve, std::vector<Key> keys);
MPlug curveOutput(Node& curve);
// The curve's value at a time, from its keys.
double valueAt(const std::vector<Key>& keys, double seconds);

}  // namespace headless::detail
