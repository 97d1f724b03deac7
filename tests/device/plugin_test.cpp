// The plug-in in the headless host: what load and unload register and run, a new device node's
// attributes, and the session commands' argument rules.

#include <string>
#include <vector>

#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>
#include <maya/MUserEventMessage.h>

#include "DeviceSceneTest.h"

namespace {

const char* const kInitText =
    "try:\n    from lumora.lib import plugin_init\n    plugin_init()\nexcept:\n    pass\n";
const char* const kCleanupText =
    "try:\n    from lumora.lib import plugin_cleanup\n    plugin_cleanup()\nexcept:\n    pass\n";
const char* const kSessionCommands[] = {"establishConnection", "startMocapSession", "pauseMocapSession",
                                        "stopMocapSession"};

using PluginTest = DeviceSceneTest;

TEST_F(PluginTest, UnloadAndLoadAgain) {
    headless::newScene();
    EXPECT_TRUE(MUserEventMessage::isUserEvent(kStatusEvent));
    headless::clearPythonCommands();
    std::string error;
    ASSERT_TRUE(headless::unloadPlugin("lumoraMocap", &error)) << error;
    EXPECT_EQ(headless::pythonCommands(), std::vector<std::string>{kCleanupText});
    EXPECT_FALSE(MUserEventMessage::isUserEvent(kStatusEvent));
    for (const char* name : kSessionCommands) EXPECT_FALSE(command(std::string(name) + " x").ok) << name;
    EXPECT_FALSE(command("createNode LMRARealTimeDevice").ok);

    // An event of that name left behind is reused without complaint.
    ASSERT_TRUE(MUserEventMessage::registerUserEvent(kStatusEvent));
    headless::clearPythonCommands();
    headless::clearScriptOutput();
    ASSERT_TRUE(headless::loadPlugin("lumoraMocap", &error)) << error;
    EXPECT_EQ(headless::pythonCommands(), std::vector<std::string>{kInitText});
    for (const std::string& line : headless::scriptOutputLines()) EXPECT_EQ(line.find("Error"), std::string::npos) << line;
    EXPECT_TRUE(MUserEventMessage::isUserEvent(kStatusEvent));
    run("createNode LMRARealTimeDevice -n dev");
    EXPECT_EQ(command("stopMocapSession dev").result, "0");
}

TEST_F(PluginTest, NewDeviceNodeAttributes) {
    run("createNode LMRARealTimeDevice -n dev");
    EXPECT_EQ(command("nodeType dev").result, "LMRARealTimeDevice");
    EXPECT_EQ(value("dev.live"), 1.0);
    EXPECT_EQ(value("dev.frameRate"), 60.0);
    EXPECT_EQ(value("dev.connectionStatus"), 0.0);
    EXPECT_EQ(value("dev.connectionType"), 0.0);
    EXPECT_EQ(value("dev.wifiPort"), 35601.0);
    EXPECT_EQ(value("dev.usbPort"), 35602.0);
    EXPECT_EQ(value("dev.clipLength"), 30.0);
    EXPECT_EQ(value("dev.rv"), 0.0);
    EXPECT_EQ(command("getAttr dev.ipAddress").result, "192.168.0.10");
    EXPECT_EQ(command("getAttr dev.clipPathTemplate").result, "/lumora/<scenename>_<nodename>.###");

    const MFnDependencyNode node(headless::findNode("dev"));
    const MFnAttribute refresh(node.findPlug("refresh", true).attribute());
    EXPECT_EQ(refresh.name(), "refreshNode");
    EXPECT_TRUE(refresh.isHidden());
    EXPECT_FALSE(refresh.isConnectable());
    EXPECT_FALSE(refresh.isStorable());
    EXPECT_FALSE(MFnAttribute(node.findPlug("connectionStatus", true).attribute()).isStorable());
    EXPECT_EQ(MFnAttribute(node.findPlug("rv", true).attribute()).name(), "recordVideo");
    EXPECT_TRUE(node.findPlug("multipliers", true).isNull());  // no channels before a connection
}

TEST_F(PluginTest, CommandsTakeExactlyOneDeviceNode) {
    run("createNode LMRARealTimeDevice -n dev; createNode transform -n plain");
    for (const char* name : kSessionCommands) {
        const std::string c = name;
        EXPECT_FALSE(command(c).ok) << c;
        EXPECT_FALSE(command(c + " dev dev").ok) << c;
        EXPECT_FALSE(command(c + " plain").ok) << c;
        EXPECT_FALSE(command(c + " nothingNamedSo").ok) << c;
    }
    EXPECT_FALSE(shown("Connection "));  // the commands show nothing of their own
    for (const char* name : {"pauseMocapSession", "stopMocapSession", "startMocapSession"}) {
        const headless::CommandResult result = command(std::string(name) + " dev");
        EXPECT_TRUE(result.ok) << name;
        EXPECT_EQ(result.result, "0") << name;
    }
    EXPECT_EQ(value("dev.connectionStatus"), 0.0);
}

TEST_F(PluginTest, SeveralMatchesUseTheFirst) {
    // The first match is an ordinary node, so the command fails although a device node matches too.
    run("createNode transform -n devA; createNode LMRARealTimeDevice -n devB");
    EXPECT_FALSE(command("stopMocapSession dev*").ok);
    run("delete devA; createNode transform -n devC");
    const headless::CommandResult result = command("stopMocapSession dev*");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.result, "0");
}

TEST_F(PluginTest, DeletingAnIdleNodeJoinsItsWorker) {
    run("createNode LMRARealTimeDevice -n dev");
    ASSERT_TRUE(headless::deviceWorkerRunning(headless::findNode("dev")));
    ASSERT_GE(headless::refresh(), 1);
    run("delete dev");
    EXPECT_EQ(headless::stuckDeviceWorkerCount(), 0u);
}

}  // namespace
