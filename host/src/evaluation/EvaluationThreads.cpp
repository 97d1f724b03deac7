#include "evaluation/EvaluationThreads.h"

#include <algorithm>

namespace headless::detail {

EvaluationThreads& EvaluationThreads::instance() {
    // At least two, so that concurrency is real even on one core; few, like Maya's default.
    static EvaluationThreads threads(
        std::clamp<std::size_t>(std::thread::hardware_concurrency(), 2, 4));
    return threads;
}

EvaluationThreads::EvaluationThreads(std::size_t count) {
    threads_.reserve(count);
    for (std::size_t i = 0; i < count; ++i) threads_.emplace_back([this] { work(); });
}

EvaluationThreads::~EvaluationThreads() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    jobReady_.notify_all();
    for (auto& thread : threads_) thread.join();
}

void EvaluationThreads::post(std::function<void()> job) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    jobReady_.notify_one();
}

void EvaluationThreads::work() {
    while (true) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            jobReady_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

}  // namespace headless::detail
