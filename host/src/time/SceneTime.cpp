#include "time/SceneTime.h"

#include "core/Evaluation.h"
#include "evaluation/TimedEvaluation.h"

namespace headless::detail {

namespace {

struct NamedUnit {
    const char* name;
    MTime::Unit unit;
};

// Query names first: the first entry of a unit is the name it is reported by.
constexpr NamedUnit kUnitNames[] = {
    {"hour", MTime::kHours},          {"min", MTime::kMinutes},
    {"sec", MTime::kSeconds},         {"millisec", MTime::kMilliseconds},
    {"game", MTime::kGames},          {"film", MTime::kFilm},
    {"pal", MTime::kPALFrame},        {"ntsc", MTime::kNTSCFrame},
    {"show", MTime::kShowScan},       {"palf", MTime::kPALField},
    {"ntscf", MTime::kNTSCField},     {"2fps", MTime::k2FPS},
    {"3fps", MTime::k3FPS},           {"4fps", MTime::k4FPS},
    {"5fps", MTime::k5FPS},           {"6fps", MTime::k6FPS},
    {"8fps", MTime::k8FPS},           {"10fps", MTime::k10FPS},
    {"12fps", MTime::k12FPS},         {"16fps", MTime::k16FPS},
    {"20fps", MTime::k20FPS},         {"40fps", MTime::k40FPS},
    {"75fps", MTime::k75FPS},         {"80fps", MTime::k80FPS},
    {"100fps", MTime::k100FPS},       {"120fps", MTime::k120FPS},
    {"125fps", MTime::k125FPS},       {"150fps", MTime::k150FPS},
    {"200fps", MTime::k200FPS},       {"240fps", MTime::k240FPS},
    {"250fps", MTime::k250FPS},       {"300fps", MTime::k300FPS},
    {"375fps", MTime::k375FPS},       {"400fps", MTime::k400FPS},
    {"500fps", MTime::k500FPS},       {"600fps", MTime::k600FPS},
    {"750fps", MTime::k750FPS},       {"1200fps", MTime::k1200FPS},
    {"1500fps", MTime::k1500FPS},     {"2000fps", MTime::k2000FPS},
    {"3000fps", MTime::k3000FPS},     {"6000fps", MTime::k6000FPS},
    {"15fps", MTime::kGames},         {"24fps", MTime::kFilm},
    {"25fps", MTime::kPALFrame},      {"30fps", MTime::kNTSCFrame},
    {"48fps", MTime::kShowScan},      {"50fps", MTime::kPALField},
    {"60fps", MTime::kNTSCField},     {"23.976fps", MTime::k23_976FPS},
    {"29.97fps", MTime::k29_97FPS},   {"29.97df", MTime::k29_97DF},
    {"47.952fps", MTime::k47_952FPS}, {"59.94fps", MTime::k59_94FPS},
    {"44100fps", MTime::k44100FPS},   {"48000fps", MTime::k48000FPS},
    {"90fps", MTime::k90FPS},
};

}  // namespace

bool timeUnitFromName(const std::string& name, MTime::Unit& unit) {
    for (const auto& entry : kUnitNames) {
        if (name == entry.name) {
            unit = entry.unit;
            return true;
        }
    }
    return false;
}

std::string timeUnitName(MTime::Unit unit) {
    for (const auto& entry : kUnitNames) {
        if (entry.unit == unit) return entry.name;
    }
    return "invalid";
}

std::string timeUnitNames() {
    std::string names;
    for (const auto& entry : kUnitNames) {
        if (entry.unit == MTime::k2FPS) break;  // the plain rates are listed as "Nfps"
        names += std::string(names.empty() ? "" : "|") + entry.name;
    }
    return names + "|<N>fps";
}

MTime currentTime() {
    const MPlug outTime = timeNodeOutput();
    MTime when(outTime.isNull() ? 0.0 : asNumber(evaluatePlug(outTime)), MTime::kSeconds);
    when.setUnit(MTime::uiUnit());
    return when;
}

MStatus setCurrentTime(const MTime& when, std::string* error) {
    const MPlug outTime = timeNodeOutput();
    if (outTime.isNull()) {
        *error = "The scene has no time node.";
        return MStatus::kFailure;
    }
    if (!sourceOf(outTime).isNull()) return setPlugValue(outTime, when.as(MTime::kSeconds), error);
    writeValue(outTime, when.as(MTime::kSeconds));
    setPlugClean(outTime);
    propagateTimeChange(outTime);
    return MStatus::kSuccess;
}

MStatus setCurrentTimeUnit(MTime::Unit unit) {
    const MStatus status = MTime::setUIUnit(unit);
    if (!status) return status;
    // Time values in seconds stay as they are, but what counts in frames now counts differently.
    if (const MPlug outTime = timeNodeOutput(); !outTime.isNull()) propagateDirty(outTime, false);
    return MStatus::kSuccess;
}

}  // namespace headless::detail
