#pragma once
// The worker thread of one threaded device node: runs the node's thread handler, paces its
// loop at the node's frame rate, and posts refresh requests for the main loop. Owned by the
// node object, so it lives exactly as long as the node's own code may run on it.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <maya/MApiNamespace.h>  // declares MPxThreadedDeviceNode

namespace headless::detail {

class RefreshSignal;

class DeviceThread {
  public:
    DeviceThread();
    DeviceThread(const DeviceThread&) = delete;
    DeviceThread& operator=(const DeviceThread&) = delete;
    ~DeviceThread();

    // Main thread: runs the node's thread handler on a new worker that ticks `frameRate` times
    // a second. A rate that is not positive never ticks; rates are capped at kMaxFrameRate.
    void start(MPxThreadedDeviceNode& node, double frameRate);
    // Main thread: tells the worker to stop, calls the node's thread-shutdown handler and joins.
    // False when the worker did not finish within the timeout; it is then left running.
    bool stop(MPxThreadedDeviceNode& node, std::chrono::milliseconds timeout);
    // Main thread: joins a worker once it finishes, waiting that long at most; true when joined
    // (or when there was nothing to join).
    bool joinWithin(std::chrono::milliseconds timeout);
    // Main thread: a worker was started and has not been joined.
    bool started() const { return thread_.joinable(); }
    // The thread handler is still running.
    bool running() const;
    bool stopping() const { return stopping_.load(); }
    bool onWorker() const { return workerId_.load() == std::this_thread::get_id(); }

    // Worker: waits for the next tick of the frame rate; false when the worker is stopping.
    bool waitForNextTick();
    // Worker: asks the main loop to refresh the node.
    void requestRefresh();
    // Main thread: takes the pending refresh request, if any.
    bool takeRefreshRequest() { return refreshPending_.exchange(false); }

    static constexpr double kMaxFrameRate = 1000.0;

  private:
    void run(MPxThreadedDeviceNode& node);

    std::thread thread_;  // main thread only
    const std::shared_ptr<RefreshSignal> signal_;

    // Read by the worker on every loop and written by the main thread, so atomic.
    std::atomic<bool> stopping_{false};
    std::atomic<bool> refreshPending_{false};
    std::atomic<std::thread::id> workerId_{};

    mutable std::mutex mutex_;  // guards finished_ and the tick schedule; pairs with wake_
    std::condition_variable wake_;
    bool finished_ = true;
    // Set by start() before the worker exists, then used by the worker alone.
    std::chrono::steady_clock::duration period_{};
    std::chrono::steady_clock::time_point nextTick_{};
    std::string workerName_;  // the node's name when the worker started, for its messages
};

}  // namespace headless::detail
