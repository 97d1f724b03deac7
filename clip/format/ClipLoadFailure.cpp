#include "clip/format/ClipLoadFailure.h"

#include "transport/messages/KindTexts.h"

namespace {

const char* reasonText(ClipLoadFailure failure) {
    static constexpr const char* kReasons[] = {
        "loaded",
        "cannot open the file",
        "cut short: the file ends before the clip's end marker \"@\"",
        "damaged or written with another key",
        "no frames: the clip holds channel names only",
        "too many channels",
    };
    return kindText(failure, kReasons, "not a clip");
}

}  // namespace

std::string describeClipLoadFailure(const std::string& path, const ClipLoadResult& result) {
    std::string text = (path.empty() ? std::string("The clip path is empty") : path) + ": " +
                       reasonText(result.failure);
    if (!result.detail.empty()) text += " (" + result.detail + ")";
    return text + ".";
}

std::string describeDroppedFrames(const std::string& path, std::size_t droppedFrames) {
    return "Left out " + std::to_string(droppedFrames) +
           (droppedFrames == 1 ? " frame" : " frames") + " of " + path +
           " whose time is not a finite number; the rest of the clip plays.";
}
