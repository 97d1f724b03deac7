#pragma once
// What the host tests' threaded device nodes share: their set-up, and the bookkeeping of their
// worker's stops.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include <maya/MFnDependencyNode.h>
#include <maya/MObjectArray.h>
#include <maya/MPxThreadedDeviceNode.h>

namespace hosttest {

// For postConstructor: `refreshOut` is the refresh output, the pool holds `buffers` frame
// numbers, and a device that goes `live` at once runs at 60 frames a second.
inline void setUpFrameDevice(MPxThreadedDeviceNode& device, const MObject& refreshOut, int buffers,
                             bool live) {
    MObjectArray outputs;
    outputs.append(refreshOut);
    device.setRefreshOutputAttributes(outputs);
    device.createMemoryPools(buffers, 1, sizeof(long long));
    if (!live) return;
    MFnDependencyNode fn(device.thisMObject());
    fn.findPlug("live", true).setBool(true);
    fn.findPlug("frameRate", true).setDouble(60.0);
}

// The host may call threadShutdownHandler before the handler it stops has begun; counting
// handlers and stops keeps such a stop from being undone when that handler begins, as a plug-in
// must.
class WorkerStops {
  public:
    // First in threadHandler: counts the handler in and leaves the node done when its stop came
    // already. Returns the handler's number.
    std::uint64_t handlerBegins(MPxThreadedDeviceNode& node) {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::uint64_t handler = ++handlersStarted_;
        node.setDone(stopsRequested_ >= handler);
        return handler;
    }

    // In threadShutdownHandler: stops the running handler, or the next one if none runs yet.
    void requestStop(MPxThreadedDeviceNode& node) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopsRequested_ = std::min(stopsRequested_ + 1, handlersStarted_ + 1);
            node.setDone(true);
        }
        wake_.notify_all();
    }

    // Lets an idle worker wait for its stop, up to `wait`, instead of spinning.
    void waitForStop(std::uint64_t handler, std::chrono::milliseconds wait) {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait_for(lock, wait, [&] { return stopsRequested_ >= handler; });
    }

  private:
    std::mutex mutex_;  // guards the two counts, between the worker and the main thread
    std::condition_variable wake_;
    std::uint64_t handlersStarted_ = 0;
    std::uint64_t stopsRequested_ = 0;
};

}  // namespace hosttest
