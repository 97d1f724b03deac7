// Unit conversion nodes, animation curves and the key commands (setKeyframe, keyframe, cutKey,
// bakeResults), and the blendShape stand-in, in the headless host as scripts use them.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

#include <maya/MDistance.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>

#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "SceneTest.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class Keys : public hosttest::SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        run("currentUnit -time film");
    }
    void TearDown() override {
        MDistance::setUIUnit(MDistance::kCentimeters);
        SceneTest::TearDown();
    }

    static void run(const std::string& script) {
        const auto result = headless::runScript(script, {true, false});
        ASSERT_TRUE(result.ok()) << script << "\n  "
                                 << (result.commands.empty() ? result.error
                                                             : result.commands.back().error);
    }
    static std::string text(const std::string& command) {
        const auto result = headless::execute(command);
        EXPECT_TRUE(result.ok) << command << ": " << result.error;
        return result.result;
    }
    static double number(const std::string& command) {
        const std::string result = text(command);
        return result.empty() ? NAN : std::stod(result);
    }
    static bool fails(const std::string& command) { return !headless::execute(command).ok; }
    static bool exists(const std::string& node) { return !headless::findNode(node).isNull(); }

    // The plug's value as the API reads it: internal units (radians, centimetres).
    static double internal(const std::string& node, const std::string& attribute) {
        MPlug plug = MFnDependencyNode(headless::findNode(node)).findPlug(attribute.c_str(), true);
        return plug.asDouble();
    }
};

TEST_F(Keys, UnitlessIntoAnAngleGoesThroughAConversionNodeOfOneDegreePerUnit) {
    run("createNode transform -n src; createNode transform -n ctl; setAttr src.sx 1; connectAttr "
        "src.sx ctl.rotateZ");
    EXPECT_DOUBLE_EQ(number("getAttr ctl.rotateZ"), 1.0);
    EXPECT_NEAR(internal("ctl", "rotateZ"), 0.0174533, 1e-7);
    EXPECT_EQ(text("nodeType unitConversion1"), "unitConversion");
    EXPECT_DOUBLE_EQ(number("getAttr unitConversion1.conversionFactor"), kPi / 180);
    EXPECT_EQ(text("isConnected src.sx ctl.rotateZ"), "0");  // as Maya: a node lies between
    EXPECT_EQ(text("isConnected -iuc src.sx ctl.rotateZ"), "1");
    run("setAttr src.sx 0.5");
    EXPECT_DOUBLE_EQ(number("getAttr ctl.rz"), 0.5);

    // Back from an angle, and from a distance into an angle: the number the user sees is kept.
    run("createNode transform -n back; setAttr ctl.rx 90; connectAttr ctl.rx back.sy");
    EXPECT_NEAR(number("getAttr back.sy"), 90.0, 1e-12);
    EXPECT_NEAR(number("getAttr unitConversion2.conversionFactor"), 180 / kPi, 1e-12);
    run("setAttr src.tx 2; connectAttr src.tx back.ry");
    EXPECT_NEAR(number("getAttr back.ry"), 2.0, 1e-12);
    EXPECT_NEAR(internal("back", "ry"), 2 * kPi / 180, 1e-15);
    EXPECT_NEAR(number("getAttr unitConversion3.conversionFactor"), kPi / 180, 1e-15);

    // Unitless and distance share their numbers while centimetres are the linear unit.
    run("connectAttr src.sz back.tz");
    EXPECT_EQ(text("isConnected src.sz back.tz"), "1");
    EXPECT_FALSE(exists("unitConversion4"));
}

