#pragma once
// What the key commands (setKeyframe, keyframe, cutKey, bakeResults) work on: the plugs their
// objects and -attribute flags name, the curves that drive them, and -time ranges.

#include <memory>
#include <string>
#include <vector>

#include <maya/MPlug.h>

#include "core/Node.h"
#include "script/Tokenizer.h"

namespace headless::detail {

// Which plugs a node named without -attribute stands for.
enum class WholeNode {
    Keyable,   // its keyable numeric attributes (setKeyframe, bakeResults)
    Animated,  // its attributes that curves drive (keyframe, cutKey)
};

// The numeric plugs named: "node.attr" as given (a compound stands for its children), or each
// -attribute (the flag may be repeated) of a named node. False with a message when a name resolves
// to nothing usable.
bool keyTargets(const std::vector<std::string>& names, const std::vector<std::string>& attributes,
                WholeNode whole, std::vector<MPlug>& plugs, std::string* error);

// The animation curve whose output drives the plug directly; null when none does.
std::shared_ptr<Node> drivingCurve(const MPlug& plug);

// Every curve to edit or query: the curves driving the named plugs, and curves named as nodes.
bool targetCurves(const std::vector<std::string>& names, const std::vector<std::string>& attributes,
                  std::vector<std::shared_ptr<Node>>& curves, std::string* error);

// A time range in seconds, from "start:end", "start:", ":end" or "time", in the scene's unit.
struct TimeRange {
    double from = -1e300;
    double to = 1e300;
    bool contains(double seconds) const { return seconds >= from - 1e-9 && seconds <= to + 1e-9; }
};
bool parseTimeRange(const std::string& text, TimeRange& range);

// maya.cmds passes t=(start, end) as two words; joins them into "start:end" for -t/-time.
std::vector<Word> joinTimePairs(const std::vector<Word>& words);

// "on", "true", "yes", "1" and their opposites.
bool parseSwitchValue(const std::string& text, bool& value);

// Makes a curve for the plug, named after it, and connects it into the plug.
std::shared_ptr<Node> makeCurveFor(const MPlug& plug, std::string* error);

}  // namespace headless::detail
