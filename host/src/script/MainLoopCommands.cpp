// Built-in commands that run the main loop: sleep SECONDS (serves idle events as they come, in
// real time), refresh (serves the next request of every live device node, then the idle tasks)
// and evalDeferred SCRIPT (runs the script at the next idle event). None serves anything in
// batch mode.

#include <chrono>

#include <headless/Script.h>

#include "script/Arguments.h"
#include "script/Interpreter.h"
#include "script/ScriptNumbers.h"
#include "threaded/IdleQueue.h"
#include "threaded/MainLoop.h"

namespace headless::detail {

namespace {

using Clock = std::chrono::steady_clock;

// A script that sleeps longer than this is surely wrong.
constexpr double kLongestSleepSeconds = 24.0 * 3600.0;

MStatus sleepCommand(const std::vector<Word>& args, ResultValue&, std::string* error) {
    double seconds = 0.0;
    if (args.size() != 1 || !parseFiniteNumber(args[0].text, seconds) || seconds < 0.0 ||
        seconds > kLongestSleepSeconds) {
        *error = "sleep: give the seconds to run for, from 0 to 86400.";
        return MStatus::kInvalidParameter;
    }
    const auto duration =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    runMainLoopUntil(Clock::now() + duration);
    return MStatus::kSuccess;
}

MStatus refreshCommand(const std::vector<Word>& args, ResultValue&, std::string* error) {
    Arguments a;
    if (!a.parse(args, {}, {"f|force", "cv|currentView"}, error)) return MStatus::kInvalidParameter;
    if (!a.positional().empty()) {
        *error = "refresh: takes no arguments.";
        return MStatus::kInvalidParameter;
    }
    refreshLiveDevices(Clock::now() + std::chrono::seconds(1));
    return MStatus::kSuccess;
}

MStatus evalDeferred(const std::vector<Word>& args, ResultValue&, std::string* error) {
    if (args.size() != 1) {
        *error = "evalDeferred: give the script to run, as one string.";
        return MStatus::kInvalidParameter;
    }
    IdleQueue::instance().post([script = args[0].text] { headless::runScript(script); });
    return MStatus::kSuccess;
}

}  // namespace

void registerMainLoopCommands() {
    registerBuiltin("evalDeferred", evalDeferred);
    registerBuiltin("sleep", sleepCommand);
    registerBuiltin("refresh", refreshCommand);
}

}  // namespace headless::detail
