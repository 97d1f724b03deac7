// Threaded device nodes as the host runs them: the worker follows `live` and `frameRate`, frames
// reach compute through the queue, refreshes come at the frame rate and pull what the node
// drives, and no way of removing a node leaves its worker behind or hangs.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <maya/MDataBlock.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MPxThreadedDeviceNode.h>

#include <headless/MainLoop.h>
#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "TestDevice.h"
#include "TestNode.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define LMRA_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define LMRA_UNDER_SANITIZER 1
#endif
#endif

namespace {

using namespace hosttest;
using headless::execute;

// A device that counts its frames: the worker pushes 1, 2, 3 ... and compute of "refreshOut"
// pops them; "frameOut" follows the last frame popped.
class CountingDevice : public MPxThreadedDeviceNode {
  public:
    explicit CountingDevice(bool liveAtOnce) : liveAtOnce_(liveAtOnce) {}
    static void* manual() { return new CountingDevice(false); }
    static void* automatic() { return new CountingDevice(true); }

    static MStatus initialize() {
        refreshOut = doubleAttribute("refreshOut", "ro", kNotStored | kNotConnectable | kHidden);
        frameOut = doubleAttribute("frameOut", "fo", kNotStored);
        addAttribute(refreshOut);
        addAttribute(frameOut);
        attributeAffects(live, refreshOut);
        return attributeAffects(frameRate, refreshOut);
    }

    void postConstructor() override { setUpFrameDevice(*this, refreshOut, 1, liveAtOnce_); }

    // As a plug-in must: a stop that lands before the handler begins is not lost, and the
    // worker waits instead of spinning while it is not live or no buffer is free.
    void threadHandler() override {
        const std::uint64_t handler = stops_.handlerBegins(*this);
        ++started;
        while (!isDone()) {
            MCharBuffer buffer;
            if (!isLive() || !acquireDataStorage(buffer)) {
                stops_.waitForStop(handler, std::chrono::milliseconds(2));
                continue;
            }
            beginThreadLoop();
            ++pushed;
            std::memcpy(buffer.ptr(), &pushed, sizeof pushed);
            pushThreadData(buffer);
            endThreadLoop();
        }
        setDone(true);
        ++finished;
    }

    void threadShutdownHandler() override {
        ++shutdowns;
        stops_.requestStop(*this);
    }

    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& affected) override {
        if (plug == refreshOut) {
            ++refreshDirtied;
            affected.append(MPlug(thisMObject(), frameOut));
        }
        return MPxThreadedDeviceNode::setDependentsDirty(plug, affected);
    }

    MStatus compute(const MPlug& plug, MDataBlock& data) override {
        if (plug == refreshOut) {
            MCharBuffer buffer;
            if (!popThreadData(buffer)) return MStatus::kFailure;
            std::memcpy(&lastFrame, buffer.ptr(), sizeof lastFrame);
            releaseDataStorage(buffer);
            ++refreshComputes;
            data.outputValue(refreshOut).set(static_cast<double>(lastFrame));
            data.setClean(plug);
            return MStatus::kSuccess;
        }
        if (plug == frameOut) {
            ++frameComputes;
            data.inputValue(refreshOut);
            data.outputValue(frameOut).set(static_cast<double>(lastFrame));
            data.setClean(plug);
            return MStatus::kSuccess;
        }
        return MStatus::kUnknownParameter;
    }

    static MObject refreshOut, frameOut;
    // Written by the worker, read by the test.
    static std::atomic<int> started, finished, shutdowns;
    // Main thread only.
    static int refreshComputes, frameComputes, refreshDirtied;
    long long lastFrame = 0;

  private:
    long long pushed = 0;  // worker only; one worker at a time, each joined before the next
    WorkerStops stops_;

    bool liveAtOnce_;
};

MObject CountingDevice::refreshOut;
MObject CountingDevice::frameOut;
std::atomic<int> CountingDevice::started{0};
std::atomic<int> CountingDevice::finished{0};
std::atomic<int> CountingDevice::shutdowns{0};
int CountingDevice::refreshComputes = 0;
int CountingDevice::frameComputes = 0;
int CountingDevice::refreshDirtied = 0;