TEST_F(Keys, UnitlessIntoADistanceConvertsFromTheLinearUnit) {
    MDistance::setUIUnit(MDistance::kMeters);
    run("createNode transform -n src; createNode transform -n ctl; setAttr src.sx 2; connectAttr "
        "src.sx ctl.tx");
    EXPECT_DOUBLE_EQ(number("getAttr unitConversion1.conversionFactor"), 100.0);
    EXPECT_DOUBLE_EQ(internal("ctl", "tx"), 200.0);   // centimetres inside
    EXPECT_DOUBLE_EQ(number("getAttr ctl.tx"), 2.0);  // metres shown
    run("connectAttr ctl.ty src.sy; setAttr ctl.ty 3");
    EXPECT_DOUBLE_EQ(number("getAttr src.sy"), 3.0);
}

TEST_F(Keys, AConversionNodeGoesWithItsConnection) {
    run("createNode transform -n a; createNode transform -n b; createNode transform -n c;"
        "connectAttr a.sx c.rx; connectAttr a.sy c.ry; connectAttr a.sz c.rz");
    ASSERT_TRUE(exists("unitConversion1") && exists("unitConversion2") &&
                exists("unitConversion3"));
    run("disconnectAttr a.sx c.rx");  // named by its ends
    EXPECT_FALSE(exists("unitConversion1"));
    EXPECT_TRUE(fails("disconnectAttr a.sx c.rx"));
    run("connectAttr -f b.sx c.ry");  // replaced, through a new conversion node
    EXPECT_EQ(text("isConnected -iuc a.sy c.ry"), "0");
    EXPECT_EQ(text("isConnected -iuc b.sx c.ry"), "1");
    run("delete a");
    EXPECT_FALSE(exists("unitConversion3"));
    EXPECT_EQ(headless::nodeNames(),
              (std::vector<std::string>{"time1", "b", "c", "unitConversion1"}));
    run("delete c");
    EXPECT_EQ(headless::nodeNames(), (std::vector<std::string>{"time1", "b"}));
}

TEST_F(Keys, CurvesPlayTheirKeysExactlyAndLinearlyBetween) {
    run("createNode transform -n ctl; setKeyframe -t 1 -v 0 ctl.tx; setKeyframe -t 11 -v 10 ctl.tx;"
        "setKeyframe -t 1 -v 30 -at rz ctl; setKeyframe -t 5 -v 90 ctl.rotateZ");
    EXPECT_EQ(text("nodeType ctl_translateX"), "animCurveTL");
    EXPECT_EQ(text("nodeType ctl_rotateZ"), "animCurveTA");
    EXPECT_EQ(text("keyframe -q -tc -vc ctl.tx"), "1 0 11 10");
    EXPECT_EQ(text("keyframe -q -vc -at rz ctl"), "30 90");  // degrees, as typed
    EXPECT_EQ(text("keyframe -q -kc ctl"), "4");
    EXPECT_EQ(text("keyframe -q -vc -t \"2:20\" ctl_translateX"), "10");

    const struct {
        double frame, tx, rz;
    } expected[] = {{-4, 0, 30},    {1, 0, 30},   {3, 2, 60},  {5, 4, 90},
                    {6.5, 5.5, 90}, {11, 10, 90}, {40, 10, 90}};
    for (const auto& e : expected) {
        run("currentTime " + std::to_string(e.frame));
        EXPECT_NEAR(number("getAttr ctl.tx"), e.tx, 1e-12) << e.frame;
        EXPECT_NEAR(number("getAttr ctl.rz"), e.rz, 1e-12) << e.frame;
        EXPECT_NEAR(number("getAttr -time " + std::to_string(e.frame + 1) + " ctl.tx"),
                    e.frame + 1 <= 1 ? 0 : std::min(e.frame, 10.0), 1e-12);
    }

    // A key at the same time replaces the value; a key set without -v takes the plug's value.
    run("setKeyframe -t 11 -v 20 ctl.tx; currentTime 8; setAttr ctl.ty 7; setKeyframe ctl.ty");
    EXPECT_EQ(text("keyframe -q -vc ctl.tx"), "0 20");
    EXPECT_EQ(text("keyframe -q -tc -vc ctl.ty"), "8 7");
    run("keyframe -e -t 11 -vc 5 ctl.tx; keyframe -e -r -vc 1 ctl.tx");
    EXPECT_EQ(text("keyframe -q -vc ctl.tx"), "1 6");
}

