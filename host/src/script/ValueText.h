#pragma once
// Plug values as scripts see them: angles in the user's angle unit, times in the scene's time
// unit; the API keeps radians and seconds.

#include <maya/MDGContext.h>
#include <maya/MPlug.h>

#include "core/Attribute.h"
#include "script/CommandResult.h"

namespace headless::detail {

double toUserUnits(const Attribute& attribute, double internal);
double toInternalUnits(const Attribute& attribute, double user);
// Evaluates the plug and gives its value (children and elements in order) as a result.
void plugValueResult(const MPlug& plug, ResultValue& result,
                     const MDGContext& context = MDGContext::fsNormal);

}  // namespace headless::detail