// A worker that ignores every request to stop until the test lets it go.
class StubbornDevice : public MPxThreadedDeviceNode {
  public:
    static void* creator() { return new StubbornDevice; }
    void threadHandler() override {
        std::unique_lock<std::mutex> lock(mutex);
        letGo.wait(lock, [] { return released; });
    }
    static std::mutex mutex;
    static std::condition_variable letGo;
    static bool released;  // guarded by mutex
};

std::mutex StubbornDevice::mutex;
std::condition_variable StubbornDevice::letGo;
bool StubbornDevice::released = false;

class ThrowingDevice : public MPxThreadedDeviceNode {
  public:
    static void* creator() { return new ThrowingDevice; }
    void threadHandler() override { throw std::runtime_error("no device attached"); }
};

CountingDevice& deviceNamed(const std::string& name) {
    return *static_cast<CountingDevice*>(MFnDependencyNode(headless::findNode(name)).userNode());
}

bool outputHas(const std::string& text) {
    for (const auto& line : headless::scriptOutputLines()) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

class DeviceWorker : public ::testing::Test {
  protected:
    static constexpr const char* kPlugin = "deviceWorkerNodes";

    void SetUp() override {
        headless::setEchoScriptOutput(false);
        headless::newScene();
        headless::clearScriptOutput();
        CountingDevice::started = CountingDevice::finished = CountingDevice::shutdowns = 0;
        CountingDevice::refreshComputes = CountingDevice::frameComputes =
            CountingDevice::refreshDirtied = 0;
        plugin_ = std::make_unique<headless::InProcessPlugin>(kPlugin);
        MFnPlugin fn(plugin_->object(), "Tests", "1.0");
        const auto kind = MPxNode::kThreadedDeviceNode;
        ASSERT_TRUE(fn.registerNode("countingDevice", MTypeId(0x7f401), &CountingDevice::manual,
                                    &CountingDevice::initialize, kind));
        ASSERT_TRUE(fn.registerNode("liveDevice", MTypeId(0x7f402), &CountingDevice::automatic,
                                    &CountingDevice::initialize, kind));
        ASSERT_TRUE(fn.registerNode("stubbornDevice", MTypeId(0x7f403), &StubbornDevice::creator,
                                    nullptr, kind));
        ASSERT_TRUE(fn.registerNode("throwingDevice", MTypeId(0x7f404), &ThrowingDevice::creator,
                                    nullptr, kind));
        ASSERT_TRUE(execute("createNode transform -n follower").ok);
    }

    void TearDown() override {
        headless::setBatchMode(false);
        plugin_.reset();
        headless::setDeviceWorkerStopTimeout(std::chrono::seconds(5));
    }

    std::unique_ptr<headless::InProcessPlugin> plugin_;
};

TEST_F(DeviceWorker, WorkerFollowsLive) {
    ASSERT_TRUE(execute("createNode countingDevice -n dev").ok);
    EXPECT_EQ(execute("getAttr dev.live").result, "0");
    EXPECT_EQ(execute("getAttr dev.frameRate").result, "15");
    EXPECT_FALSE(headless::deviceWorkerRunning(headless::findNode("dev")));

    ASSERT_TRUE(execute("setAttr dev.live 1").ok);
    EXPECT_TRUE(headless::deviceWorkerRunning(headless::findNode("dev")));
    EXPECT_TRUE(deviceNamed("dev").isLive());
    ASSERT_TRUE(execute("setAttr dev.live 1").ok);  // already running: nothing new

    // "The thread continues to run even if the live attribute is set to false."
    ASSERT_TRUE(execute("setAttr dev.live 0").ok);
    EXPECT_TRUE(headless::deviceWorkerRunning(headless::findNode("dev")));
    EXPECT_FALSE(deviceNamed("dev").isLive());
    EXPECT_EQ(CountingDevice::shutdowns.load(), 0);
    ASSERT_TRUE(execute("setAttr dev.live 1").ok);  // still the same worker

    // Deleting the node stops the worker as the node goes onto the undo queue.
    ASSERT_TRUE(execute("delete dev").ok);
    EXPECT_EQ(headless::undoQueueLength(), 1u);
    // Counted by the worker itself; joining it makes the counts final.
    EXPECT_EQ(CountingDevice::started.load(), 1);
    EXPECT_EQ(CountingDevice::shutdowns.load(), 1);
    EXPECT_EQ(CountingDevice::finished.load(), 1);
}

TEST_F(DeviceWorker, PostConstructorStartsItAndFrameRateRestartsIt) {
    ASSERT_TRUE(execute("createNode liveDevice -n dev").ok);
    EXPECT_TRUE(headless::deviceWorkerRunning(headless::findNode("dev")));
    EXPECT_EQ(execute("getAttr dev.frameRate").result, "60");
    // Started at 15 by "live", stopped and started again at 60 by "frameRate".
    EXPECT_EQ(CountingDevice::shutdowns.load(), 1);
    EXPECT_EQ(CountingDevice::finished.load(), 1);

    ASSERT_TRUE(execute("setAttr dev.frameRate 30").ok);
    EXPECT_EQ(CountingDevice::shutdowns.load(), 2);
    EXPECT_EQ(CountingDevice::finished.load(), 2);
    EXPECT_TRUE(headless::deviceWorkerRunning(headless::findNode("dev")));
    EXPECT_EQ(headless::refresh(), 1);  // the frame queued before the restart is not stuck
    EXPECT_EQ(execute("getAttr dev.refreshOut").ok, true);  // takes it, so the worker goes on

    // A rate that never ticks: no refresh comes, and stopping is still prompt.
    headless::setDeviceWorkerStopTimeout(std::chrono::seconds(2));
    ASSERT_TRUE(execute("setAttr dev.frameRate 0").ok);
    EXPECT_LE(headless::refresh(std::chrono::milliseconds(100)),
              1);  // a frame queued before the restart
    EXPECT_EQ(headless::refresh(std::chrono::milliseconds(100)), 0);
    ASSERT_TRUE(execute("delete dev").ok);
    EXPECT_EQ(headless::stuckDeviceWorkerCount(), 0u);
    EXPECT_EQ(CountingDevice::started.load(), 4);
    EXPECT_EQ(CountingDevice::finished.load(), 4);
}

TEST_F(DeviceWorker, FramesReachComputeThroughWhatTheNodeDrives) {
    ASSERT_TRUE(
        execute("createNode liveDevice -n dev; connectAttr dev.frameOut follower.translateX").ok);
    CountingDevice::refreshDirtied = 0;  // "live" and "frameRate" dirtied it too
    long long previous = 0;
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(headless::refresh(), 1);
        const long long frame = deviceNamed("dev").lastFrame;
        if (i > 0) {
            EXPECT_EQ(frame, previous + 1);  // one frame per refresh, none lost or repeated
        }
        previous = frame;
        EXPECT_EQ(execute("getAttr follower.translateX").result, std::to_string(frame));
    }
    EXPECT_EQ(CountingDevice::refreshComputes, 5);
    EXPECT_EQ(CountingDevice::frameComputes, 5);
    EXPECT_EQ(CountingDevice::refreshDirtied, 5);  // setDependentsDirty ran for every refresh
    EXPECT_EQ(execute("getAttr dev.refreshOut").result, std::to_string(previous));
}

