#include "threaded/MainLoop.h"

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include <maya/MCommandMessage.h>
#include <maya/MPxThreadedDeviceNode.h>

#include "core/DeviceQueue.h"
#include "core/Evaluation.h"
#include "core/Plugs.h"
#include "core/Scene.h"
#include "threaded/DeviceThread.h"
#include "threaded/IdleQueue.h"
#include "threaded/RefreshSignal.h"

namespace headless::detail {

namespace {

using Clock = std::chrono::steady_clock;

// Main thread only.
bool batchSession = false;

MPxThreadedDeviceNode* deviceOf(const Node& node) {
    if (!node.alive || node.type->kind != MPxNode::kThreadedDeviceNode || !node.user)
        return nullptr;
    return static_cast<MPxThreadedDeviceNode*>(node.user.get());
}

std::vector<std::shared_ptr<Node>> deviceNodes() {
    std::vector<std::shared_ptr<Node>> found;
    for (const auto& node : Scene::instance().nodes()) {
        if (deviceOf(*node)) found.push_back(node);
    }
    return found;
}

// The node's refresh outputs as plugs; the hidden "output" when it named none.
std::vector<MPlug> refreshPlugs(Node& node, MPxThreadedDeviceNode& device) {
    MObjectArray attributes = HostAccess::queue(device).refreshOutputs;
    if (attributes.length() == 0) attributes.append(MPxThreadedDeviceNode::output);
    std::vector<MPlug> plugs;
    for (unsigned int i = 0; i < attributes.length(); ++i) {
        const auto attribute = hostCast<Attribute>(attributes[i]);
        if (attribute && node.owns(*attribute))
            plugs.push_back(makePlug(node.self(), attribute, {}));
    }
    return plugs;
}

// What Maya does with a refresh request: the refresh outputs are marked dirty, and compute
// runs only for what something pulls. The host has no viewport, so the plugs that the node
// drives through connections stand for what a drawn rig would pull; a node that drives nothing
// is never computed here.
void serveRefresh(const std::shared_ptr<Node>& node) {
    MPxThreadedDeviceNode* device = deviceOf(*node);
    if (!device) return;
    for (const auto& plug : refreshPlugs(*node, *device)) propagateDirty(plug, true);
    std::vector<MPlug> downstream;
    for (const auto& connection : Scene::instance().connections()) {
        if (nodeOf(connection.source) == node) downstream.push_back(connection.destination);
    }
    // Each pull may run any node's compute, which may change the scene.
    for (const auto& plug : downstream) {
        if (node->alive && isValidPlug(plug)) evaluatePlug(plug);
    }
}

bool takeRequest(const Node& node) {
    MPxThreadedDeviceNode* device = deviceOf(node);
    return device && HostAccess::thread(*device).takeRefreshRequest();
}

bool workerRunning(const Node& node) {
    MPxThreadedDeviceNode* device = deviceOf(node);
    return device && HostAccess::thread(*device).running();
}

}  // namespace

void setBatchMode(bool batch) {
    batchSession = batch;
}

bool batchMode() {
    return batchSession;
}

int processIdleEvents() {
    const int refreshes = servePendingRefreshes();
    return refreshes + IdleQueue::instance().runRound();
}

int servePendingRefreshes() {
    deliverCommandOutput();
    int served = 0;
    for (const auto& node : deviceNodes()) {
        if (!takeRequest(*node)) continue;
        serveRefresh(node);
        ++served;
    }
    return served;
}

int runMainLoopUntil(Clock::time_point deadline) {
    const auto signal = RefreshSignal::shared();
    int served = 0;
    if (batchSession) {
        // A batch session has no event loop: the script's time just passes.
        std::this_thread::sleep_until(deadline);
        return 0;
    }
    while (true) {
        // Read before looking, so that a request posted meanwhile ends the wait below.
        const unsigned long seen = signal->generation();
        served += processIdleEvents();
        if (Clock::now() >= deadline) return served;
        signal->waitUntil(seen, deadline);
    }
}

int refreshLiveDevices(Clock::time_point deadline) {
    if (batchSession) return 0;
    const auto signal = RefreshSignal::shared();
    std::vector<std::shared_ptr<Node>> done;
    while (true) {
        const unsigned long seen = signal->generation();
        bool waiting = false;
        for (const auto& node : deviceNodes()) {
            if (std::find(done.begin(), done.end(), node) != done.end()) continue;
            if (takeRequest(*node)) {
                serveRefresh(node);
                done.push_back(node);
            } else if (workerRunning(*node)) {
                waiting = true;
            }
        }
        if (!waiting || Clock::now() >= deadline) {
            IdleQueue::instance().runRound();
            return static_cast<int>(done.size());
        }
        signal->waitUntil(seen, deadline);
    }
}

}  // namespace headless::detail