TEST_F(Keys, CurvesAndConversionNodesAreSavedWithTheScene) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("lmra_keys_" + std::to_string(::getpid()) + ".ma");
    run("createNode transform -n src; createNode transform -n ctl; setAttr src.sx 2; connectAttr "
        "src.sx ctl.rz;"
        "setKeyframe -t 0 -v 0 ctl.tx; setKeyframe -t 12 -v 6 ctl.tx;"
        "file -rename \"" +
        path.string() + "\"; file -save; file -new -f; file -open \"" + path.string() + "\"");
    std::filesystem::remove(path);
    EXPECT_EQ(text("keyframe -q -tc -vc ctl.tx"), "0 0 12 6");  // a key of 0 at 0 too
    run("currentTime 6");
    EXPECT_DOUBLE_EQ(number("getAttr ctl.tx"), 3.0);
    EXPECT_DOUBLE_EQ(number("getAttr ctl.rz"), 2.0);
    EXPECT_EQ(text("isConnected -iuc src.sx ctl.rz"), "1");
    run("disconnectAttr src.sx ctl.rz");
    EXPECT_FALSE(exists("unitConversion1"));
}

TEST_F(Keys, SetKeyframeOnANodeKeysItsKeyableAttributes) {
    run("createNode transform -n ctl; setAttr ctl.sx 2; setKeyframe -t 3 ctl");
    EXPECT_EQ(text("setKeyframe -t 4 ctl"), "10");  // translate, rotate, scale, visibility
    EXPECT_EQ(text("keyframe -q -tc ctl.sx"), "3 4");
    EXPECT_EQ(text("keyframe -q -vc ctl.sx"), "2 2");
    EXPECT_EQ(text("nodeType ctl_visibility"), "animCurveTU");
}

TEST_F(Keys, DrivenPlugsAreNotKeyedAndBadArgumentsChangeNothing) {
    run("createNode transform -n a; createNode transform -n b; connectAttr a.tx b.tx");
    const auto before = headless::nodeNames();
    for (const char* command :
         {"setKeyframe -t 1 -v 2 b.tx", "setKeyframe -t 1 -v 2 b.nothing",
          "setKeyframe -t x -v 2 a.ty", "setKeyframe -t 1 time1.outTime",
          "keyframe -q -tc -t \"5:1\" a.tx", "bakeResults -t \"1:5\" -sampleBy 0 b.tx",
          "bakeResults b.tx",  // no range
          "bakeResults -t \"1:5\" -simulation maybe b.tx"}) {
        EXPECT_TRUE(fails(command)) << command;
    }
    EXPECT_EQ(headless::nodeNames(), before);
    EXPECT_EQ(text("keyframe -q -tc a.tx"), "");  // nothing keyed: no result
}

TEST_F(Keys, CutKeyRemovesKeysInRangeAndAnEmptiedCurveLeavesTheValue) {
    run("createNode transform -n ctl; setKeyframe -t 1 -v 1 ctl.tx; setKeyframe -t 2 -v 2 ctl.tx;"
        "setKeyframe -t 3 -v 3 ctl.tx; setKeyframe -t 4 -v 4 ctl.tx");
    EXPECT_EQ(text("cutKey -t \"2:3\" ctl.tx"), "1");
    EXPECT_EQ(text("keyframe -q -tc ctl.tx"), "1 4");
    run("currentTime 3");
    EXPECT_DOUBLE_EQ(number("getAttr ctl.tx"), 3.0);  // 1 to 4 now
    run("currentTime 4; cutKey -at tx ctl");
    EXPECT_FALSE(exists("ctl_translateX"));
    run("currentTime 1");
    EXPECT_DOUBLE_EQ(number("getAttr ctl.tx"), 4.0);
    run("setAttr ctl.tx 9");  // free again
}

