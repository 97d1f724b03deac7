#include "evaluation/ParallelEvaluation.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <vector>

#include <maya/MPxNode.h>

#include "core/Evaluation.h"
#include "core/Node.h"
#include "core/Plugs.h"
#include "core/Scene.h"
#include "core/ThreadCheck.h"
#include "evaluation/EvaluationManager.h"
#include "evaluation/EvaluationThreads.h"

namespace headless::detail {

namespace {

// One node's share of the evaluation: its dirty plugs that nodes downstream read.
struct Task {
    std::shared_ptr<Node> node;
    std::vector<MPlug> plugs;
    std::set<PlugKey> planned;
    MPxNode::SchedulingType scheduling = MPxNode::kSerial;
    std::size_t serialGroup = 0;
    std::set<std::size_t> dependents;
    std::size_t waitingFor = 0;
};

// Union-find over the tasks, for the groups of directly connected kSerial nodes.
std::size_t groupOf(std::vector<std::size_t>& parent, std::size_t at) {
    while (parent[at] != at) at = parent[at] = parent[parent[at]];
    return at;
}

class Run {
  public:
    explicit Run(std::vector<Task> tasks) : tasks_(std::move(tasks)), serialGroups_(tasks_.size()) {
        unfinished_ = tasks_.size();
    }

    // Main thread: starts what is ready, runs the kUntrusted tasks itself, and returns when
    // every task is done (rethrowing the first exception a compute threw).
    void execute() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            for (std::size_t i = 0; i < tasks_.size(); ++i) {
                if (tasks_[i].waitingFor == 0) schedule(i);
            }
        }
        while (true) {
            std::size_t next = 0;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [this] { return unfinished_ == 0 || !onMainThread_.empty(); });
                if (onMainThread_.empty()) break;
                next = onMainThread_.front();
                onMainThread_.pop_front();
            }
            runTask(next);
        }
        if (failure_) std::rethrow_exception(failure_);
    }

  private:
    // With mutex_ held.
    void schedule(std::size_t index) {
        if (tasks_[index].scheduling == MPxNode::kUntrusted) {
            onMainThread_.push_back(index);
            changed_.notify_all();
            return;
        }
        EvaluationThreads::instance().post([this, index] { runTask(index); });
    }

    void runTask(std::size_t index) {
        Task& task = tasks_[index];
        {
            const EvaluationThreadScope evaluating;  // the main thread waits for this thread
            const EvaluationPass pass(EvaluationPass::join);
            try {
                switch (task.scheduling) {
                    case MPxNode::kUntrusted: {
                        const std::unique_lock<std::shared_mutex> alone(everyNode_);
                        evaluate(task);
                        break;
                    }
                    case MPxNode::kGloballySerial: {
                        const std::shared_lock<std::shared_mutex> shared(everyNode_);
                        const std::lock_guard<std::mutex> serial(globallySerial_);
                        evaluate(task);
                        break;
                    }
                    case MPxNode::kSerial: {
                        const std::shared_lock<std::shared_mutex> shared(everyNode_);
                        const std::lock_guard<std::mutex> serial(serialGroups_[task.serialGroup]);
                        evaluate(task);
                        break;
                    }
                    default: {
                        const std::shared_lock<std::shared_mutex> shared(everyNode_);
                        evaluate(task);
                        break;
                    }
                }
            } catch (...) {
                const std::lock_guard<std::mutex> lock(mutex_);
                if (!failure_) failure_ = std::current_exception();
            }
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const std::size_t dependent : task.dependents) {
            if (--tasks_[dependent].waitingFor == 0) schedule(dependent);
        }
        --unfinished_;
        changed_.notify_all();
    }

    static void evaluate(const Task& task) {
        for (const MPlug& plug : task.plugs) {
            if (task.node->alive) evaluatePlug(plug);
        }
    }

    std::vector<Task> tasks_;  // the graph is fixed once the run starts
    std::mutex mutex_;         // guards the counts below, the queue and failure_
    std::condition_variable changed_;
    std::deque<std::size_t> onMainThread_;
    std::size_t unfinished_ = 0;
    std::exception_ptr failure_;
    // Shared by every task, exclusive for a kUntrusted one.
    std::shared_mutex everyNode_;
    std::mutex globallySerial_;
    std::vector<std::mutex> serialGroups_;  // by group number; one per task at most
};

}  // namespace

void evaluateUpstreamInParallel(const MPlug& plug) {
    Node* root = liveNode(plug);
    if (!root) return;
    const auto& connections = Scene::instance().connections();

    // Walk up through dirty connections: each source node gets a task for the plugs read from it.
    // A node is reached only after the node it feeds has its task (or is the root, which the
    // main thread pulls afterwards), so each edge is wired as it is found.
    std::vector<Task> tasks;
    std::vector<std::size_t> group;  // union-find parents, by task
    std::map<const Node*, std::size_t> taskOf;
    std::deque<const Node*> pending{root};
    while (!pending.empty()) {
        const Node* destination = pending.front();
        pending.pop_front();
        const auto to = taskOf.find(destination);
        for (const auto& connection : connections) {
            if (liveNode(connection.destination) != destination) continue;
            Node* source = liveNode(connection.source);
            if (!source || source == root || !source->user || !isPlugDirty(connection.source))
                continue;
            auto [at, added] = taskOf.emplace(source, tasks.size());
            const std::size_t from = at->second;
            if (added) {
                Task task;
                task.node = source->self();
                task.scheduling = source->user->schedulingType();
                tasks.push_back(std::move(task));
                group.push_back(from);
                pending.push_back(source);
            }
            Task& task = tasks[from];
            if (task.planned.insert(keyOf(connection.source)).second)
                task.plugs.push_back(connection.source);
            if (to == taskOf.end()) continue;
            if (task.dependents.insert(to->second).second) ++tasks[to->second].waitingFor;
            if (task.scheduling == MPxNode::kSerial &&
                tasks[to->second].scheduling == MPxNode::kSerial) {
                group[groupOf(group, from)] = groupOf(group, to->second);
            }
        }
    }
    if (tasks.empty()) return;
    for (std::size_t i = 0; i < tasks.size(); ++i) tasks[i].serialGroup = groupOf(group, i);

    // A cycle between nodes would never start: leave such a graph to the pull.
    std::vector<std::size_t> waiting(tasks.size());
    std::deque<std::size_t> ready;
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        waiting[i] = tasks[i].waitingFor;
        if (waiting[i] == 0) ready.push_back(i);
    }
    std::size_t ordered = 0;
    for (; !ready.empty(); ++ordered) {
        const std::size_t at = ready.front();
        ready.pop_front();
        for (const std::size_t next : tasks[at].dependents) {
            if (--waiting[next] == 0) ready.push_back(next);
        }
    }
    if (ordered != tasks.size()) return;

    // Lookups that build per-node indexes on first use happen here, not on several threads.
    for (const Task& task : tasks) task.node->findAttribute("message");

    Run run(std::move(tasks));
    run.execute();
}

}  // namespace headless::detail
