// The live road through the headless host against phonesim, over Wi-Fi and over USB (the real
// libusbmuxd client talking to phonesim's usbmuxd stand-in).

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>

#include "PhoneSim.h"
#include "support/DeviceSceneTest.h"

namespace {

using namespace std::chrono_literals;

class LiveCaptureTest : public DeviceSceneTest {
  protected:
    void SetUp() override {
        DeviceSceneTest::SetUp();
        ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + folder_.file("usbmuxd.sock")).c_str(), 1);
        PhoneSimOptions options;
        options.udpPort = 0;
        options.usbPort = 0;
        options.usbmuxdSocket = folder_.file("usbmuxd.sock");
        options.rate = 0.0;  // frames only through sendFrame
        phone_ = std::make_unique<PhoneSim>(options);
        phone_->start();
        names_ = PhoneSim::defaultChannels();
    }

    void TearDown() override {
        DeviceSceneTest::TearDown();
        phone_.reset();
    }

    // A device node aimed at the phone, over Wi-Fi or USB.
    void createDevice(const std::string& name, bool usb) {
        run("createNode LMRARealTimeDevice -n " + name);
        run("setAttr " + name + ".ipAddress -type \"string\" \"127.0.0.1\"");
        run("setAttr " + name + ".wifiPort " + std::to_string(phone_->udpPort()));
        run("setAttr " + name + ".usbPort " + std::to_string(phone_->usbPort()));
        run("setAttr " + name + ".connectionType " + std::string(usb ? "1" : "0"));
    }

    static double output(const std::string& plug) {
        const MPlug found =
            MFnDependencyNode(headless::findNode("dev")).findPlug(plug.c_str(), true);
        EXPECT_FALSE(found.isNull()) << plug;
        return found.isNull() ? -999.0 : found.asDouble();
    }

    std::string scalar(std::size_t k) const { return names_.scalars()[k]; }

    // Scalar 0 and 7 (each with its multiplier), vector "gaze" and the matrices "head" and
    // "rightEye" follow the phone's values at time t.
    bool outputsFollow(double t, double multiplier0 = 1.0) const {
        auto near = [](double a, double b) { return std::fabs(a - b) < 1e-9; };
        if (!near(output(scalar(0)),
                  multiplier0 * PhoneSim::channelValue(ChannelKind::scalar, 0, 0, t)))
            return false;
        if (!near(output(scalar(7)), PhoneSim::channelValue(ChannelKind::scalar, 7, 0, t)))
            return false;
        const char* axes[] = {"X", "Y", "Z"};
        for (std::size_t c = 0; c < 3; ++c) {
            if (!near(output(names_.vectors()[0] + axes[c]),
                      PhoneSim::channelValue(ChannelKind::vector, 0, c, t))) {
                return false;
            }
        }
        for (std::size_t g : {std::size_t(0), std::size_t(2)}) {
            const std::string& m = names_.matrices()[g];
            const auto translation = PhoneSim::matrixTranslation(g, t);
            const auto rotation = PhoneSim::matrixRotation(g, t);
            for (std::size_t c = 0; c < 3; ++c) {
                if (!near(output(m + "Translate" + axes[c]), translation[c])) return false;
                if (!near(output(m + "Rotate" + axes[c]), rotation[c])) return false;
            }
        }
        return true;
    }

    bool allOutputsAre(double expected) const {
        for (const std::string& name : names_.scalars()) {
            if (output(name) != expected) return false;
        }
        for (const std::string& name : names_.vectors()) {
            for (const char* axis : {"X", "Y", "Z"}) {
                if (output(name + axis) != expected) return false;
            }
        }
        for (const std::string& name : names_.matrices()) {
            for (const char* part :
                 {"TranslateX", "TranslateY", "TranslateZ", "RotateX", "RotateY", "RotateZ"}) {
                if (output(name + part) != expected) return false;
            }
        }
        return true;
    }

    // Sends a frame once the phone streams, and steps frames until the outputs show it.
    bool streamFrame(double t, double multiplier0 = 1.0) {
        if (!phone_->waitForCommand("start", 5s)) return false;
        phone_->sendFrame(t);
        return refreshUntil([&] { return outputsFollow(t, multiplier0); });
    }

    static int status() { return static_cast<int>(value("dev.connectionStatus")); }

    // The status is read right after each command, with no refresh in between: the commands
    // publish it themselves.
    void liveRoad(bool usb) {
        createDevice("dev", usb);
        const headless::CommandResult connected = command("establishConnection dev");
        ASSERT_TRUE(connected.ok) << connected.error;
        EXPECT_EQ(connected.result, "1");
        EXPECT_TRUE(shown("Connection established."));
        EXPECT_EQ(status(), 1);
        EXPECT_EQ(statusEvents(), 1u);
        EXPECT_TRUE(allOutputsAre(0.0));

        run("setAttr dev." + scalar(0) + "_mlt 0.5");
        EXPECT_EQ(command("startMocapSession dev").result, "1");
        EXPECT_EQ(status(), 2);
        ASSERT_TRUE(streamFrame(1.25, 0.5));
        EXPECT_EQ(status(), 2);
        EXPECT_EQ(statusEvents(), 2u);

        EXPECT_EQ(command("pauseMocapSession dev").result, "1");
        ASSERT_TRUE(phone_->waitForCommand("pause", 5s));
        headless::refresh();
        EXPECT_EQ(status(), 2);
        EXPECT_EQ(statusEvents(), 2u);

        EXPECT_EQ(command("stopMocapSession dev").result, "1");
        EXPECT_EQ(status(), 0);
        for (int i = 0; i < 3; ++i) headless::refresh(100ms);
        EXPECT_TRUE(outputsFollow(1.25, 0.5));  // the last live values stay
        EXPECT_EQ(statusEvents(), 3u);

        // Connecting again and starting with video: each status at once, each announced once.
        run("setAttr dev.rv 1");
        EXPECT_EQ(command("establishConnection dev").result, "1");
        EXPECT_EQ(status(), 1);
        EXPECT_EQ(command("startMocapSession dev").result, "1");
        EXPECT_EQ(status(), 3);
        EXPECT_EQ(statusEvents(), 5u);
    }

    TemporaryFolder folder_;
    std::unique_ptr<PhoneSim> phone_;
    ChannelNameLists names_;
};

