// Built-in commands on the scene's time and units: currentTime, currentUnit.

#include "math/UnitNames.h"
#include "script/Arguments.h"
#include "script/Interpreter.h"
#include "script/ScriptNumbers.h"
#include "time/SceneTime.h"

namespace headless::detail {

namespace {

MStatus currentTimeCommand(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {"u|update"}, {"q|query", "e|edit"}, error))
        return MStatus::kInvalidParameter;
    if (a.has("q")) {
        if (!a.positional().empty()) {
            *error = "currentTime: -query takes no time.";
            return MStatus::kInvalidParameter;
        }
        result.setDouble(currentTime().value());
        return MStatus::kSuccess;
    }
    double value = 0.0;
    if (a.positional().size() != 1 || !parseFiniteNumber(a.positional()[0], value)) {
        *error = "currentTime: give one time, a number in the current time unit.";
        return MStatus::kInvalidParameter;
    }
    const MStatus status = setCurrentTime(MTime(value, MTime::uiUnit()), error);
    if (status) result.setDouble(currentTime().value());
    return status;
}

// currentUnit -time NAME -linear NAME -angle NAME; -query with one of them (-fullName for the
// linear and angular units' long names).
MStatus currentUnitCommand(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    const bool query = isQuery(args);
    const bool parsed =
        query ? a.parse(args, {}, {"q|query", "t|time", "l|linear", "a|angle", "f|fullName"}, error)
              : a.parse(args, {"t|time", "l|linear", "a|angle", "ua|updateAnimation"}, {}, error);
    if (!parsed) return MStatus::kInvalidParameter;
    const int units = int(a.has("t")) + int(a.has("l")) + int(a.has("a"));
    if (units == 0 || (query && units != 1) || !a.positional().empty()) {
        *error =
            "currentUnit: give -time, -linear or -angle with a unit name, or -query with one "
            "of them.";
        return MStatus::kInvalidParameter;
    }
    const bool fullName = a.has("f");
    if (query) {
        if (a.has("t")) result.setString(timeUnitName(MTime::uiUnit()));
        if (a.has("l")) result.setString(distanceUnitName(MDistance::uiUnit(), fullName));
        if (a.has("a")) result.setString(angleUnitName(MAngle::uiUnit(), fullName));
        return MStatus::kSuccess;
    }
    // Every name is checked before any unit changes.
    MTime::Unit time = MTime::uiUnit();
    MDistance::Unit linear = MDistance::uiUnit();
    MAngle::Unit angle = MAngle::uiUnit();
    if (a.has("t") && !timeUnitFromName(a.value("t"), time)) {
        *error =
            "currentUnit: unknown time unit '" + a.value("t") + "'; use " + timeUnitNames() + ".";
        return MStatus::kInvalidParameter;
    }
    if (a.has("l") && !distanceUnitFromName(a.value("l"), linear)) {
        *error = "currentUnit: unknown linear unit '" + a.value("l") + "'; use " +
                 distanceUnitNames() + ".";
        return MStatus::kInvalidParameter;
    }
    if (a.has("a") && !angleUnitFromName(a.value("a"), angle)) {
        *error = "currentUnit: unknown angular unit '" + a.value("a") + "'; use " +
                 angleUnitNames() + ".";
        return MStatus::kInvalidParameter;
    }
    MDistance::setUIUnit(linear);
    MAngle::setUIUnit(angle);
    const MStatus status = setCurrentTimeUnit(time);
    if (!status) return status;
    // The result names a unit that was set: the time unit first.
    if (a.has("t")) result.setString(timeUnitName(time));
    if (a.has("l")) result.setString(distanceUnitName(linear));
    if (a.has("a")) result.setString(angleUnitName(angle));
    return MStatus::kSuccess;
}

}  // namespace

void registerTimeCommands() {
    registerBuiltin("currentTime", currentTimeCommand);
    registerBuiltin("currentUnit", currentUnitCommand);
}

}  // namespace headless::detail
