#pragma once
// Headless host: Maya's MAngle (2018 API). The internal unit is radians.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MAngle {
  public:
    enum Unit { kInvalid, kRadians, kDegrees, kAngMinutes, kAngSeconds, kLast };

    MAngle() = default;
    MAngle(double value, Unit unit = kRadians);
    MAngle(const MAngle&) = default;
    MAngle& operator=(const MAngle&) = default;
    ~MAngle() = default;

    Unit unit() const { return unit_; }
    double value() const { return value_; }
    // Keeps the angle and re-expresses it in the new unit.
    MStatus setUnit(Unit newUnit);
    MStatus setValue(double newValue);
    double as(Unit otherUnit, MStatus* returnStatus = nullptr) const;
    double asUnits(Unit otherUnit, MStatus* returnStatus = nullptr) const {
        return as(otherUnit, returnStatus);
    }
    double asRadians() const;
    double asDegrees() const;
    double asAngMinutes() const;
    double asAngSeconds() const;

    // The working unit for user-facing values (kDegrees until set); process-wide.
    static Unit uiUnit();
    static MStatus setUIUnit(Unit newUnit);
    static Unit internalUnit() { return kRadians; }
    static double internalToUI(double internalValue);
    static double uiToInternal(double uiValue);

  private:
    double value_ = 0.0;
    Unit unit_ = kRadians;
};

OPENMAYA_NAMESPACE_CLOSE