TEST_F(Keys, BakeReplacesWhatDrivesAPlugWithItsValuesAtEveryFrame) {
    run("currentUnit -time ntsc; createNode transform -n src; createNode transform -n ctl;"
        "setKeyframe -t 0 -v 0 src.sx; setKeyframe -t 30 -v 3 src.sx; connectAttr src.sx ctl.rz;"
        "setKeyframe -t 0 -v 0 ctl.tx; setKeyframe -t 100 -v 100 ctl.tx; setKeyframe -t 200 -v 0 "
        "ctl.tx;"
        "currentTime 7");
    ASSERT_TRUE(exists("unitConversion1"));
    EXPECT_EQ(text("bakeResults -t \"2:12\" -sampleBy 5 -simulation true -preserveOutsideKeys true "
                   "ctl.rz ctl.tx"),
              "2");
    EXPECT_FALSE(exists("unitConversion1"));
    EXPECT_EQ(text("isConnected -iuc src.sx ctl.rz"), "0");
    EXPECT_EQ(text("keyframe -q -tc -vc ctl.rz"), "2 0.2 7 0.7 12 1.2");
    EXPECT_EQ(text("keyframe -q -tc ctl.tx"), "0 2 7 12 100 200");  // keys outside the range kept
    EXPECT_DOUBLE_EQ(number("currentTime -q"), 7.0);
    EXPECT_NEAR(number("getAttr ctl.rz"), 0.7, 1e-12);

    // Without preserveOutsideKeys the curve holds the baked frames only.
    run("bakeResults -t \"3:4\" ctl.tx; delete src");
    EXPECT_EQ(text("keyframe -q -tc -vc ctl.tx"), "3 3 4 4");
    EXPECT_NEAR(number("getAttr -time 12 ctl.rz"), 1.2, 1e-12);
}

TEST_F(Keys, BlendShapeWeightsAnswerToTheirAliases) {
    run("createNode blendShape -n face; aliasAttr jawOpen face.weight[0]; aliasAttr smile "
        "face.w[3];"
        "createNode transform -n drv; setAttr drv.sx 0.5; connectAttr drv.sx face.jawOpen; setAttr "
        "face.smile 0.25");
    EXPECT_EQ(text("aliasAttr -q face"), "jawOpen weight[0] smile weight[3]");
    EXPECT_EQ(text("getAttr face.weight[3]"), "0.25");
    EXPECT_EQ(text("getAttr face.jawOpen"), "0.5");
    EXPECT_EQ(text("isConnected drv.sx face.weight[0]"), "1");
    EXPECT_EQ(text("getAttr face.envelope"), "1");
    EXPECT_EQ(text("setKeyframe -t 1 -v 1 face.smile"), "1");
    EXPECT_EQ(text("nodeType face_weight_3"), "animCurveTU");
    EXPECT_EQ(text("listConnections -s true -d false -p true face.smile"), "face_weight_3.output");
    EXPECT_TRUE(fails("aliasAttr jawOpen face.nothing[1]"));
    EXPECT_TRUE(fails("aliasAttr envelope face.weight[1]"));  // a name the node has
}

TEST_F(Keys, ListConnectionsSeesThroughConversionNodesWhenAsked) {
    run("createNode transform -n a; createNode transform -n b; connectAttr a.sx b.rz; connectAttr "
        "a.sx b.tx");
    EXPECT_EQ(text("listConnections -s false -d true a"), "unitConversion1 b");
    EXPECT_EQ(text("listConnections -s false -d true -scn true -p true a"),
              "b.rotateZ b.translateX");
    EXPECT_EQ(text("listConnections -skipConversionNodes true -c true -p true b.rz"),
              "b.rotateZ a.scaleX");
}

}  // namespace
