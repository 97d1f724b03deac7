#include <maya/MAngle.h>

#include "math/UnitQuantity.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Radians per unit, indexed by MAngle::Unit; zero marks an invalid unit.
constexpr double kRadiansPer[] = {
    0.0, 1.0, kPi / 180.0, kPi / (180.0 * 60.0), kPi / (180.0 * 3600.0), 0.0};

bool validUnit(MAngle::Unit unit) {
    return unit > MAngle::kInvalid && unit < MAngle::kLast;
}

hostmath::WorkingUnit<MAngle::Unit> uiAngleUnit{MAngle::kDegrees};

}  // namespace

MAngle::MAngle(double value, Unit unit) : value_(value), unit_(unit) {}

MStatus MAngle::setUnit(Unit newUnit) {
    return hostmath::changeUnit(*this, newUnit, validUnit(newUnit));
}

MStatus MAngle::setValue(double newValue) {
    value_ = newValue;
    return MStatus::kSuccess;
}

double MAngle::as(Unit otherUnit, MStatus* returnStatus) const {
    if (!hostmath::reportConvertible(validUnit(unit_) && validUnit(otherUnit), returnStatus)) {
        return 0.0;
    }
    if (otherUnit == unit_) return value_;
    // Degrees and minutes of arc convert by exact factors, not through radians.
    if (unit_ == kDegrees && otherUnit == kAngMinutes) return value_ * 60.0;
    if (unit_ == kDegrees && otherUnit == kAngSeconds) return value_ * 3600.0;
    if (unit_ == kAngMinutes && otherUnit == kAngSeconds) return value_ * 60.0;
    if (unit_ == kAngMinutes && otherUnit == kDegrees) return value_ / 60.0;
    if (unit_ == kAngSeconds && otherUnit == kDegrees) return value_ / 3600.0;
    if (unit_ == kAngSeconds && otherUnit == kAngMinutes) return value_ / 60.0;
    if (unit_ == kRadians && otherUnit == kDegrees) return value_ * (180.0 / kPi);
    return value_ * kRadiansPer[unit_] / kRadiansPer[otherUnit];
}

double MAngle::asRadians() const {
    return as(kRadians);
}
double MAngle::asDegrees() const {
    return as(kDegrees);
}
double MAngle::asAngMinutes() const {
    return as(kAngMinutes);
}
double MAngle::asAngSeconds() const {
    return as(kAngSeconds);
}

MAngle::Unit MAngle::uiUnit() {
    return uiAngleUnit.get();
}

MStatus MAngle::setUIUnit(Unit newUnit) {
    return uiAngleUnit.set(newUnit, validUnit(newUnit));
}

double MAngle::internalToUI(double internalValue) {
    return hostmath::internalToUI<MAngle>(internalValue);
}

double MAngle::uiToInternal(double uiValue) {
    return hostmath::uiToInternal<MAngle>(uiValue);
}
