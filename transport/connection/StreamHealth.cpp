#include "transport/connection/StreamHealth.h"

void ArrivalHistory::record(StreamClock::time_point arrival) {
    arrivals_[next_] = arrival;
    next_ = (next_ + 1) % kCapacity;
    if (count_ < kCapacity) ++count_;
}

double ArrivalHistory::ratePerSecond(StreamClock::time_point now) const {
    const auto windowStart = now - std::chrono::seconds(1);
    std::size_t inWindow = 0;
    // Newest first, until one falls before the window.
    for (std::size_t i = 1; i <= count_; ++i) {
        const StreamClock::time_point arrival = arrivals_[(next_ + kCapacity - i) % kCapacity];
        if (arrival <= windowStart) return static_cast<double>(inWindow);
        ++inWindow;
    }
    if (inWindow < kCapacity) return static_cast<double>(inWindow);
    // The whole ring came within the second: its own span tells the rate.
    const StreamClock::time_point newest = arrivals_[(next_ + kCapacity - 1) % kCapacity];
    const StreamClock::time_point oldest = arrivals_[next_];
    const double span = std::chrono::duration<double>(newest - oldest).count();
    return span > 0.0 ? static_cast<double>(kCapacity - 1) / span : static_cast<double>(kCapacity);
}