TEST_F(DeviceWorker, ARefreshOnlyDirtiesWhatNothingPulls) {
    ASSERT_TRUE(execute("createNode liveDevice -n dev").ok);
    CountingDevice::refreshDirtied = 0;
    ASSERT_EQ(headless::refresh(), 1);
    EXPECT_EQ(CountingDevice::refreshDirtied, 1);
    EXPECT_EQ(CountingDevice::refreshComputes, 0);  // the host does not compute it itself
    // The one buffer stays queued, so the worker has nothing to push and asks for no refresh.
    EXPECT_EQ(headless::refresh(std::chrono::milliseconds(100)), 0);
    // A read pulls the frame; the worker goes on.
    EXPECT_EQ(execute("getAttr dev.frameOut").result, "1");
    EXPECT_EQ(CountingDevice::refreshComputes, 1);
    EXPECT_EQ(headless::refresh(), 1);
}

TEST_F(DeviceWorker, SleepRefreshesAtTheFrameRate) {
    ASSERT_TRUE(
        execute("createNode liveDevice -n dev; connectAttr dev.frameOut follower.translateX").ok);
    ASSERT_TRUE(headless::refresh());  // the worker is under way
    CountingDevice::refreshComputes = 0;
    ASSERT_TRUE(execute("sleep 1").ok);
#ifdef LMRA_UNDER_SANITIZER
    EXPECT_GE(CountingDevice::refreshComputes, 30);
    EXPECT_LE(CountingDevice::refreshComputes, 66);
#else
    EXPECT_GE(CountingDevice::refreshComputes, 55);
    EXPECT_LE(CountingDevice::refreshComputes, 65);
#endif
    EXPECT_FALSE(execute("sleep -1").ok);
    EXPECT_FALSE(execute("sleep soon").ok);
    EXPECT_TRUE(execute("sleep 0").ok);
}

