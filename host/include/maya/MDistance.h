#pragma once
// Headless host: Maya's MDistance (2018 API). The internal unit is centimetres.

#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MDistance {
  public:
    enum Unit {
        kInvalid,
        kInches,
        kFeet,
        kYards,
        kMiles,
        kMillimeters,
        kCentimeters,
        kKilometers,
        kMeters,
        kLast
    };

    MDistance() = default;
    MDistance(double value, Unit unit = kCentimeters);
    MDistance(const MDistance&) = default;
    MDistance& operator=(const MDistance&) = default;
    ~MDistance() = default;

    Unit unit() const { return unit_; }
    double value() const { return value_; }
    // Keeps the distance and re-expresses it in the new unit.
    MStatus setUnit(Unit newUnit);
    MStatus setValue(double newValue);
    double as(Unit otherUnit, MStatus* returnStatus = nullptr) const;
    double asUnits(Unit otherUnit, MStatus* returnStatus = nullptr) const {
        return as(otherUnit, returnStatus);
    }
    double asInches() const { return as(kInches); }
    double asFeet() const { return as(kFeet); }
    double asYards() const { return as(kYards); }
    double asMiles() const { return as(kMiles); }
    double asMillimeters() const { return as(kMillimeters); }
    double asCentimeters() const { return as(kCentimeters); }
    double asKilometers() const { return as(kKilometers); }
    double asMeters() const { return as(kMeters); }

    // The working unit for user-facing values (kCentimeters until set); process-wide.
    static Unit uiUnit();
    static MStatus setUIUnit(Unit newUnit);
    static Unit internalUnit() { return kCentimeters; }
    static double internalToUI(double internalValue);
    static double uiToInternal(double uiValue);

  private:
    double value_ = 0.0;
    Unit unit_ = kCentimeters;
};

OPENMAYA_NAMESPACE_CLOSE
