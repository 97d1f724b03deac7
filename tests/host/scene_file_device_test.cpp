// A threaded device node whose postConstructor turns it live comes back live, with its worker
// delivering frames, from a scene file; values equal to the attribute's default are not saved.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>

#include <maya/MDataBlock.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxThreadedDeviceNode.h>

#include <headless/MainLoop.h>
#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "SceneTest.h"
#include "TestDevice.h"
#include "TestNode.h"

namespace {

using namespace hosttest;
namespace fs = std::filesystem;
using headless::execute;

// The worker pushes 1, 2, 3 ... at the frame rate; a refresh pops one into "frame".
class FrameDevice : public TestNode<FrameDevice, MPxThreadedDeviceNode> {
  public:
    static MStatus initialize() {
        refreshOut = doubleAttribute("refreshOut", "ro", kNotStored | kHidden);
        frame = doubleAttribute("frame", "fm", kNotStored);
        addAttributes({&refreshOut, &frame});
        return attributeAffects(live, refreshOut);
    }

    void postConstructor() override { setUpFrameDevice(*this, refreshOut, 4, true); }

    void threadHandler() override {
        stops_.handlerBegins(*this);
        long long pushed = 0;
        while (!isDone()) {
            beginThreadLoop();
            MCharBuffer buffer;
            if (acquireDataStorage(buffer)) {
                ++pushed;
                std::memcpy(buffer.ptr(), &pushed, sizeof pushed);
                pushThreadData(buffer);
            }
            endThreadLoop();
        }
    }

    void threadShutdownHandler() override { stops_.requestStop(*this); }

    MStatus compute(const MPlug& plug, MDataBlock& data) override {
        if (plug != refreshOut) return MStatus::kUnknownParameter;
        MCharBuffer buffer;
        if (popThreadData(buffer)) {
            long long value = 0;
            std::memcpy(&value, buffer.ptr(), sizeof value);
            releaseDataStorage(buffer);
            data.outputValue(frame).set(static_cast<double>(value));
        }
        data.setClean(plug);
        return MStatus::kSuccess;
    }

    static MObject refreshOut, frame;

  private:
    WorkerStops stops_;
};

MObject FrameDevice::refreshOut;
MObject FrameDevice::frame;

class SceneFileDevice : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        MFnPlugin fn(plugin_.object(), "Tests", "1.0");
        FrameDevice::registerIn(fn, "sceneFrameDevice", 0x7f210, MPxNode::kThreadedDeviceNode);
        path_ = fs::temp_directory_path() /
                ("host_scene_device_" + std::to_string(::getpid()) + ".scene");
    }
    void TearDown() override {
        SceneTest::TearDown();
        std::error_code ignored;
        fs::remove(path_, ignored);
    }

    bool reopen() {
        if (!execute("file -save \"" + path_.string() + "\"").ok) return false;
        headless::newScene();
        return execute("file -open \"" + path_.string() + "\"").ok;
    }

    headless::InProcessPlugin plugin_{"hostSceneFileDevice"};
    fs::path path_;
};

TEST_F(SceneFileDevice, LiveNodeComesBackLiveAndDeliversFrames) {
    ASSERT_TRUE(execute("createNode sceneFrameDevice -n dev").ok);
    ASSERT_TRUE(reopen());
    const MObject dev = headless::findNode("dev");
    EXPECT_TRUE(headless::deviceWorkerRunning(dev));
    EXPECT_EQ(execute("getAttr dev.frameRate").result, "60");
    ASSERT_EQ(headless::refresh(), 1);
    EXPECT_EQ(execute("getAttr dev.refreshOut").result, "0");  // a read pops the frame
    EXPECT_GE(std::stod(execute("getAttr dev.frame").result), 1.0);
}

// Values are written when they differ from the attribute's default, as Maya does: live 0 is
// the default, so it is not saved, and postConstructor turns the node live again.
TEST_F(SceneFileDevice, NodeSavedIdleComesBackAsItsPostConstructorLeavesIt) {
    ASSERT_TRUE(
        execute("createNode sceneFrameDevice -n dev; setAttr dev.live 0; setAttr dev.frameRate 15")
            .ok);
    ASSERT_TRUE(reopen());
    EXPECT_TRUE(headless::deviceWorkerRunning(headless::findNode("dev")));
    EXPECT_EQ(execute("getAttr dev.live").result, "1");
    EXPECT_EQ(execute("getAttr dev.frameRate").result, "60");  // 15 is the default: not saved
}

}  // namespace
