#pragma once
// What MAngle, MDistance and MTime do alike as a value in a unit (not part of the Maya API).
// Each class keeps its own table of units; these pieces only need its public conversion,
// as(Unit), and its (value, unit) constructor.

#include <atomic>

#include <maya/MStatus.h>

namespace hostmath {

// A class's process-wide working unit for user-facing values. Atomic: any thread may build a
// value in it while the scene's unit command sets it.
template <class Unit>
class WorkingUnit {
  public:
    constexpr explicit WorkingUnit(Unit initial) : unit_(initial) {}

    Unit get() const { return static_cast<Unit>(unit_.load()); }
    // convertible: whether the class has a conversion for the unit; without one it is refused.
    MStatus set(Unit unit, bool convertible) {
        if (!convertible) return MStatus::kInvalidParameter;
        unit_.store(unit);
        return MStatus::kSuccess;
    }

  private:
    std::atomic<int> unit_;
};

// setUnit: the same amount re-expressed in newUnit; a unit without a conversion is refused and
// the quantity is left as it was.
template <class Quantity>
MStatus changeUnit(Quantity& quantity, typename Quantity::Unit newUnit, bool convertible) {
    if (!convertible) return MStatus::kInvalidParameter;
    quantity = Quantity(quantity.as(newUnit), newUnit);
    return MStatus::kSuccess;
}

// Sets *returnStatus (when given) for a conversion that can or cannot be made.
inline bool reportConvertible(bool convertible, MStatus* returnStatus) {
    if (returnStatus) *returnStatus = convertible ? MStatus::kSuccess : MStatus::kInvalidParameter;
    return convertible;
}

template <class Quantity>
double internalToUI(double internalValue) {
    return Quantity(internalValue, Quantity::internalUnit()).as(Quantity::uiUnit());
}

template <class Quantity>
double uiToInternal(double uiValue) {
    return Quantity(uiValue, Quantity::uiUnit()).as(Quantity::internalUnit());
}

}  // namespace hostmath
