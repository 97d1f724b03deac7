#pragma once
// The commands that other threads leave for the USB client's session loop, in the order they were
// given. The loop takes them between two receives, so several may wait at once: a save is never
// lost to a later command. A start or pause replaces a start or pause still waiting just before
// it (only the latest streaming state matters). Nothing is accepted after a stop: a session that
// was asked to end always ends, and ends last.

#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

struct UsbCommand {
    enum class Kind { start = 1, pause = 2, save = 3, stop = 4 };

    UsbCommand() = default;
    explicit UsbCommand(Kind what, bool video = false) : kind(what), withVideo(video) {}
    UsbCommand(std::string savePath, double from, double to)
        : kind(Kind::save), path(std::move(savePath)), startTime(from), endTime(to) {}

    Kind kind = Kind::stop;
    bool withVideo = false;  // start
    std::string path;        // save
    double startTime = 0.0;  // save
    double endTime = 0.0;    // save
};

class UsbCommandMailbox {
  public:
    // More commands than this waiting at once means the loop is stuck (a long video transfer);
    // the oldest is then dropped rather than letting a script grow the queue without end.
    static constexpr std::size_t kCapacity = 64;

    void leave(UsbCommand command);
    std::optional<UsbCommand> take();
    bool isStopPending() const;

  private:
    // Filled on the callers' threads, emptied on the session thread.
    mutable std::mutex mutex_;
    std::deque<UsbCommand> pending_;  // guarded by mutex_; a stop can only be the last one
};
