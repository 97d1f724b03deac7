#include <maya/MTime.h>

#include <cmath>
#include <cstdint>

#include "math/UnitQuantity.h"

namespace {

// Units per second as the exact fraction perSecond / per.
struct UnitRate {
    std::int64_t perSecond;
    std::int64_t per;
};

// Indexed by MTime::Unit up to k6000FPS; zero marks a unit without a rate.
constexpr UnitRate kRates[] =
    {
        {0, 1},     // kInvalid
        {1, 3600},  // kHours
        {1, 60},    // kMinutes
        {1, 1},     // kSeconds
        {1000, 1},  // kMilliseconds
        {15, 1},       {24, 1},    {25, 1},   {30, 1},       {48, 1},  {50, 1},   {60, 1},
        {2, 1},        {3, 1},     {4, 1},    {5, 1},        {6, 1},   {8, 1},    {10, 1},
        {12, 1},       {16, 1},    {20, 1},   {40, 1},       {75, 1},  {80, 1},   {100, 1},
        {120, 1},      {125, 1},   {150, 1},  {200, 1},      {240, 1}, {250, 1},  {300, 1},
        {375, 1},      {400, 1},   {500, 1},  {600, 1},      {750, 1}, {1200, 1}, {1500, 1},
        {2000, 1},     {3000, 1},  {6000, 1}, {24000, 1001},  // k23_976FPS
        {30000, 1001},                                        // k29_97FPS
        {30000, 1001},  // k29_97DF: drop-frame timecode at the same rate
        {48000, 1001},  // k47_952FPS
        {60000, 1001},  // k59_94FPS
        {44100, 1},    {48000, 1}, {90, 1},
};
static_assert(sizeof(kRates) / sizeof(kRates[0]) == MTime::kUserDef, "one rate per unit");

// Maya's tick: every unit's frame is a whole number of them.
constexpr std::int64_t kTicksPerSecond = 141120000;

std::int64_t ticksPerUnit(const UnitRate& rate) {
    return kTicksPerSecond * rate.per / rate.perSecond;
}

bool hasRate(MTime::Unit unit) {
    return unit > MTime::kInvalid && unit < MTime::kUserDef;
}

bool rateOf(MTime::Unit unit, UnitRate& rate) {
    if (!hasRate(unit)) return false;
    rate = kRates[unit];
    return true;
}

// Read by every thread that builds a default time, written by the scene's unit command.
hostmath::WorkingUnit<MTime::Unit> uiTimeUnit{MTime::kFilm};

}  // namespace

MTime::MTime() : value_(0.0), unit_(uiUnit()) {}

MTime::MTime(double value, Unit unit) : value_(value), unit_(unit) {}

MStatus MTime::setUnit(Unit newUnit) {
    return hostmath::changeUnit(*this, newUnit, hasRate(newUnit));
}

MStatus MTime::setValue(double newValue) {
    value_ = newValue;
    return MStatus::kSuccess;
}

double MTime::as(Unit otherUnit) const {
    if (otherUnit == unit_) return value_;
    UnitRate from{};
    UnitRate to{};
    if (!rateOf(unit_, from) || !rateOf(otherUnit, to)) return 0.0;
    // Through whole ticks, as Maya keeps time: a frame at 24 fps is the double nearest 1/24 s,
    // 12 film frames are exactly 15 NTSC frames, and 0.4004 s is exactly frame 12 at 29.97.
    const std::int64_t ticks = std::llround(value_ * static_cast<double>(ticksPerUnit(from)));
    return static_cast<double>(ticks) / static_cast<double>(ticksPerUnit(to));
}

MTime MTime::operator+(const MTime& rhs) const {
    return MTime(value_ + rhs.as(unit_), unit_);
}
MTime MTime::operator+(double rhs) const {
    return MTime(value_ + rhs, unit_);
}
MTime& MTime::operator+=(const MTime& rhs) {
    return *this = *this + rhs;
}
MTime& MTime::operator+=(double rhs) {
    return *this = *this + rhs;
}
MTime MTime::operator-(const MTime& rhs) const {
    return MTime(value_ - rhs.as(unit_), unit_);
}
MTime MTime::operator-(double rhs) const {
    return MTime(value_ - rhs, unit_);
}
MTime& MTime::operator-=(const MTime& rhs) {
    return *this = *this - rhs;
}
MTime& MTime::operator-=(double rhs) {
    return *this = *this - rhs;
}
MTime MTime::operator*(double rhs) const {
    return MTime(value_ * rhs, unit_);
}
MTime& MTime::operator*=(double rhs) {
    return *this = *this * rhs;
}
MTime MTime::operator/(double rhs) const {
    return MTime(value_ / rhs, unit_);
}
MTime& MTime::operator/=(double rhs) {
    return *this = *this / rhs;
}

MTime& MTime::operator++() {
    return *this += 1.0;
}

MTime MTime::operator++(int) {
    const MTime before = *this;
    *this += 1.0;
    return before;
}

MTime& MTime::operator--() {
    return *this -= 1.0;
}

MTime MTime::operator--(int) {
    const MTime before = *this;
    *this -= 1.0;
    return before;
}

namespace {

// The time in whole ticks (0 for a unit without a rate), so that frames compare exactly.
std::int64_t ticksOf(const MTime& time) {
    UnitRate rate{};
    if (!rateOf(time.unit(), rate)) return 0;
    return std::llround(time.value() * static_cast<double>(ticksPerUnit(rate)));
}

}  // namespace

bool MTime::operator==(const MTime& rhs) const {
    return ticksOf(*this) == ticksOf(rhs);
}
bool MTime::operator!=(const MTime& rhs) const {
    return !(*this == rhs);
}
bool MTime::operator<(const MTime& rhs) const {
    return ticksOf(*this) < ticksOf(rhs);
}
bool MTime::operator>(const MTime& rhs) const {
    return rhs < *this;
}
bool MTime::operator<=(const MTime& rhs) const {
    return !(rhs < *this);
}
bool MTime::operator>=(const MTime& rhs) const {
    return !(*this < rhs);
}

MTime::Unit MTime::uiUnit() {
    return uiTimeUnit.get();
}

MStatus MTime::setUIUnit(Unit newUnit) {
    return uiTimeUnit.set(newUnit, hasRate(newUnit));
}