TEST_F(DeviceWorker, EveryWayOfRemovingANodeJoinsItsWorker) {
    ASSERT_TRUE(execute("createNode liveDevice -n a; createNode liveDevice -n b").ok);
    ASSERT_TRUE(execute("delete a").ok);
    // a's two workers and b's first one (before its restart at 60) have finished.
    EXPECT_EQ(CountingDevice::finished.load(), 3);
    EXPECT_EQ(headless::undoQueueLength(), 1u);
    EXPECT_TRUE(headless::deviceWorkerRunning(headless::findNode("b")));
    headless::newScene();
    EXPECT_EQ(CountingDevice::started.load(), CountingDevice::finished.load());
    EXPECT_EQ(headless::undoQueueLength(), 0u);  // a new scene flushes it

    ASSERT_TRUE(execute("createNode liveDevice -n c").ok);
    ASSERT_TRUE(execute("file -new -force").ok);
    EXPECT_EQ(CountingDevice::started.load(), CountingDevice::finished.load());

    // Dropping the plug-in deletes its nodes, which joins their workers.
    ASSERT_TRUE(execute("createNode liveDevice -n d").ok);
    plugin_.reset();
    EXPECT_EQ(CountingDevice::started.load(), CountingDevice::finished.load());
    EXPECT_EQ(headless::stuckDeviceWorkerCount(), 0u);
}

// Every restart stops a worker that may not have begun its handler yet.
TEST_F(DeviceWorker, ThousandRestarts) {
    ASSERT_TRUE(execute("createNode countingDevice -n dev; setAttr dev.live 1").ok);
    MPlug rate = MFnDependencyNode(headless::findNode("dev")).findPlug("frameRate", true);
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(rate.setDouble(i % 2 ? 30.0 : 60.0));
    EXPECT_EQ(CountingDevice::shutdowns.load(), 1000);
    EXPECT_EQ(CountingDevice::finished.load(), 1000);
    EXPECT_EQ(headless::stuckDeviceWorkerCount(), 0u);
    ASSERT_TRUE(execute("delete dev").ok);
    EXPECT_EQ(CountingDevice::started.load(), 1001);
    EXPECT_EQ(CountingDevice::finished.load(), 1001);
}

TEST_F(DeviceWorker, AWorkerThatWillNotStopIsReportedNotWaitedFor) {
    headless::setDeviceWorkerStopTimeout(std::chrono::milliseconds(200));
    {
        std::lock_guard<std::mutex> lock(StubbornDevice::mutex);
        StubbornDevice::released = false;
    }
    ASSERT_TRUE(execute("createNode stubbornDevice -n stuck; setAttr stuck.live 1").ok);
    ASSERT_TRUE(execute("delete stuck").ok);
    EXPECT_TRUE(outputHas("The worker thread of 'stuck' did not stop within 200 ms"));
    EXPECT_EQ(headless::stuckDeviceWorkerCount(), 1u);
    std::string error;
    EXPECT_FALSE(headless::unloadPlugin(kPlugin, &error));  // on the undo queue
    EXPECT_NE(error.find("flushUndo"), std::string::npos);
    headless::flushUndo();
    EXPECT_FALSE(headless::unloadPlugin(kPlugin, &error));  // its code still runs
    EXPECT_NE(error.find("worker thread still runs"), std::string::npos);

    {
        std::lock_guard<std::mutex> lock(StubbornDevice::mutex);
        StubbornDevice::released = true;
    }
    StubbornDevice::letGo.notify_all();
    EXPECT_EQ(headless::reapStuckDeviceWorkers(std::chrono::seconds(5)), 0u);
}

TEST_F(DeviceWorker, AThrowingHandlerIsReported) {
    ASSERT_TRUE(execute("createNode throwingDevice -n t; setAttr t.live 1").ok);
    ASSERT_TRUE(execute("delete t").ok);  // joins the worker, so its message is out
    EXPECT_TRUE(outputHas("The thread handler of 't' failed: no device attached"));
    EXPECT_EQ(headless::stuckDeviceWorkerCount(), 0u);
}

