#pragma once
// How a session's stream is doing, as the live node shows it: how many frames arrived, how fast,
// when the newest one came and what it carried, and what was dropped.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

using StreamClock = std::chrono::steady_clock;

struct StreamHealth {
    std::uint64_t framesReceived = 0;
    double receiveRate = 0.0;  // frames a second over the last second
    bool hasFrame = false;     // a frame arrived in this session
    StreamClock::time_point newestArrival{};
    double newestTimestamp = 0.0;  // the phone's time of the newest frame, in seconds
    std::uint64_t droppedMessages = 0;
};

// The arrival times of the newest frames, kept in a fixed ring: enough to tell the rate over the
// last second at any phone rate without allocating per frame.
class ArrivalHistory {
  public:
    static constexpr std::size_t kCapacity = 1024;

    void record(StreamClock::time_point arrival);
    void clear() { count_ = 0; }
    // Frames a second over the second before now. When more frames than the ring holds came in
    // that second, the rate of those it holds.
    double ratePerSecond(StreamClock::time_point now) const;

  private:
    std::array<StreamClock::time_point, kCapacity> arrivals_{};
    std::size_t next_ = 0;   // where the next arrival goes
    std::size_t count_ = 0;  // arrivals held, at most kCapacity
};
