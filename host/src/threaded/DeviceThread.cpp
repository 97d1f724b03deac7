#include "threaded/DeviceThread.h"

#include <headless/ScriptOutput.h>

#include <cmath>
#include <exception>
#include <string>

#include <maya/MGlobal.h>
#include <maya/MPxThreadedDeviceNode.h>

#include "core/DeviceQueue.h"
#include "core/HostAccess.h"
#include "threaded/RefreshSignal.h"

namespace headless::detail {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxTicksBehind = 10;

void reportFailure(const std::string& nodeName, const char* where, const char* what) {
    const std::string text = std::string(where) + " of '" + nodeName + "' failed: " + what;
    // The host's own report, from the worker thread: not a call of the API by the plug-in.
    headless::showScriptOutputLine("// Error: " + text + " //");
}

}  // namespace

DeviceThread::DeviceThread() : signal_(RefreshSignal::shared()) {}

DeviceThread::~DeviceThread() {
    if (!thread_.joinable()) return;
    // Only reached when a node went without being torn down; the owner's handler may already be
    // gone, so stop without calling it and never block for good.
    stopping_.store(true);
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.notify_all();
    if (wake_.wait_for(lock, std::chrono::seconds(5), [this] { return finished_; })) {
        lock.unlock();
        thread_.join();
    } else {
        thread_.detach();
    }
}

void DeviceThread::start(MPxThreadedDeviceNode& node, double frameRate) {
    if (thread_.joinable()) {
        if (running()) return;
        thread_.join();  // the handler returned by itself
    }
    workerName_ = node.name().asChar();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const double rate = std::isfinite(frameRate) ? std::fmin(frameRate, kMaxFrameRate) : 0.0;
        period_ = rate > 0.0 ? std::chrono::duration_cast<Clock::duration>(
                                   std::chrono::duration<double>(1.0 / rate))
                             : Clock::duration::zero();
        nextTick_ = Clock::now();
        finished_ = false;
    }
    stopping_.store(false);
    refreshPending_.store(false);
    HostAccess::queue(node).allowWaits();
    // Frames that an earlier worker queued would hold the pool's buffers for good unless the
    // main loop is asked to take them. Counted before the new worker runs: its own frames come
    // with its own requests, and a second request for one of them would find the queue empty.
    const bool earlierFramesQueued = HostAccess::queue(node).queuedCount() > 0;
    thread_ = std::thread([this, &node] { run(node); });
    if (earlierFramesQueued) {
        refreshPending_.store(true);
        signal_->notify();
    }
}

void DeviceThread::run(MPxThreadedDeviceNode& node) {
    workerId_.store(std::this_thread::get_id());
    // An exception must not escape a thread: it would end the process.
    try {
        node.threadHandler();
    } catch (const std::exception& e) {
        reportFailure(workerName_, "The thread handler", e.what());
    } catch (...) {
        reportFailure(workerName_, "The thread handler", "unknown exception");
    }
    workerId_.store(std::thread::id());
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    wake_.notify_all();
}

bool DeviceThread::running() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !finished_;
}

bool DeviceThread::stop(MPxThreadedDeviceNode& node, std::chrono::milliseconds timeout) {
    if (!thread_.joinable()) return true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_.store(true);
    }
    wake_.notify_all();
    HostAccess::queue(node).interruptWaits();
    try {
        node.threadShutdownHandler();
    } catch (const std::exception& e) {
        reportFailure(node.name().asChar(), "The thread-shutdown handler", e.what());
    } catch (...) {
        reportFailure(node.name().asChar(), "The thread-shutdown handler", "unknown exception");
    }
    if (!joinWithin(timeout)) return false;
    refreshPending_.store(false);
    return true;
}

bool DeviceThread::joinWithin(std::chrono::milliseconds timeout) {
    if (!thread_.joinable()) return true;
    std::unique_lock<std::mutex> lock(mutex_);
    if (!wake_.wait_for(lock, timeout, [this] { return finished_; })) return false;
    lock.unlock();
    thread_.join();
    return true;
}

bool DeviceThread::waitForNextTick() {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto isStopping = [this] { return stopping_.load(); };
    if (period_ == Clock::duration::zero()) {
        wake_.wait(lock, isStopping);
        return false;
    }
    // A worker held up for a few ticks catches up, so that the count of refreshes keeps to the
    // rate; one held up for longer starts a new schedule rather than refresh in a long burst.
    const auto now = Clock::now();
    if (now > nextTick_ + kMaxTicksBehind * period_) nextTick_ = now;
    nextTick_ += period_;
    return !wake_.wait_until(lock, nextTick_, isStopping);
}

void DeviceThread::requestRefresh() {
    if (stopping_.load()) return;
    refreshPending_.store(true);
    signal_->notify();
}

}  // namespace headless::detail
