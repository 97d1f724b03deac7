#pragma once
// The names of the linear and angular units, as currentUnit and scene files give them:
// Maya's short names ("cm", "deg") and long ones ("centimeter", "degree").

#include <string>

#include <maya/MAngle.h>
#include <maya/MDistance.h>

namespace headless::detail {

// Short or long names; unknown names give false.
bool distanceUnitFromName(const std::string& name, MDistance::Unit& unit);
bool angleUnitFromName(const std::string& name, MAngle::Unit& unit);
// The short name, or the long one ("centimeter") when fullName is true.
std::string distanceUnitName(MDistance::Unit unit, bool fullName = false);
std::string angleUnitName(MAngle::Unit unit, bool fullName = false);
// Every accepted short name, for messages.
std::string distanceUnitNames();
std::string angleUnitNames();

}  // namespace headless::detail
