#pragma once
// Idle events other than device refreshes: MGlobal::executeCommandOnIdle, executeTaskOnIdle and
// deferred scripts (evalDeferred). Posted from any thread, run on the main thread when the main
// loop is idle, and only in interactive mode.

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace headless::detail {

class IdleQueue {
  public:
    // Maya's three idle priorities, highest first.
    enum class Priority { high = 0, low = 1, veryLow = 2 };

    static IdleQueue& instance();

    // Any thread. Wakes a main loop that waits.
    void post(std::function<void()> task, Priority priority = Priority::low);
    // Main thread: runs what was posted before this call, highest priority first and in order
    // of posting within a priority. What those tasks post waits for the next round. Gives how
    // many ran.
    int runRound();
    std::size_t pending() const;
    // Drops everything posted (a process that ends without serving it, as Maya does at exit).
    void clear();

  private:
    struct Task {
        Priority priority;
        unsigned long sequence;
        std::function<void()> run;
    };

    mutable std::mutex mutex_;  // guards the tasks: any thread posts, the main thread takes
    std::deque<Task> tasks_;
    unsigned long nextSequence_ = 0;
};

}  // namespace headless::detail
