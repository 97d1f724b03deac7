#include "threaded/DeviceWorkers.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include <maya/MGlobal.h>
#include <maya/MPxThreadedDeviceNode.h>

#include "core/DeviceQueue.h"
#include "core/Evaluation.h"
#include "core/Node.h"
#include "core/Plugins.h"
#include "threaded/DeviceThread.h"

namespace headless::detail {

namespace {

// Tests may set it from any thread; read on the main thread.
std::atomic<long long> stopTimeoutMs{5000};

// A node object whose worker did not stop when its node went away.
struct StuckWorker {
    std::unique_ptr<MPxNode> node;
    std::string pluginName;
    bool inProcess = false;  // its code is part of the program and never unloaded
};

// Main thread only. At exit the objects of workers still running are left alone, never freed
// under them.
class StuckWorkers {
  public:
    ~StuckWorkers() {
        for (auto& worker : list) (void)worker.node.release();
    }
    std::vector<StuckWorker> list;
};

StuckWorkers& stuck() {
    static StuckWorkers workers;
    return workers;
}

MPxThreadedDeviceNode* deviceOf(Node& node) {
    if (node.type->kind != MPxNode::kThreadedDeviceNode || !node.user) return nullptr;
    return static_cast<MPxThreadedDeviceNode*>(node.user.get());
}

double plugNumber(Node& node, const MObject& attribute) {
    return asNumber(storedValue(makePlug(node.self(), hostCast<Attribute>(attribute), {})));
}

bool stopWorker(Node& node, MPxThreadedDeviceNode& device) {
    const std::chrono::milliseconds timeout(stopTimeoutMs.load());
    if (HostAccess::thread(device).stop(device, timeout)) return true;
    const std::string text = "The worker thread of '" + node.name + "' did not stop within " +
                             std::to_string(timeout.count()) + " ms; it is left running.";
    MGlobal::displayError(MString(text.c_str()));
    return false;
}

}  // namespace

void deviceAttributeSet(Node& node, const Attribute& attribute) {
    MPxThreadedDeviceNode* device = deviceOf(node);
    if (!device) return;
    const bool isLiveAttribute =
        &attribute == hostCast<Attribute>(MPxThreadedDeviceNode::live).get();
    const bool isRateAttribute =
        &attribute == hostCast<Attribute>(MPxThreadedDeviceNode::frameRate).get();
    if (!isLiveAttribute && !isRateAttribute) return;
    const bool live = plugNumber(node, MPxThreadedDeviceNode::live) != 0.0;
    // The worker reads "live" through isLive(), so it gets an atomic copy.
    HostAccess::queue(*device).live.store(live);
    DeviceThread& thread = HostAccess::thread(*device);
    // "The thread continues to run even if the live attribute is set to false": live only
    // starts a worker that is not running.
    if (isLiveAttribute) {
        if (live && !thread.running())
            thread.start(*device, plugNumber(node, MPxThreadedDeviceNode::frameRate));
        return;
    }
    // A new rate takes effect through a restart of a running worker, as Maya does it.
    if (!thread.running() || !stopWorker(node, *device)) return;
    thread.start(*device, plugNumber(node, MPxThreadedDeviceNode::frameRate));
}

void stopDeviceWorker(Node& node) {
    MPxThreadedDeviceNode* device = deviceOf(node);
    if (!device) return;
    HostAccess::queue(*device).live.store(false);
    if (stopWorker(node, *device)) return;
    const auto plugin = PluginManager::instance().find(node.type->pluginName);
    HostAccess::attachHost(*node.user, nullptr);
    stuck().list.push_back(StuckWorker{std::move(node.user), node.type->pluginName,
                                       plugin && plugin->library == nullptr});
}

bool deviceWorkerRunning(Node& node) {
    MPxThreadedDeviceNode* device = deviceOf(node);
    return device && HostAccess::thread(*device).running();
}

void setWorkerStopTimeout(std::chrono::milliseconds timeout) {
    stopTimeoutMs.store(timeout.count());
}

std::size_t reapStuckWorkers(std::chrono::milliseconds wait) {
    auto& list = stuck().list;
    for (auto at = list.begin(); at != list.end();) {
        auto& device = static_cast<MPxThreadedDeviceNode&>(*at->node);
        if (!HostAccess::thread(device).joinWithin(wait)) {
            ++at;
            continue;
        }
        // Its destructor is the plug-in's code: run it only while that code is loaded.
        if (!at->inProcess && !PluginManager::instance().find(at->pluginName))
            (void)at->node.release();
        at = list.erase(at);
    }
    return list.size();
}

std::size_t stuckWorkerCount() {
    return stuck().list.size();
}

std::size_t stuckWorkerCount(const std::string& pluginName) {
    const auto& list = stuck().list;
    return static_cast<std::size_t>(
        std::count_if(list.begin(), list.end(),
                      [&](const StuckWorker& worker) { return worker.pluginName == pluginName; }));
}

}  // namespace headless::detail
