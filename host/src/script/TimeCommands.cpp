// Built-in commands on the scene's time: currentTime, currentUnit -time.

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

MStatus currentUnitCommand(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    const bool query = isQuery(args);
    const bool parsed = query ? a.parse(args, {}, {"q|query", "t|time", "f|fullName"}, error)
                              : a.parse(args, {"t|time", "ua|updateAnimation"}, {}, error);
    if (!parsed) return MStatus::kInvalidParameter;
    if (!a.has("t") || !a.positional().empty()) {
        *error = "currentUnit: only the time unit is kept here; use -time NAME or -query -time.";
        return MStatus::kInvalidParameter;
    }
    if (query) {
        result.setString(timeUnitName(MTime::uiUnit()));
        return MStatus::kSuccess;
    }
    MTime::Unit unit = MTime::kInvalid;
    if (!timeUnitFromName(a.value("t"), unit)) {
        *error =
            "currentUnit: unknown time unit '" + a.value("t") + "'; use " + timeUnitNames() + ".";
        return MStatus::kInvalidParameter;
    }
    const MStatus status = setCurrentTimeUnit(unit);
    if (status) result.setString(timeUnitName(unit));
    return status;
}

}  // namespace

void registerTimeCommands() {
    registerBuiltin("currentTime", currentTimeCommand);
    registerBuiltin("currentUnit", currentUnitCommand);
}

}  // namespace headless::detail
