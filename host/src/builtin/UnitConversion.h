#pragma once
// Unit conversion as Maya does it: a connection between plugs of different unit types goes
// through a "unitConversion" node whose output is its input times the conversion factor. The
// factor turns the source's value, read in the user's units, into the same number in the
// destination's units (a unitless 1.0 becomes 1 degree, 0.0174533 radians). Where the factor is
// 1 (unitless and distance with centimetres as the linear unit) the plugs connect directly.

#include <memory>

#include "core/Attribute.h"
#include "core/Node.h"
#include "core/NodeType.h"

namespace headless::detail {

std::shared_ptr<NodeType> unitConversionType();

bool isUnitConversion(const Node& node);
// True, with the factor, when a connection from `source` to `destination` needs a conversion
// node: numbers of different unit types (a time counts in frames of the scene's time unit).
bool needsUnitConversion(const Attribute& source, const Attribute& destination, double& factor);
// True when two compounds have children of different unit types (a scale into a rotate). Maya
// converts them through one conversion node; the host connects them child by child, each
// through a conversion node where its units differ.
bool childrenNeedUnitConversion(const Attribute& source, const Attribute& destination);

}  // namespace headless::detail
