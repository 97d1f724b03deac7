// A threaded device node's pool and queue: buffers handed from a worker thread to the main
// thread, oldest first, with acquire failing while no buffer is free.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include <maya/MFnDependencyNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxThreadedDeviceNode.h>

#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

namespace {

class Device : public MPxThreadedDeviceNode {};

TEST(DeviceQueue, PoolAndQueueRules) {
    Device device;
    MCharBuffer buffer;
    EXPECT_FALSE(device.acquireDataStorage(buffer));  // no pool yet
    ASSERT_TRUE(device.createMemoryPools(2, 4, 8));
    MCharBuffer first, second, third;
    ASSERT_TRUE(device.acquireDataStorage(first));
    EXPECT_EQ(first.size(), 32);
    ASSERT_TRUE(device.acquireDataStorage(second));
    EXPECT_FALSE(device.acquireDataStorage(third));  // both buffers out
    std::memcpy(first.ptr(), "first", 6);
    std::memcpy(second.ptr(), "second", 7);
    ASSERT_TRUE(device.pushThreadData(first));
    ASSERT_TRUE(device.pushThreadData(second));
    EXPECT_FALSE(device.pushThreadData(second));  // already queued
    EXPECT_EQ(device.threadDataCount(), 2);
    MCharBuffer popped;
    ASSERT_TRUE(device.popThreadData(popped));
    EXPECT_STREQ(popped.ptr(), "first");
    ASSERT_TRUE(device.releaseDataStorage(popped));
    ASSERT_TRUE(device.acquireDataStorage(third));  // free again
    EXPECT_FALSE(device.createMemoryPools(0, 1, 1));
    EXPECT_FALSE(device.createMemoryPools(1, 1 << 30, 1L << 40));  // size overflow refused
}

TEST(DeviceQueue, FramesCrossThreadsInOrder) {
    Device device;
    ASSERT_TRUE(device.createMemoryPools(3, 1, sizeof(int)));
    constexpr int frames = 2000;
    std::mutex mutex;
    std::condition_variable changed;
    int received = 0;
    std::thread worker([&] {
        for (int i = 0; i < frames;) {
            MCharBuffer buffer;
            if (!device.acquireDataStorage(buffer)) {
                std::unique_lock<std::mutex> lock(mutex);
                changed.wait_for(lock, std::chrono::milliseconds(5));
                continue;
            }
            std::memcpy(buffer.ptr(), &i, sizeof i);
            device.pushThreadData(buffer);
            ++i;
            changed.notify_all();
        }
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (received < frames && std::chrono::steady_clock::now() < deadline) {
        MCharBuffer buffer;
        if (!device.popThreadData(buffer)) {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait_for(lock, std::chrono::milliseconds(5));
            continue;
        }
        int value = -1;
        std::memcpy(&value, buffer.ptr(), sizeof value);
        ASSERT_EQ(value, received);
        ++received;
        device.releaseDataStorage(buffer);
        changed.notify_all();
    }
    worker.join();
    EXPECT_EQ(received, frames);
}

TEST(DeviceQueue, LiveFollowsTheAttribute) {
    headless::setEchoScriptOutput(false);
    headless::InProcessPlugin plugin("deviceTestNodes");
    MFnPlugin fn(plugin.object(), "Tests", "1.0");
    ASSERT_TRUE(fn.registerNode(
        "testDevice", MTypeId(0x7f301), [] { return static_cast<void*>(new Device); }, nullptr,
        MPxNode::kThreadedDeviceNode));
    ASSERT_TRUE(headless::execute("createNode testDevice -n dev").ok);
    EXPECT_EQ(headless::execute("getAttr dev.frameRate").result, "15");
    auto* device = static_cast<Device*>(MFnDependencyNode(headless::findNode("dev")).userNode());
    ASSERT_NE(device, nullptr);
    EXPECT_FALSE(device->isLive());
    ASSERT_TRUE(MFnDependencyNode(headless::findNode("dev")).findPlug("live", true).setBool(true));
    EXPECT_TRUE(device->isLive());
    EXPECT_EQ(headless::findNode("dev").apiType(), MFn::kPluginThreadedDevice);
    headless::newScene();
}

}  // namespace
