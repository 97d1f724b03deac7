#pragma once
// Headless host: Maya's MTime, with Maya 2022's units. A time is kept as a value in its own
// unit, so that a value given in frames stays exact; conversions go through each unit's rate,
// and times compare as Maya's integer ticks (141120000 a second, a whole number of ticks per
// frame of every unit, 23.976 and 29.97 fps included).

#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class MTime {
  public:
    enum Unit {
        kInvalid,
        kHours,
        kMinutes,
        kSeconds,
        kMilliseconds,
        kGames,
        k15FPS = kGames,
        kFilm,
        k24FPS = kFilm,
        kPALFrame,
        k25FPS = kPALFrame,
        kNTSCFrame,
        k30FPS = kNTSCFrame,
        kShowScan,
        k48FPS = kShowScan,
        kPALField,
        k50FPS = kPALField,
        kNTSCField,
        k60FPS = kNTSCField,
        k2FPS,
        k3FPS,
        k4FPS,
        k5FPS,
        k6FPS,
        k8FPS,
        k10FPS,
        k12FPS,
        k16FPS,
        k20FPS,
        k40FPS,
        k75FPS,
        k80FPS,
        k100FPS,
        k120FPS,
        k125FPS,
        k150FPS,
        k200FPS,
        k240FPS,
        k250FPS,
        k300FPS,
        k375FPS,
        k400FPS,
        k500FPS,
        k600FPS,
        k750FPS,
        k1200FPS,
        k1500FPS,
        k2000FPS,
        k3000FPS,
        k6000FPS,
        k23_976FPS,
        k29_97FPS,
        k29_97DF,
        k47_952FPS,
        k59_94FPS,
        k44100FPS,
        k48000FPS,
        k90FPS,
        kUserDef,
        kLast
    };

    // Zero in the scene's current time unit.
    MTime();
    MTime(double value, Unit unit = kFilm);
    MTime(const MTime&) = default;
    MTime& operator=(const MTime&) = default;
    ~MTime() = default;

    Unit unit() const { return unit_; }
    double value() const { return value_; }
    // Keeps the time and re-expresses it in the new unit.
    MStatus setUnit(Unit newUnit);
    MStatus setValue(double newValue);
    // This time in another unit; 0 when either unit has no rate (kInvalid, kUserDef, kLast).
    double as(Unit otherUnit) const;
    double asUnits(Unit otherUnit) const { return as(otherUnit); }

    // Arithmetic keeps the unit of the left operand; a plain number is read in that unit.
    MTime operator+(const MTime& rhs) const;
    MTime operator+(double rhs) const;
    MTime& operator+=(const MTime& rhs);
    MTime& operator+=(double rhs);
    MTime operator-(const MTime& rhs) const;
    MTime operator-(double rhs) const;
    MTime& operator-=(const MTime& rhs);
    MTime& operator-=(double rhs);
    MTime operator*(double rhs) const;
    MTime& operator*=(double rhs);
    MTime operator/(double rhs) const;
    MTime& operator/=(double rhs);
    MTime& operator++();
    MTime operator++(int);
    MTime& operator--();
    MTime operator--(int);

    bool operator==(const MTime& rhs) const;
    bool operator!=(const MTime& rhs) const;
    bool operator<(const MTime& rhs) const;
    bool operator>(const MTime& rhs) const;
    bool operator<=(const MTime& rhs) const;
    bool operator>=(const MTime& rhs) const;

    // The scene's current time unit (kFilm until set); shared by every thread of the process.
    static Unit uiUnit();
    static MStatus setUIUnit(Unit newUnit);

  private:
    double value_ = 0.0;
    Unit unit_ = kFilm;
};

OPENMAYA_NAMESPACE_CLOSE
