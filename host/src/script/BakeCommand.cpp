// Built-in command bakeResults: evaluates each named plug at every sample of a frame range, in
// the scene's time unit, and replaces what drives the plug with an animation curve holding
// those values, as Maya does. Each frame is evaluated in a context at that time, all plugs of
// the frame together, frames in order (as a simulation steps through them).
//
//   bakeResults -t "1:48" -sampleBy 1 -simulation true -preserveOutsideKeys true ctl.rotateZ
//   ctl.tx; cmds.bakeResults(["ctl.rotateZ"], t=(1, 48), sampleBy=1, simulation=True)

#include <algorithm>
#include <cmath>

#include <maya/MDGContext.h>
#include <maya/MTime.h>

#include "builtin/AnimCurve.h"
#include "core/Evaluation.h"
#include "core/Plugs.h"
#include "core/Scene.h"
#include "evaluation/TimedEvaluation.h"
#include "script/Arguments.h"
#include "script/Interpreter.h"
#include "script/KeyTargets.h"
#include "script/ScriptNumbers.h"

namespace headless::detail {

namespace {

// Frame numbers of the range "start:end" stepped by sampleBy, the end included.
bool sampleFrames(const std::string& range, double step, std::vector<double>& frames) {
    const auto colon = range.find(':');
    double start = 0.0;
    double end = 0.0;
    if (!parseFiniteNumber(range.substr(0, colon), start)) return false;
    if (colon == std::string::npos) {
        end = start;
    } else if (!parseFiniteNumber(range.substr(colon + 1), end)) {
        return false;
    }
    if (end < start || !(step > 0.0) || (end - start) / step > 1e6) return false;
    const auto count = static_cast<long>(std::floor((end - start) / step + 1e-9));
    for (long i = 0; i <= count; ++i) frames.push_back(start + static_cast<double>(i) * step);
    return true;
}

// Breaks the connection that drives the plug (directly or through one of its parents).
MStatus releasePlug(const MPlug& plug, std::string* error) {
    for (const auto& c : Scene::instance().connections()) {
        if (plugWithin(plug, c.destination)) {
            const Connection gone = c;
            return Scene::instance().disconnect(gone.source, gone.destination, error);
        }
    }
    return MStatus::kSuccess;
}

MStatus bakeResults(const std::vector<Word>& words, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(joinTimePairs(words),
                 {"t|time", "sb|sampleBy", "at|attribute", "sm|simulation",
                  "pok|preserveOutsideKeys", "dic|disableImplicitControl"},
                 {}, error)) {
        return MStatus::kInvalidParameter;
    }
    double step = 1.0;
    bool simulation = false;
    bool preserveOutside = false;
    bool disableImplicit = true;
    if ((a.has("sb") && !parseFiniteNumber(a.value("sb"), step)) ||
        (a.has("sm") && !parseSwitchValue(a.value("sm"), simulation)) ||
        (a.has("pok") && !parseSwitchValue(a.value("pok"), preserveOutside)) ||
        (a.has("dic") && !parseSwitchValue(a.value("dic"), disableImplicit))) {
        *error =
            "bakeResults: -sampleBy takes a positive number of frames; -simulation, "
            "-preserveOutsideKeys and "
            "-disableImplicitControl take true or false.";
        return MStatus::kInvalidParameter;
    }
    std::vector<double> frames;
    if (!a.has("t") || !sampleFrames(a.value("t"), step, frames)) {
        *error =
            "bakeResults: give the frames with -time \"start:end\" (start not after end, in the "
            "current time "
            "unit) and a positive -sampleBy.";
        return MStatus::kInvalidParameter;
    }
    std::vector<MPlug> plugs;
    if (!keyTargets(a.positional(), a.values("at"), WholeNode::Keyable, plugs, error)) {
        *error = "bakeResults: " + *error;
        return MStatus::kInvalidParameter;
    }
    for (const auto& plug : plugs) {
        if (animCurveTypeFor(*attributeOf(plug)).empty()) {
            *error = "bakeResults: '" + plugPath(plug, true, true, true) +
                     "' cannot be baked: it holds a time.";
            return MStatus::kInvalidParameter;
        }
    }
    // The host has no implicit control (IK, constraints) to switch off, and every bake steps
    // through the frames in order, so -disableImplicitControl and -simulation change nothing.
    (void)simulation;
    (void)disableImplicit;

    std::vector<std::vector<Key>> baked(plugs.size());
    for (const double frame : frames) {
        const MTime when(frame, MTime::uiUnit());
        const TimedEvaluation timed(when);
        const MDGContext context(when);
        for (std::size_t i = 0; i < plugs.size(); ++i) {
            baked[i].push_back(
                Key{when.as(MTime::kSeconds), asNumber(evaluatePlug(plugs[i], context))});
        }
    }
    const TimeRange span{baked.empty() || baked[0].empty() ? 0.0 : baked[0].front().time,
                         baked.empty() || baked[0].empty() ? 0.0 : baked[0].back().time};
    for (std::size_t i = 0; i < plugs.size(); ++i) {
        auto curve = drivingCurve(plugs[i]);
        if (curve) {
            std::vector<Key> kept;
            if (preserveOutside) {
                for (const auto& key : curveKeys(*curve)) {
                    if (!span.contains(key.time)) kept.push_back(key);
                }
            }
            baked[i].insert(baked[i].begin(), kept.begin(), kept.end());
        } else {
            if (const MStatus released = releasePlug(plugs[i], error); !released) return released;
            if (!(curve = makeCurveFor(plugs[i], error))) return MStatus::kFailure;
        }
        setCurveKeys(*curve, std::move(baked[i]));
    }
    result.setInt(static_cast<int>(plugs.size()));
    return MStatus::kSuccess;
}

}  // namespace

void registerBakeCommand() {
    registerBuiltin("bakeResults", bakeResults);
}

}  // namespace headless::detail
