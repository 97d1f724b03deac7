// Built-in commands on keys: setKeyframe, keyframe (query and edit), cutKey. Keys go on
// animation curves ("animCurveTU", "TA", "TL") that drive the keyed plugs; times are in the
// scene's time unit and values in the user's units, as Maya takes and gives them.

#include <algorithm>
#include <optional>

#include <maya/MTime.h>

#include "builtin/AnimCurve.h"
#include "core/Evaluation.h"
#include "core/Plugs.h"
#include "core/Scene.h"
#include "script/Arguments.h"
#include "script/Interpreter.h"
#include "script/KeyTargets.h"
#include "script/ScriptNumbers.h"
#include "script/ValueText.h"
#include "time/SceneTime.h"

namespace headless::detail {

namespace {

const Attribute& valueAttribute(Node& curve) {
    return *attributeOf(curveOutput(curve));
}

bool rangeFlag(const Arguments& a, TimeRange& range, const std::string& command,
               std::string* error) {
    if (!a.has("t") || parseTimeRange(a.value("t"), range)) return true;
    *error = command + ": -time takes a time or a range \"start:end\" in the current time unit.";
    return false;
}

// The -time range and the curves of the named nodes or plugs, for the commands that work on
// existing keys.
struct KeysToWorkOn {
    TimeRange range;
    std::vector<std::shared_ptr<Node>> curves;
};

std::optional<KeysToWorkOn> keysToWorkOn(const Arguments& a, const std::string& command,
                                         std::string* error) {
    KeysToWorkOn work;
    if (!rangeFlag(a, work.range, command, error)) return std::nullopt;
    if (targetCurves(a.positional(), a.values("at"), work.curves, error)) return work;
    *error = command + ": " + *error;
    return std::nullopt;
}

// Edits the keys of each curve to work on through `edit`, which says whether it changed them,
// and gives the number of curves changed. A curve left without keys is deleted; the plug it drove
// keeps the value it had.
template <typename Edit>
MStatus editKeys(const KeysToWorkOn& work, Edit edit, ResultValue& result, std::string* error) {
    int changed = 0;
    for (const auto& curve : work.curves) {
        auto keys = curveKeys(*curve);
        if (!edit(*curve, keys)) continue;
        ++changed;
        if (!keys.empty()) {
            setCurveKeys(*curve, std::move(keys));
            continue;
        }
        // Bring what the curve drives up to date, so that it keeps the value of this time.
        for (const auto& c :
             Scene::instance().connectionsWithin(curveOutput(*curve), false, true)) {
            evaluatePlug(c.destination);
        }
        if (const MStatus status = Scene::instance().deleteNode(curve, error); !status)
            return status;
    }
    result.setInt(changed);
    return MStatus::kSuccess;
}

MStatus setKeyframe(const std::vector<Word>& words, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(words, {"t|time", "v|value", "at|attribute"}, {}, error))
        return MStatus::kInvalidParameter;
    double frame = currentTime().value();
    double value = 0.0;
    if ((a.has("t") && !parseFiniteNumber(a.value("t"), frame)) ||
        (a.has("v") && !parseFiniteNumber(a.value("v"), value))) {
        *error = "setKeyframe: -time and -value take a number.";
        return MStatus::kInvalidParameter;
    }
    std::vector<MPlug> plugs;
    if (!keyTargets(a.positional(), a.values("at"), WholeNode::Keyable, plugs, error)) {
        *error = "setKeyframe: " + *error;
        return MStatus::kInvalidParameter;
    }
    // Refuse before changing anything: a plug that something other than a curve drives.
    for (const auto& plug : plugs) {
        const MPlug source = sourceOf(plug);
        if (!source.isNull() && !drivingCurve(plug)) {
            *error = "setKeyframe: '" + plugPath(plug, true, true, true) + "' is driven by '" +
                     plugPath(source, true, true, true) +
                     "'; bake it (bakeResults) or break the connection first.";
            return MStatus::kFailure;
        }
        if (animCurveTypeFor(*attributeOf(plug)).empty()) {
            *error = "setKeyframe: '" + plugPath(plug, true, true, true) +
                     "' cannot be keyed: it holds a time.";
            return MStatus::kInvalidParameter;
        }
    }
    const double seconds = MTime(frame, MTime::uiUnit()).as(MTime::kSeconds);
    for (const auto& plug : plugs) {
        const double internal =
            a.has("v") ? toInternalUnits(*attributeOf(plug), value) : asNumber(evaluatePlug(plug));
        auto curve = drivingCurve(plug);
        if (!curve && !(curve = makeCurveFor(plug, error))) return MStatus::kFailure;
        auto keys = curveKeys(*curve);
        keys.push_back(Key{seconds, internal});
        setCurveKeys(*curve, std::move(keys));
    }
    result.setInt(static_cast<int>(plugs.size()));
    return MStatus::kSuccess;
}

MStatus keyframeQuery(const std::vector<Word>& words, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(words, {"t|time", "at|attribute"},
                 {"q|query", "tc|timeChange", "vc|valueChange", "kc|keyframeCount"}, error)) {
        return MStatus::kInvalidParameter;
    }
    const auto work = keysToWorkOn(a, "keyframe", error);
    if (!work) return MStatus::kInvalidParameter;
    const bool times = a.has("tc") || !a.has("vc");
    int count = 0;
    std::vector<double> numbers;
    for (const auto& curve : work->curves) {
        for (const auto& key : curveKeys(*curve)) {
            if (!work->range.contains(key.time)) continue;
            ++count;
            if (times) numbers.push_back(MTime(key.time, MTime::kSeconds).as(MTime::uiUnit()));
            if (a.has("vc")) numbers.push_back(toUserUnits(valueAttribute(*curve), key.value));
        }
    }
    if (a.has("kc")) {
        result.setInt(count);
    } else {
        // Maya gives no result when nothing is keyed.
        for (const double number : numbers) result.appendDouble(number);
    }
    return MStatus::kSuccess;
}

