#include "threaded/IdleQueue.h"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include <maya/MGlobal.h>

#include "threaded/RefreshSignal.h"

namespace headless::detail {

IdleQueue& IdleQueue::instance() {
    // Never destroyed: threads of a plug-in may still post while the process exits.
    static auto* queue = new IdleQueue;
    return *queue;
}

void IdleQueue::post(std::function<void()> task, Priority priority) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(Task{priority, nextSequence_++, std::move(task)});
    }
    RefreshSignal::shared()->notify();
}

int IdleQueue::runRound() {
    std::vector<Task> round;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        round.assign(std::make_move_iterator(tasks_.begin()),
                     std::make_move_iterator(tasks_.end()));
        tasks_.clear();
    }
    std::stable_sort(round.begin(), round.end(),
                     [](const Task& a, const Task& b) { return a.priority < b.priority; });
    for (auto& task : round) {
        // A task is plug-in code: what it throws is reported, never let through the main loop.
        try {
            task.run();
        } catch (const std::exception& e) {
            MGlobal::displayError(
                MString(("An idle task failed: " + std::string(e.what())).c_str()));
        } catch (...) {
            MGlobal::displayError("An idle task failed.");
        }
    }
    return static_cast<int>(round.size());
}

std::size_t IdleQueue::pending() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return tasks_.size();
}

void IdleQueue::clear() {
    std::deque<Task> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        dropped.swap(tasks_);
    }
    // Destroyed outside the lock: a task may hold a Python function, whose release takes the
    // interpreter's lock, which a Python thread that posts holds while it waits for ours.
}

}  // namespace headless::detail
