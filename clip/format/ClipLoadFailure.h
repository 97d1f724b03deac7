#pragma once
// Why a clip file did not load, in the words that the clip reader node and cliptool both use.

#include <cstddef>
#include <string>

enum class ClipLoadFailure {
    none,
    cannotOpen,       // missing, unreadable, a folder, or no regular file
    cutShort,         // the text stops before the end marker "@"
    damaged,          // bytes that are no clip text: damage, or another key
    noFrames,         // a header and the end marker, nothing between
    tooManyChannels,  // more than kMaxClipChannels
};

struct ClipLoadResult {
    ClipLoadFailure failure = ClipLoadFailure::none;
    std::string detail;             // what was found, when there is more to say
    std::size_t droppedFrames = 0;  // frames left out for a time that is not finite

    bool ok() const { return failure == ClipLoadFailure::none; }
};

// "<path>: <reason>", for instance "/takes/a.clip: cut short: the file ends before ...".
std::string describeClipLoadFailure(const std::string& path, const ClipLoadResult& result);

// The warning for frames left out at load, naming the file.
std::string describeDroppedFrames(const std::string& path, std::size_t droppedFrames);