// keyframe -e -t RANGE -vc VALUE [-r]: sets (or, relative, moves) the values of the keys in range.
MStatus keyframeEdit(const std::vector<Word>& words, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(words, {"t|time", "at|attribute", "vc|valueChange"},
                 {"e|edit", "a|absolute", "r|relative"}, error)) {
        return MStatus::kInvalidParameter;
    }
    double value = 0.0;
    if (!a.has("vc") || !parseFiniteNumber(a.value("vc"), value)) {
        *error =
            "keyframe: edit the keys' values with -valueChange VALUE (and -time to pick keys), or "
            "use -query.";
        return MStatus::kInvalidParameter;
    }
    const auto work = keysToWorkOn(a, "keyframe", error);
    if (!work) return MStatus::kInvalidParameter;
    const bool relative = a.has("r");
    const auto setValues = [&](Node& curve, std::vector<Key>& keys) {
        const double internal = toInternalUnits(valueAttribute(curve), value);
        bool any = false;
        for (auto& key : keys) {
            if (!work->range.contains(key.time)) continue;
            key.value = relative ? key.value + internal : internal;
            any = true;
        }
        return any;
    };
    return editKeys(*work, setValues, result, error);
}

MStatus keyframe(const std::vector<Word>& words, ResultValue& result, std::string* error) {
    const auto joined = joinTimePairs(words);
    return isQuery(joined) ? keyframeQuery(joined, result, error)
                           : keyframeEdit(joined, result, error);
}

// Removes the keys in range (every key without -time). A curve left without keys is deleted; the
// plug it drove keeps the value it had.
MStatus cutKey(const std::vector<Word>& words, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(joinTimePairs(words), {"t|time", "at|attribute"}, {"cl|clear"}, error)) {
        return MStatus::kInvalidParameter;
    }
    const auto work = keysToWorkOn(a, "cutKey", error);
    if (!work) return MStatus::kInvalidParameter;
    const auto removeInRange = [&](Node&, std::vector<Key>& keys) {
        const auto before = keys.size();
        keys.erase(std::remove_if(keys.begin(), keys.end(),
                                  [&](const Key& key) { return work->range.contains(key.time); }),
                   keys.end());
        return keys.size() != before;
    };
    return editKeys(*work, removeInRange, result, error);
}

}  // namespace

void registerKeyCommands() {
    registerBuiltin("setKeyframe",
                    [](const std::vector<Word>& words, ResultValue& result, std::string* error) {
                        return setKeyframe(joinTimePairs(words), result, error);
                    });
    registerBuiltin("keyframe", keyframe);
    registerBuiltin("cutKey", cutKey);
}

}  // namespace headless::detail
