#include "threaded/RefreshSignal.h"

namespace headless::detail {

std::shared_ptr<RefreshSignal> RefreshSignal::shared() {
    static const std::shared_ptr<RefreshSignal> signal = std::make_shared<RefreshSignal>();
    return signal;
}

unsigned long RefreshSignal::generation() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return generation_;
}

void RefreshSignal::notify() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++generation_;
    }
    changed_.notify_all();
}

void RefreshSignal::waitUntil(unsigned long seen, std::chrono::steady_clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_until(lock, deadline, [&] { return generation_ != seen; });
}

}  // namespace headless::detail
