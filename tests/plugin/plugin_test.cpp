// The plug-in in the headless host: what load and unload register and run, a new device node's
// attributes, and the session commands' argument rules.

#include <string>
#include <utility>
#include <vector>

#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>
#include <maya/MUserEventMessage.h>

#include "device/channels/LumoraPythonTexts.h"
#include "support/DeviceSceneTest.h"

namespace {

const char* const kSessionCommands[] = {"establishConnection", "startMocapSession",
                                        "pauseMocapSession", "stopMocapSession"};

using PluginTest = DeviceSceneTest;

TEST_F(PluginTest, UnloadAndLoadAgain) {
    headless::newScene();
    EXPECT_TRUE(MUserEventMessage::isUserEvent(kStatusEvent));
    headless::clearPythonCommands();
    std::string error;
    ASSERT_TRUE(headless::unloadPlugin("lumoraMocap", &error)) << error;
    EXPECT_EQ(headless::pythonCommands(), std::vector<std::string>{kLumoraPluginCleanup});
    EXPECT_FALSE(MUserEventMessage::isUserEvent(kStatusEvent));
    for (const char* name : kSessionCommands)
        EXPECT_FALSE(command(std::string(name) + " x").ok) << name;
    EXPECT_FALSE(command("createNode LMRARealTimeDevice").ok);

    // An event of that name left behind is reused without complaint.
    ASSERT_TRUE(MUserEventMessage::registerUserEvent(kStatusEvent));
    headless::clearPythonCommands();
    headless::clearScriptOutput();
    ASSERT_TRUE(headless::loadPlugin("lumoraMocap", &error)) << error;
    EXPECT_EQ(headless::pythonCommands(), std::vector<std::string>{kLumoraPluginInit});
    for (const std::string& line : headless::scriptOutputLines())
        EXPECT_EQ(line.find("Error"), std::string::npos) << line;
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
    // Only what was wrong is shown, never an outcome of connecting.
    for (const char* outcome :
         {"Connection established.", "Connection failed.", "Connection timed out."}) {
        EXPECT_FALSE(shown(outcome)) << outcome;
    }
    // Without a session: start and pause say why nothing happened; stop has nothing to end.
    const std::pair<const char*, const char*> withoutSession[] = {
        {"pauseMocapSession", "Cannot pause dev: it has no open session with a phone."},
        {"stopMocapSession", nullptr},
        {"startMocapSession",
         "Cannot start capturing on dev: it has no open session with a phone."},
    };
    for (const auto& [name, warning] : withoutSession) {
        headless::clearScriptOutput();
        const headless::CommandResult result = command(std::string(name) + " dev");
        EXPECT_TRUE(result.ok) << name;
        EXPECT_EQ(result.result, "0") << name;
        const auto lines = headless::scriptOutputLines();
        const std::string expected = warning ? std::string("// Warning: ") + warning : "// Result";
        ASSERT_FALSE(lines.empty()) << name;
        EXPECT_EQ(lines[0].rfind(expected, 0), 0u) << name << ::testing::PrintToString(lines);
    }
    EXPECT_EQ(value("dev.connectionStatus"), 0.0);
}

// Every command says what was wrong, in Maya's words where Maya has them, and still fails.
TEST_F(PluginTest, WrongUseSaysWhatWasWrong) {
    run("createNode LMRARealTimeDevice -n dev; createNode LMRAClipReader -n reader; "
        "createNode transform -n pCube1");
    struct Case {
        std::string command;
        std::string message;
    };
    std::vector<Case> cases;
    for (const char* name : kSessionCommands) {
        const std::string c = name;
        const std::string usage = "Usage: " + c + " <LMRARealTimeDevice node>";
        cases.push_back({c, "Wrong number of arguments for " + c + " (0 given). " + usage});
        cases.push_back(
            {c + " dev dev", "Wrong number of arguments for " + c + " (2 given). " + usage});
        cases.push_back({c + " phon", "No object matches name: phon"});
        cases.push_back({c + " pCube1", "pCube1 is not a LMRARealTimeDevice"});
        cases.push_back({c + " reader", "reader is not a LMRARealTimeDevice"});
    }
    const std::string saveUsage =
        "Usage: saveMocapData <LMRARealTimeDevice node> <clip path> <seconds> [<video path>]";
    cases.push_back({"saveMocapData dev /tmp/x.clip",
                     "Wrong number of arguments for saveMocapData (2 given). " + saveUsage});
    cases.push_back({"saveMocapData phon /tmp/x.clip 1", "No object matches name: phon"});
    cases.push_back({"saveMocapData time1 /tmp/x.clip 1", "time1 is not a LMRARealTimeDevice"});
    const std::string loadUsage = "Usage: loadClipFromFile <LMRAClipReader node> <clip path>";
    cases.push_back({"loadClipFromFile reader",
                     "Wrong number of arguments for loadClipFromFile (1 given). " + loadUsage});
    cases.push_back({"loadClipFromFile reader /tmp/x.clip -extra",
                     "Wrong number of arguments for loadClipFromFile (3 given). " + loadUsage});
    cases.push_back({"loadClipFromFile phon /tmp/x.clip", "No object matches name: phon"});
    cases.push_back({"loadClipFromFile dev /tmp/x.clip", "dev is not a LMRAClipReader"});

    for (const Case& c : cases) {
        headless::clearScriptOutput();
        const headless::CommandResult result = command(c.command);
        EXPECT_FALSE(result.ok) << c.command;
        EXPECT_TRUE(result.result.empty()) << c.command;
        // The message comes first; the host then reports the failure status as Maya does.
        const auto lines = headless::scriptOutputLines();
        ASSERT_FALSE(lines.empty()) << c.command;
        EXPECT_EQ(lines[0], "// Error: " + c.message + " //") << c.command;
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
