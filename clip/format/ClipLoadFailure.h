#pragma once
// Why a clip file did not load, in the words that the clip reader node and cliptool both use.

#include <cstddef>
#include <string>

enum class ClipLoadFailure {
    kNone,
    kCannotOpen,       // missing, unreadable, or a folder
    kCutShort,         // the text stops before the end marker "@"
    kDamaged,          // bytes that are no clip text: damage, or another key
    kNoFrames,         // a header and the end marker, nothing between
    kTooManyChannels,  // more than kMaxClipChannels
};

struct ClipLoadResult {
    ClipLoadFailure failure = ClipLoadFailure::kNone;
    std::string detail;             // what was found, when there is more to say
    std::size_t droppedFrames = 0;  // frames left out for a time that is not finite

    bool ok() const { return failure == ClipLoadFailure::kNone; }
};

// "<path>: <reason>", for instance "/takes/a.clip: cut short: the file ends before ...".
std::string describeClipLoadFailure(const std::string& path, const ClipLoadResult& result);

// The warning for frames left out at load, naming the file.
std::string describeDroppedFrames(const std::string& path, std::size_t droppedFrames);
