#include <maya/MDistance.h>

#include <atomic>

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

// Process-wide working unit, read from any thread.
std::atomic<int> uiDistanceUnit{MDistance::kCentimeters};

}  // namespace

MDistance::MDistance(double value, Unit unit) : value_(value), unit_(unit) {}

MStatus MDistance::setUnit(Unit newUnit) {
    if (!validUnit(newUnit)) return MStatus::kInvalidParameter;
    value_ = as(newUnit);
    unit_ = newUnit;
    return MStatus::kSuccess;
}

MStatus MDistance::setValue(double newValue) {
    value_ = newValue;
    return MStatus::kSuccess;
}

double MDistance::as(Unit otherUnit, MStatus* returnStatus) const {
    if (!validUnit(unit_) || !validUnit(otherUnit)) {
        if (returnStatus) *returnStatus = MStatus::kInvalidParameter;
        return 0.0;
    }
    if (returnStatus) *returnStatus = MStatus::kSuccess;
    if (otherUnit == unit_) return value_;
    // Millimetres are divided rather than multiplied by 0.1, which is not exact in binary.
    if (otherUnit == kMillimeters) return value_ * kCentimetersPer[unit_] * 10.0;
    if (unit_ == kMillimeters) return value_ / 10.0 / kCentimetersPer[otherUnit];
    return value_ * kCentimetersPer[unit_] / kCentimetersPer[otherUnit];
}

MDistance::Unit MDistance::uiUnit() {
    return static_cast<Unit>(uiDistanceUnit.load());
}

MStatus MDistance::setUIUnit(Unit newUnit) {
    if (!validUnit(newUnit)) return MStatus::kInvalidParameter;
    uiDistanceUnit.store(newUnit);
    return MStatus::kSuccess;
}

double MDistance::internalToUI(double internalValue) {
    return MDistance(internalValue, kCentimeters).as(uiUnit());
}

double MDistance::uiToInternal(double uiValue) {
    return MDistance(uiValue, uiUnit()).as(kCentimeters);
}
