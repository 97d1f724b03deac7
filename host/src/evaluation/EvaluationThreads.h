#pragma once
// The evaluation manager's threads: a small pool that runs the parallel mode's node tasks while
// the main thread waits for them. Started on first use, joined at exit. Thread-safe.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace headless::detail {

class EvaluationThreads {
  public:
    static EvaluationThreads& instance();

    // Runs the job on one of the threads, as soon as one is free.
    void post(std::function<void()> job);
    std::size_t size() const { return threads_.size(); }

    ~EvaluationThreads();
    EvaluationThreads(const EvaluationThreads&) = delete;
    EvaluationThreads& operator=(const EvaluationThreads&) = delete;

  private:
    explicit EvaluationThreads(std::size_t count);
    void work();

    std::mutex mutex_;  // guards jobs_ and stopping_
    std::condition_variable jobReady_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace headless::detail
