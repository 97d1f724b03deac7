#pragma once
// Wakes the main loop when a device worker asks for a refresh. A generation counter makes the
// wake-up race-free: the main loop reads it, looks for requests, then waits for it to change.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace headless::detail {

class RefreshSignal {
  public:
    // Shared by every device worker, so it outlives them whatever the order of static
    // destruction at exit.
    static std::shared_ptr<RefreshSignal> shared();

    unsigned long generation() const;
    // Worker side: a request was posted.
    void notify();
    // Main side: waits until the generation differs from `seen` or the deadline passes.
    void waitUntil(unsigned long seen, std::chrono::steady_clock::time_point deadline);

  private:
    mutable std::mutex mutex_;  // guards generation_ between workers and the main loop
    std::condition_variable changed_;
    unsigned long generation_ = 0;
};

}  // namespace headless::detail
