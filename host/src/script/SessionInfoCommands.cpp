// Built-in commands about the session: about (-batch, -version, -apiVersion,
// -operatingSystem), workspace (-query -rootDirectory, -fullName) and playbackOptions
// (-minTime, -maxTime, -animationStartTime, -animationEndTime; -query for each).

#include <filesystem>

#include "script/Arguments.h"
#include "script/Interpreter.h"
#include "script/ScriptNumbers.h"

namespace headless::detail {

namespace {

MStatus about(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {},
                 {"q|query", "b|batch", "v|version", "api|apiVersion", "os|operatingSystem"},
                 error)) {
        return MStatus::kInvalidParameter;
    }
    if (a.has("b")) {
        result.setBool(true);  // the headless host never has a user interface
    } else if (a.has("v")) {
        result.setString("2022");
    } else if (a.has("api")) {
        result.setInt(20220000);
    } else if (a.has("os")) {
        result.setString("linux64");
    } else {
        *error = "about: ask one of -batch, -version, -apiVersion, -operatingSystem.";
        return MStatus::kInvalidParameter;
    }
    return MStatus::kSuccess;
}

// The workspace is the folder the process runs in.
MStatus workspace(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    Arguments a;
    if (!a.parse(args, {}, {"q|query", "rd|rootDirectory", "fn|fullName"}, error)) {
        return MStatus::kInvalidParameter;
    }
    if (!a.has("q") || !(a.has("rd") || a.has("fn"))) {
        *error = "workspace: only -query -rootDirectory and -query -fullName are supported.";
        return MStatus::kInvalidParameter;
    }
    std::error_code failed;
    const std::string folder = std::filesystem::current_path(failed).string();
    if (failed) {
        *error = "workspace: the current folder cannot be read: " + failed.message();
        return MStatus::kFailure;
    }
    result.setString(a.has("rd") ? folder + "/" : folder);
    return MStatus::kSuccess;
}

struct PlaybackRange {
    double minTime = 1.0;
    double maxTime = 120.0;
    double animationStart = 1.0;
    double animationEnd = 200.0;
};

// Main thread only.
PlaybackRange& playback() {
    static PlaybackRange range;
    return range;
}

MStatus playbackOptions(const std::vector<Word>& args, ResultValue& result, std::string* error) {
    const std::vector<std::string> times = {"min|minTime", "max|maxTime", "ast|animationStartTime",
                                            "aet|animationEndTime"};
    double PlaybackRange::*const fields[] = {&PlaybackRange::minTime, &PlaybackRange::maxTime,
                                             &PlaybackRange::animationStart,
                                             &PlaybackRange::animationEnd};
    Arguments a;
    const bool query = isQuery(args);
    std::vector<std::string> switches = {"q|query", "e|edit"};
    if (query) switches.insert(switches.end(), times.begin(), times.end());
    if (!a.parse(args, query ? std::vector<std::string>() : times, switches, error))
        return MStatus::kInvalidParameter;
    if (!a.positional().empty()) {
        *error = "playbackOptions: takes flags only.";
        return MStatus::kInvalidParameter;
    }
    PlaybackRange next = playback();
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (!a.has(times[i])) continue;
        if (query) {
            result.setDouble(playback().*fields[i]);
            return MStatus::kSuccess;
        }
        if (!parseFiniteNumber(a.value(times[i]), next.*fields[i])) {
            *error =
                "playbackOptions: -" + times[i].substr(times[i].find('|') + 1) + " takes a time.";
            return MStatus::kInvalidParameter;
        }
    }
    if (query) {
        *error =
            "playbackOptions: -query asks for one of -minTime, -maxTime, -animationStartTime, "
            "-animationEndTime.";
        return MStatus::kInvalidParameter;
    }
    // The playback range stays inside the animation range, as Maya keeps it.
    next.animationStart = std::min(next.animationStart, next.minTime);
    next.animationEnd = std::max(next.animationEnd, next.maxTime);
    if (next.minTime > next.maxTime) {
        *error = "playbackOptions: the start time must not be after the end time.";
        return MStatus::kInvalidParameter;
    }
    playback() = next;
    return MStatus::kSuccess;
}

}  // namespace

void registerSessionInfoCommands() {
    registerBuiltin("about", about);
    registerBuiltin("workspace", workspace);
    registerBuiltin("playbackOptions", playbackOptions);
}

}  // namespace headless::detail
