#include "clip/nodes/TakeInfoCommand.h"

#include "clip/format/ParseClipFile.h"
#include "device/channels/ChannelOutputRules.h"
#include "device/node/CommandArguments.h"
#include "plugin/messages/PluginMessages.h"
#include "transport/outcomes/SaveOutcomes.h"

#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

const char* const TakeInfoCommand::commandName = "mocapTakeInfo";

namespace {

const CommandUsage kUsage{TakeInfoCommand::commandName, "<clip path>", 1, 1};

struct TakeInfo {
    std::string state;
    std::string clip;
    std::size_t frames = 0;
    double duration = 0.0;
    std::string video;
    std::string videoState;
    unsigned long long videoBytes = 0;
    std::string reason;
};

std::string secondsText(double seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", seconds);
    return text;
}

TakeInfo fromSave(const SaveOutcome& outcome) {
    TakeInfo info;
    info.state = describeClipState(outcome.clip);
    info.clip = outcome.clipPath;
    info.frames = outcome.frames;
    info.duration = outcome.duration;
    info.video = outcome.videoPath;
    info.videoState = describeVideoState(outcome.video);
    info.videoBytes = outcome.videoBytes;
    info.reason = !outcome.clipReason.empty() ? outcome.clipReason : outcome.videoReason;
    return info;
}

// Reads the clip as the clip reader would: the frames it plays and how long they last.
TakeInfo fromFile(const std::string& path) {
    TakeInfo info;
    info.clip = path;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        info.state = "missing";
        return info;
    }
    ChannelNameLists names;
    ClipFrames frames(matrixChannelOutputs);
    const ClipLoadResult result = loadClipFile(names, frames, path);
    if (!result.ok()) {
        info.state = "unreadable";
        info.reason = describeClipLoadFailure(path, result);
        return info;
    }
    info.state = "file";
    info.frames = frames.size();
    info.duration = frames.duration();
    return info;
}

}  // namespace

MStatus TakeInfoCommand::doIt(const MArgList& args) {
    const QueuedMessagesShown shownMessages;  // what the plug-in's threads posted
    if (!checkArgumentCount(args, kUsage)) return MStatus::kFailure;
    MString pathText;
    if (!readTextArgument(args, 0, kUsage, pathText)) return MStatus::kFailure;
    const std::string path = pathText.asChar();

    const auto saved = latestSaveOutcome(path);
    const TakeInfo info = saved ? fromSave(*saved) : fromFile(path);
    MStringArray result;
    auto add = [&result](const char* name, const std::string& value) {
        result.append(name);
        result.append(value.c_str());
    };
    add("state", info.state);
    add("clip", info.clip);
    add("frames", std::to_string(info.frames));
    add("duration", secondsText(info.duration));
    add("video", info.video);
    add("videoState", info.videoState);
    add("videoBytes", std::to_string(info.videoBytes));
    add("reason", info.reason);
    setResult(result);
    return MStatus::kSuccess;
}
