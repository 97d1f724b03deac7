#pragma once
// The one command that other threads leave for the USB client's session loop. A newer command
// replaces one not yet taken, except that a stop is never replaced: a session that was asked to
// end always ends.

#include <mutex>
#include <optional>
#include <string>

struct UsbCommand {
    enum class Kind { start = 1, pause = 2, save = 3, stop = 4 };
    Kind kind = Kind::stop;
    bool withVideo = false;  // start
    std::string path;        // save
    double startTime = 0.0;  // save
    double endTime = 0.0;    // save
};

class UsbCommandMailbox {
public:
    void leave(UsbCommand command);
    std::optional<UsbCommand> take();
    bool isStopPending() const;

private:
    // Filled on the callers' threads, emptied on the session thread.
    mutable std::mutex mutex_;
    std::optional<UsbCommand> pending_;  // guarded by mutex_
};
