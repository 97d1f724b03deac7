#pragma once
// The scene's current time, kept by time1.outTime (in seconds), and the time unit names the
// scripts use. Main thread only.

#include <string>

#include <maya/MStatus.h>
#include <maya/MTime.h>

namespace headless::detail {

// Maya's names: "film", "ntsc", "sec", "24fps" ... Unknown names give false.
bool timeUnitFromName(const std::string& name, MTime::Unit& unit);
// The name the unit is queried by ("film" for kFilm, "100fps" for k100FPS).
std::string timeUnitName(MTime::Unit unit);
// Every accepted name, for messages.
std::string timeUnitNames();

// In the scene's current unit.
MTime currentTime();
MStatus setCurrentTime(const MTime& when, std::string* error);
// Changes the unit times are shown and typed in; what reads time in frames is dirtied.
MStatus setCurrentTimeUnit(MTime::Unit unit);

}  // namespace headless::detail
