#include <headless/MainLoop.h>

#include "core/HostAccess.h"
#include "core/Node.h"
#include "threaded/DeviceWorkers.h"
#include "threaded/IdleQueue.h"
#include "threaded/MainLoop.h"

namespace headless {

using namespace detail;

int refresh(std::chrono::milliseconds wait) {
    return refreshLiveDevices(std::chrono::steady_clock::now() + wait);
}

int runMainLoopFor(std::chrono::steady_clock::duration duration) {
    return runMainLoopUntil(std::chrono::steady_clock::now() + duration);
}

int processIdleEvents() {
    return detail::processIdleEvents();
}

void setBatchMode(bool batch) {
    detail::setBatchMode(batch);
}

std::size_t pendingIdleTasks() {
    return IdleQueue::instance().pending();
}

bool deviceWorkerRunning(const MObject& node) {
    const auto found = hostCast<Node>(node);
    return found && found->alive && detail::deviceWorkerRunning(*found);
}

void setDeviceWorkerStopTimeout(std::chrono::milliseconds timeout) {
    setWorkerStopTimeout(timeout);
}

std::size_t stuckDeviceWorkerCount() {
    return stuckWorkerCount();
}

std::size_t reapStuckDeviceWorkers(std::chrono::milliseconds wait) {
    return reapStuckWorkers(wait);
}

}  // namespace headless
