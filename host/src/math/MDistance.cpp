#include <maya/MDistance.h>

#include "math/UnitQuantity.h"

namespace {

// Centimetres per unit, indexed by MDistance::Unit; zero marks an invalid unit.
constexpr double kCentimetersPer[] = {
    0.0,       // kInvalid
    2.54,      // kInches
    30.48,     // kFeet
    91.44,     // kYards
    160934.4,  // kMiles
    0.1,       // kMillimeters
    1.0,       // kCentimeters
    100000.0,  // kKilometers
    100.0,     // kMeters
    0.0,       // kLast
};

bool validUnit(MDistance::Unit unit) {
    return unit > MDistance::kInvalid && unit < MDistance::kLast;
}

hostmath::WorkingUnit<MDistance::Unit> uiDistanceUnit{MDistance::kCentimeters};

}  // namespace

MDistance::MDistance(double value, Unit unit) : value_(value), unit_(unit) {}

MStatus MDistance::setUnit(Unit newUnit) {
    return hostmath::changeUnit(*this, newUnit, validUnit(newUnit));
}

MStatus MDistance::setValue(double newValue) {
    value_ = newValue;
    return MStatus::kSuccess;
}

double MDistance::as(Unit otherUnit, MStatus* returnStatus) const {
    if (!hostmath::reportConvertible(validUnit(unit_) && validUnit(otherUnit), returnStatus)) {
        return 0.0;
    }
    if (otherUnit == unit_) return value_;
    // Millimetres are divided rather than multiplied by 0.1, which is not exact in binary.
    if (otherUnit == kMillimeters) return value_ * kCentimetersPer[unit_] * 10.0;
    if (unit_ == kMillimeters) return value_ / 10.0 / kCentimetersPer[otherUnit];
    return value_ * kCentimetersPer[unit_] / kCentimetersPer[otherUnit];
}

MDistance::Unit MDistance::uiUnit() {
    return uiDistanceUnit.get();
}

MStatus MDistance::setUIUnit(Unit newUnit) {
    return uiDistanceUnit.set(newUnit, validUnit(newUnit));
}

double MDistance::internalToUI(double internalValue) {
    return hostmath::internalToUI<MDistance>(internalValue);
}

double MDistance::uiToInternal(double uiValue) {
    return hostmath::uiToInternal<MDistance>(uiValue);
}