// Idle events: device refreshes, idle tasks and commands (posted from any thread) and deferred
// scripts, served between top-level commands, while sleeping and at refresh.
TEST_F(DeviceWorker, IdleEventsInInteractiveMode) {
    EXPECT_EQ(MGlobal::mayaState(), MGlobal::kInteractive);
    static std::vector<std::string> ran;
    ran.clear();
    std::thread poster([] {
        MGlobal::executeTaskOnIdle([](void*) { ran.emplace_back("low"); });
        MGlobal::executeTaskOnIdle([](void*) { ran.emplace_back("high"); }, nullptr,
                                   MGlobal::kHighIdlePriority);
        MGlobal::executeCommandOnIdle("setAttr follower.translateY 2");
    });
    poster.join();
    EXPECT_EQ(headless::pendingIdleTasks(), 3u);
    EXPECT_TRUE(execute("evalDeferred \"setAttr follower.translateZ 3\"").ok);
    EXPECT_TRUE(ran.empty());  // nothing runs inside a command

    headless::ScriptOptions topLevel;
    topLevel.idleBetweenCommands = true;
    ASSERT_TRUE(
        headless::runScript("getAttr follower.translateY; getAttr follower.translateY", topLevel)
            .ok());
    EXPECT_EQ(ran, (std::vector<std::string>{"high", "low"}));
    EXPECT_EQ(execute("getAttr follower.translateY").result, "2");
    EXPECT_EQ(execute("getAttr follower.translateZ").result, "3");

    MGlobal::executeCommandOnIdle("setAttr follower.translateY 4");
    ASSERT_TRUE(execute("sleep 0").ok);
    EXPECT_EQ(execute("getAttr follower.translateY").result, "4");
    MGlobal::executeCommandOnIdle("setAttr follower.translateY 5");
    EXPECT_EQ(headless::processIdleEvents(), 1);
    EXPECT_EQ(execute("getAttr follower.translateY").result, "5");
}

// As "mayabatch": no idle event is served, so a live device's outputs never update and idle
// tasks wait.
TEST_F(DeviceWorker, BatchModeServesNoIdleEvents) {
    headless::setBatchMode(true);
    EXPECT_EQ(MGlobal::mayaState(), MGlobal::kBatch);
    ASSERT_TRUE(
        execute("createNode liveDevice -n dev; connectAttr dev.frameOut follower.translateX").ok);
    MGlobal::executeCommandOnIdle("setAttr follower.translateY 2");
    headless::ScriptOptions topLevel;
    topLevel.idleBetweenCommands = true;
    ASSERT_TRUE(headless::runScript("sleep 0.3; refresh; refresh; sleep 0.1", topLevel).ok());
    EXPECT_EQ(CountingDevice::refreshComputes, 0);
    EXPECT_EQ(execute("getAttr follower.translateY").result, "0");
    EXPECT_EQ(headless::pendingIdleTasks(), 1u);
    // A read still computes: the first frame, the only one the worker could push.
    EXPECT_EQ(execute("getAttr follower.translateX").result, "1");

    headless::setBatchMode(false);
    EXPECT_GE(headless::processIdleEvents(), 1);
    EXPECT_EQ(execute("getAttr follower.translateY").result, "2");
    // Frames reach what the node drives again: frame 2, or a later one when the round above
    // already served frame 2's request.
    ASSERT_EQ(headless::refresh(), 1);
    EXPECT_GE(std::stod(execute("getAttr follower.translateX").result), 2.0);
}

TEST(DeviceWorkerQueue, AcquireFailsAtOnceWhenNoBufferIsFree) {
    CountingDevice device(false);
    ASSERT_TRUE(device.createMemoryPools(1, 1, 8));
    MCharBuffer first, second;
    ASSERT_TRUE(device.acquireDataStorage(first));
    EXPECT_FALSE(device.acquireDataStorage(second));
    ASSERT_TRUE(device.releaseDataStorage(first));
    EXPECT_TRUE(device.acquireDataStorage(second));
    EXPECT_FALSE(device.endThreadLoop());  // not on a worker: nothing to pace
}

}  // namespace
