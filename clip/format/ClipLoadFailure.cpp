#include "clip/format/ClipLoadFailure.h"

namespace {

const char* reasonText(ClipLoadFailure failure) {
    switch (failure) {
        case ClipLoadFailure::none:
            return "loaded";
        case ClipLoadFailure::cannotOpen:
            return "cannot open the file";
        case ClipLoadFailure::cutShort:
            return "cut short: the file ends before the clip's end marker \"@\"";
        case ClipLoadFailure::damaged:
            return "damaged or written with another key";
        case ClipLoadFailure::noFrames:
            return "no frames: the clip holds channel names only";
        case ClipLoadFailure::tooManyChannels:
            return "too many channels";
    }
    return "not a clip";
}

}  // namespace

std::string describeClipLoadFailure(const std::string& path, const ClipLoadResult& result) {
    std::string text = path + ": " + reasonText(result.failure);
    if (!result.detail.empty()) text += " (" + result.detail + ")";
    return text + ".";
}

std::string describeDroppedFrames(const std::string& path, std::size_t droppedFrames) {
    return "Left out " + std::to_string(droppedFrames) +
           (droppedFrames == 1 ? " frame" : " frames") + " of " + path +
           " whose time is not a finite number; the rest of the clip plays.";
}