TEST_F(LiveCaptureTest, WifiLiveRoad) {
    liveRoad(false);
}

TEST_F(LiveCaptureTest, UsbLiveRoad) {
    liveRoad(true);
}

TEST_F(LiveCaptureTest, VideoCaptureAndAVanishedPhone) {
    createDevice("dev", true);
    run("setAttr dev.rv 1");
    ASSERT_EQ(command("establishConnection dev").result, "1");
    ASSERT_EQ(command("startMocapSession dev").result, "1");
    EXPECT_TRUE(phone_->waitForCommand("start -video", 5s));
    ASSERT_TRUE(streamFrame(2.5));
    EXPECT_EQ(status(), 3);

    phone_->vanish();
    ASSERT_TRUE(refreshUntil([] { return status() == 0; }));
    for (int i = 0; i < 3; ++i) headless::refresh(100ms);
    EXPECT_TRUE(outputsFollow(2.5));
    EXPECT_EQ(statusEvents(), 3u);  // 1, 3, 0
}

TEST_F(LiveCaptureTest, FailedConnectionsSayWhy) {
    createDevice("dev", false);
    phone_->setAnswer(PhoneAnswer::reject);
    EXPECT_EQ(command("establishConnection dev").result, "0");
    EXPECT_TRUE(shown("Connection failed."));

    headless::clearScriptOutput();
    phone_->setAnswer(PhoneAnswer::rejectWrongScreen);
    EXPECT_EQ(command("establishConnection dev").result, "0");
    EXPECT_TRUE(shown("Connection failed. Please switch to Streaming tab."));

    headless::clearScriptOutput();
    phone_->setAnswer(PhoneAnswer::silent);
    EXPECT_EQ(command("establishConnection dev").result, "0");
    EXPECT_TRUE(shown("Connection timed out. Check your input parameters."));

    // The attempts' sessions ended while the node was disconnected: no change to announce.
    for (int i = 0; i < 3; ++i) headless::refresh(100ms);
    EXPECT_EQ(status(), 0);
    EXPECT_EQ(statusEvents(), 0u);
    EXPECT_FALSE(shown("Connection established."));

    phone_->setAnswer(PhoneAnswer::accept);  // a failed attempt leaves nothing in the way
    EXPECT_EQ(command("establishConnection dev").result, "1");
}

