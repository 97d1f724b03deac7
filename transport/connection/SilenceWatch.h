#pragma once
// Notices a phone that falls silent while the node captures: one warning when no frame has come
// for a while, naming what to check on the transport in use, and one line when frames come back.
// Fed by one thread (the device node's worker), at its own pace.

#include <chrono>
#include <string>

#include "transport/connection/StreamHealth.h"

class SilenceWatch {
  public:
    static constexpr std::chrono::seconds kSilence{2};

    enum class Change { none, fellSilent, framesBack };

    // watching: capturing and not paused, since watchingSince (the last start). newestArrival
    // counts only when hasFrame. Gives what there is to say now, once.
    Change update(bool watching, StreamClock::time_point watchingSince, bool hasFrame,
                  StreamClock::time_point newestArrival, StreamClock::time_point now);
    // A new connection: whatever was said before no longer holds.
    void reset() { warned_ = false; }

    static std::string silenceWarning(bool usb);
    static std::string framesBackInfo(bool usb);

  private:
    bool warned_ = false;
    StreamClock::time_point warnedAt_{};
};
