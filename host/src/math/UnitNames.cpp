#include "math/UnitNames.h"

namespace headless::detail {

namespace {

template <typename Unit>
struct UnitName {
    Unit unit;
    const char* shortName;
    const char* longName;
};

constexpr UnitName<MDistance::Unit> kDistanceNames[] = {
    {MDistance::kMillimeters, "mm", "millimeter"},
    {MDistance::kCentimeters, "cm", "centimeter"},
    {MDistance::kMeters, "m", "meter"},
    {MDistance::kKilometers, "km", "kilometer"},
    {MDistance::kInches, "in", "inch"},
    {MDistance::kFeet, "ft", "foot"},
    {MDistance::kYards, "yd", "yard"},
    {MDistance::kMiles, "mi", "mile"}};

constexpr UnitName<MAngle::Unit> kAngleNames[] = {{MAngle::kDegrees, "deg", "degree"},
                                                  {MAngle::kRadians, "rad", "radian"},
                                                  {MAngle::kAngMinutes, "min", "angMinute"},
                                                  {MAngle::kAngSeconds, "sec", "angSecond"}};

template <typename Unit, std::size_t N>
bool fromName(const UnitName<Unit> (&names)[N], const std::string& name, Unit& unit) {
    for (const auto& entry : names) {
        if (name == entry.shortName || name == entry.longName) {
            unit = entry.unit;
            return true;
        }
    }
    return false;
}

template <typename Unit, std::size_t N>
std::string toName(const UnitName<Unit> (&names)[N], Unit unit, bool fullName) {
    for (const auto& entry : names) {
        if (entry.unit == unit) return fullName ? entry.longName : entry.shortName;
    }
    return {};
}

template <typename Unit, std::size_t N>
std::string allNames(const UnitName<Unit> (&names)[N]) {
    std::string text;
    for (const auto& entry : names)
        text += (text.empty() ? "" : "|") + std::string(entry.shortName);
    return text;
}

}  // namespace

bool distanceUnitFromName(const std::string& name, MDistance::Unit& unit) {
    return fromName(kDistanceNames, name, unit);
}

bool angleUnitFromName(const std::string& name, MAngle::Unit& unit) {
    return fromName(kAngleNames, name, unit);
}

std::string distanceUnitName(MDistance::Unit unit, bool fullName) {
    return toName(kDistanceNames, unit, fullName);
}

std::string angleUnitName(MAngle::Unit unit, bool fullName) {
    return toName(kAngleNames, unit, fullName);
}

std::string distanceUnitNames() {
    return allNames(kDistanceNames);
}

std::string angleUnitNames() {
    return allNames(kAngleNames);
}

}  // namespace headless::detail