// A phone that vanished over Wi-Fi leaves its session open: connecting again ends it ("stop")
// and connects anew instead of refusing without a word.
TEST_F(LiveCaptureTest, ConnectingAgainEndsTheOpenSessionFirst) {
    createDevice("dev", false);
    ASSERT_EQ(command("establishConnection dev").result, "1");
    ASSERT_EQ(command("startMocapSession dev").result, "1");
    phone_->vanish();
    headless::clearScriptOutput();
    const headless::CommandResult again = command("establishConnection dev");
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(again.result, "1");
    EXPECT_TRUE(shown("Connection established."));
    EXPECT_EQ(phone_->commandCount("stop"), 1u);
    EXPECT_EQ(phone_->commandCount("connect"), 2u);
    ASSERT_EQ(command("startMocapSession dev").result, "1");
    ASSERT_TRUE(phone_->waitForCommandCount("start", 2, 5s));
    EXPECT_TRUE(streamFrame(2.0));
}

// Channels named like the node's own attributes (long or short names) leave them alone; the
// other channels stream and the next connect still finds the phone.
TEST_F(LiveCaptureTest, ChannelsNamedLikeTheNodesAttributesLeaveThemAlone) {
    PhoneSimOptions options;
    options.udpPort = 0;
    options.usbPort = -1;
    options.rate = 0.0;
    options.useDefaultChannels = false;
    options.channels.scalars() = {"wifiPort", "ipAddress", "live", "frameRate", "rv", "jawOpen"};
    phone_ = std::make_unique<PhoneSim>(options);
    phone_->start();
    createDevice("dev", false);
    ASSERT_EQ(command("establishConnection dev").result, "1");
    EXPECT_TRUE(shown("\"wifiPort\""));
    ASSERT_EQ(command("startMocapSession dev").result, "1");
    ASSERT_TRUE(phone_->waitForCommand("start", 5s));
    phone_->sendFrame(1.5);
    const double jaw = PhoneSim::channelValue(ChannelKind::scalar, 5, 0, 1.5);
    ASSERT_TRUE(refreshUntil([&] { return std::fabs(output("jawOpen") - jaw) < 1e-9; }));
    EXPECT_EQ(value("dev.wifiPort"), phone_->udpPort());
    EXPECT_EQ(command("getAttr dev.ipAddress").result, "127.0.0.1");
    EXPECT_EQ(value("dev.rv"), 0.0);
    EXPECT_EQ(value("dev.frameRate"), 60.0);
    EXPECT_EQ(value("dev.live"), 1.0);
    ASSERT_EQ(command("stopMocapSession dev").result, "1");
    EXPECT_EQ(command("establishConnection dev").result, "1");
}

