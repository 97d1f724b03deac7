#include "transport/connection/SilenceWatch.h"

SilenceWatch::Change SilenceWatch::update(bool watching, StreamClock::time_point watchingSince,
                                          bool hasFrame, StreamClock::time_point newestArrival,
                                          StreamClock::time_point now) {
    if (warned_) {
        // Frames that come back are said even when the node was paused meanwhile.
        if (!hasFrame || newestArrival <= warnedAt_) return Change::none;
        warned_ = false;
        return Change::framesBack;
    }
    const StreamClock::time_point lastHeard =
        hasFrame && newestArrival > watchingSince ? newestArrival : watchingSince;
    if (!watching || now - lastHeard < kSilence) return Change::none;
    warned_ = true;
    warnedAt_ = now;
    return Change::fellSilent;
}

std::string SilenceWatch::silenceWarning(bool usb) {
    return usb ? "No frames from the phone for 2 s over USB: check the cable and that the app is "
                 "streaming."
               : "No frames from the phone for 2 s over Wi-Fi: check that the app is streaming and "
                 "on the same network.";
}

std::string SilenceWatch::framesBackInfo(bool usb) {
    return usb ? "Frames from the phone again over USB."
               : "Frames from the phone again over Wi-Fi.";
}