// Settings that cannot work are named before any session starts; the phone hears nothing.
TEST_F(LiveCaptureTest, SettingsAreCheckedBeforeConnecting) {
    createDevice("dev", false);
    struct Case {
        std::string settings;
        std::string error;
    };
    const std::vector<Case> refused = {
        {"setAttr dev.wifiPort 0",
         "// Error: dev.wifiPort is 0: a port is a number from 1 to 65535. //"},
        {"setAttr dev.wifiPort 65536",
         "// Error: dev.wifiPort is 65536: a port is a number from 1 to 65535. //"},
        {"setAttr dev.connectionType 1; setAttr dev.usbPort -3",
         "// Error: dev.usbPort is -3: a port is a number from 1 to 65535. //"},
        {"setAttr dev.connectionType 0; setAttr dev.wifiPort 35601; "
         "setAttr -type \"string\" dev.ipAddress \"no-such-phone.invalid\"",
         "// Error: The phone's address \"no-such-phone.invalid\" (dev.ipAddress) does not "
         "resolve: check "
         "the address. //"},
        {"setAttr -type \"string\" dev.ipAddress \"\"",
         "// Error: dev.ipAddress is empty: set it to the phone's address. //"},
    };
    for (const Case& c : refused) {
        run(c.settings);
        headless::clearScriptOutput();
        const headless::CommandResult result = command("establishConnection dev");
        EXPECT_TRUE(result.ok) << c.settings;
        EXPECT_EQ(result.result, "0") << c.settings;
        const auto lines = headless::scriptOutputLines();
        ASSERT_FALSE(lines.empty()) << c.settings;
        EXPECT_EQ(lines[0], c.error) << c.settings;
        EXPECT_FALSE(shown("Connection ")) << c.settings;
    }
    EXPECT_EQ(phone_->commandCount("connect"), 0u);

    // A connection type other than 0 or 1 still means USB, with a warning.
    run("setAttr -type \"string\" dev.ipAddress \"127.0.0.1\"; setAttr dev.usbPort " +
        std::to_string(phone_->usbPort()) + "; setAttr dev.connectionType 7");
    headless::clearScriptOutput();
    EXPECT_EQ(command("establishConnection dev").result, "1");
    EXPECT_TRUE(
        shown("// Warning: dev.connectionType is 7: 0 connects over Wi-Fi, 1 over USB. Connecting "
              "over USB. //"));
    EXPECT_TRUE(shown("Connection established."));
    EXPECT_EQ(command("stopMocapSession dev").result, "1");

    // A phone without channels connects, and the node says it has no outputs.
    PhoneSimOptions options;
    options.udpPort = 0;
    options.usbPort = -1;
    options.rate = 0.0;
    options.useDefaultChannels = false;
    PhoneSim bare(options);
    bare.start();
    run("createNode LMRARealTimeDevice -n bareDev; setAttr -type \"string\" bareDev.ipAddress "
        "\"127.0.0.1\"");
    run("setAttr bareDev.wifiPort " + std::to_string(bare.udpPort()));
    headless::clearScriptOutput();
    EXPECT_EQ(command("establishConnection bareDev").result, "1");
    EXPECT_TRUE(shown("Connection established."));
    EXPECT_TRUE(
        shown("// Warning: The phone sent no channels: bareDev has no channel outputs. //"));
    EXPECT_EQ(command("stopMocapSession bareDev").result, "1");
}

TEST_F(LiveCaptureTest, SecondConnectionKeepsMultiplierEdits) {
    createDevice("dev", false);
    ASSERT_EQ(command("establishConnection dev").result, "1");
    run("createNode transform -n driver; setAttr driver.translateX 2");
    run("setAttr dev." + scalar(0) + "_mlt 0.5");
    run("connectAttr driver.translateX dev." + scalar(7) + "_mlt");
    ASSERT_EQ(command("stopMocapSession dev").result, "1");

    ASSERT_EQ(command("establishConnection dev").result, "1");
    EXPECT_DOUBLE_EQ(value("dev." + scalar(0) + "_mlt"), 0.5);
    EXPECT_EQ(command("isConnected driver.translateX dev." + scalar(7) + "_mlt").result, "1");
    ASSERT_EQ(command("startMocapSession dev").result, "1");
    ASSERT_TRUE(phone_->waitForCommand("start", 5s));
    phone_->sendFrame(0.5);
    const double expected7 = 2.0 * PhoneSim::channelValue(ChannelKind::scalar, 7, 0, 0.5);
    EXPECT_TRUE(refreshUntil([&] { return std::fabs(output(scalar(7)) - expected7) < 1e-9; }));
}

TEST_F(LiveCaptureTest, DeletingAConnectedNodeClosesItsConnection) {
    createDevice("dev", false);
    ASSERT_EQ(command("establishConnection dev").result, "1");
    ASSERT_EQ(command("startMocapSession dev").result, "1");
    run("delete dev");
    // The node waits on the undo queue, its destructor not run: leaving the graph ended it.
    EXPECT_EQ(headless::undoQueueLength(), 1u);
    EXPECT_TRUE(phone_->waitForCommand("stop", 5s));
}

TEST_F(LiveCaptureTest, NewSceneWithAStreamingNodeEndsCleanly) {
    createDevice("dev", true);
    ASSERT_EQ(command("establishConnection dev").result, "1");
    ASSERT_EQ(command("startMocapSession dev").result, "1");
    ASSERT_TRUE(streamFrame(0.75));
    headless::newScene();
    EXPECT_EQ(headless::findNode("dev").isNull(), true);
}

}  // namespace
