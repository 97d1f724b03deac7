// The dynamic channel outputs: what a rebuild creates, what a second rebuild keeps, the
// multiplier evaluation and its dirty rule.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnUnitAttribute.h>

#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "ChannelHostNode.h"
#include "device/channels/LumoraPythonTexts.h"
#include "support/ChannelNames.h"

MObject ChannelHostNode::staticScalar;

namespace {

class ChannelAttributesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { headless::setEchoScriptOutput(false); }

    void SetUp() override {
        headless::newScene();
        plugin_ = std::make_unique<headless::InProcessPlugin>("channelHostNodes");
        MFnPlugin fn(plugin_->object(), "Tests", "1.0");
        ASSERT_TRUE(fn.registerNode("channelHost", MTypeId(ChannelHostNode::kTypeId),
                                    &ChannelHostNode::creator, &ChannelHostNode::initialize));
        run("createNode channelHost -n host; createNode transform -n driver");
        node_ = headless::findNode("host");
        host_ = static_cast<ChannelHostNode*>(MFnDependencyNode(node_).userNode());
        ASSERT_NE(host_, nullptr);
    }

    void TearDown() override {
        headless::newScene();
        plugin_.reset();
    }

    static void run(const std::string& script) {
        const headless::ScriptResult result = headless::runScript(script, {true, false});
        ASSERT_TRUE(result.ok()) << script;
    }

    static double value(const std::string& plug) {
        const headless::CommandResult result = headless::execute("getAttr " + plug);
        EXPECT_TRUE(result.ok) << plug << ": " << result.error;
        return result.ok ? std::stod(result.result) : -999.0;
    }

    MPlug plug(const std::string& name) const {
        return MFnDependencyNode(node_).findPlug(name.c_str(), true);
    }
    bool has(const std::string& name) const { return !plug(name).isNull(); }

    // A warning line of the script output that contains text.
    static bool warned(const std::string& text) {
        for (const std::string& line : headless::scriptOutputLines()) {
            if (line.rfind("// Warning: ", 0) == 0 && line.find(text) != std::string::npos)
                return true;
        }
        return false;
    }

    std::vector<std::string> multiplierNames() const {
        std::vector<std::string> names;
        const MPlug compound = plug("multipliers");
        for (unsigned i = 0; i < compound.numChildren(); ++i)
            names.push_back(compound.child(i).partialName().asChar());
        return names;
    }

    std::unique_ptr<headless::InProcessPlugin> plugin_;
    MObject node_;
    ChannelHostNode* host_ = nullptr;
};

TEST_F(ChannelAttributesTest, FirstRebuildCreatesOutputsInChannelOrder) {
    host_->rebuild(channelNames({"jawOpen", "blink"}, {"gaze"}, {"head"}),
                   ScalarOutputStorage::storable);
    const ChannelOutputs& outputs = host_->outputs;
    ASSERT_EQ(outputs.scalarOutputs.size(), 2u);
    ASSERT_EQ(outputs.vectorOutputs.size(), 1u);
    ASSERT_EQ(outputs.matrixOutputs.size(), 1u);
    EXPECT_EQ(outputs.flatValueCount(), 2u + 3u + 16u);
    EXPECT_EQ(MFnAttribute(outputs.scalarOutputs[1]).name(), "blink");

    const char* vectorNames[] = {"gazeX", "gazeY", "gazeZ"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(MFnAttribute(outputs.vectorOutputs[0][i]).name(), vectorNames[i]);
    const char* matrixNames[] = {"headTranslateX", "headTranslateY", "headTranslateZ",
                                 "headRotateX",    "headRotateY",    "headRotateZ"};
    for (int i = 0; i < 6; ++i) {
        const MObject attribute = outputs.matrixOutputs[0][i];
        EXPECT_EQ(MFnAttribute(attribute).name(), matrixNames[i]);
        EXPECT_EQ(MFnAttribute(attribute).shortName(), matrixNames[i]);
        EXPECT_EQ(attribute.apiType() == MFn::kUnitAttribute, i >= 3) << matrixNames[i];
    }
    EXPECT_EQ(MFnUnitAttribute(outputs.matrixOutputs[0][3]).unitType(), MFnUnitAttribute::kAngle);

    EXPECT_EQ(multiplierNames(), (std::vector<std::string>{"jawOpen_mlt", "blink_mlt"}));
    ASSERT_EQ(outputs.multiplierChildren.size(), 2u);
    EXPECT_TRUE(MFnAttribute(outputs.multiplierChildren[0]).isKeyable());
    EXPECT_DOUBLE_EQ(plug("blink_mlt").asDouble(), 1.0);
    EXPECT_TRUE(plug("jawOpen").isDynamic());
    EXPECT_TRUE(MFnAttribute(outputs.scalarOutputs[0]).isStorable());
    EXPECT_FALSE(has("gaze_mlt"));
    EXPECT_FALSE(has("headTranslateX_mlt"));
}

TEST_F(ChannelAttributesTest, NotStorableScalars) {
    host_->rebuild(channelNames({"fresh"}, {"v"}), ScalarOutputStorage::notStorable);
    EXPECT_FALSE(MFnAttribute(host_->outputs.scalarOutputs[0]).isStorable());
    EXPECT_TRUE(MFnAttribute(host_->outputs.vectorOutputs[0][0]).isStorable());
}

// A channel never writes into the node's own attributes, the multipliers or another channel's
// outputs: it gets no outputs and a warning names it. The channel listed first keeps its outputs.
TEST_F(ChannelAttributesTest, ChannelsWhoseOutputsWouldCollideGetNone) {
    headless::clearScriptOutput();
    host_->rebuild(channelNames({"shared", "x", "x_mlt", "multipliers", "headX"}, {"head"}, {"m"}),
                   ScalarOutputStorage::storable);
    const ChannelOutputs& outputs = host_->outputs;
    EXPECT_EQ(findChannelOutput(outputs, ChannelHostNode::staticScalar).kind,
              ChannelOutputPosition::Kind::none);
    EXPECT_EQ(findChannelOutput(outputs, plug("x").attribute()).group, 1u);
    EXPECT_TRUE(isMultiplierChild(plug("x_mlt")));
    EXPECT_EQ(findChannelOutput(outputs, plug("x_mlt").attribute()).kind,
              ChannelOutputPosition::Kind::none);
    EXPECT_EQ(findChannelOutput(outputs, plug("multipliers").attribute()).kind,
              ChannelOutputPosition::Kind::none);
    EXPECT_EQ(findChannelOutput(outputs, plug("headX").attribute()).group, 4u);
    EXPECT_FALSE(has("headY"));
    EXPECT_TRUE(has("mRotateZ"));
    EXPECT_EQ(multiplierNames(), (std::vector<std::string>{"x_mlt", "headX_mlt"}));
    for (const char* name : {"\"shared\"", "\"x_mlt\"", "\"multipliers\"", "\"head\""}) {
        EXPECT_TRUE(warned(name)) << name;
    }
    EXPECT_FALSE(warned("\"m\""));

    host_->scalarValues.assign(5, 7.0);
    EXPECT_DOUBLE_EQ(value("host.shared"), 0.0);
    EXPECT_DOUBLE_EQ(value("host.x_mlt"), 1.0);
    EXPECT_DOUBLE_EQ(value("host.x"), 7.0);
}

// A name listed twice is one channel whose values arrive at its later position.
TEST_F(ChannelAttributesTest, DuplicateChannelsUseTheirLastPosition) {
    headless::clearScriptOutput();
    host_->rebuild(channelNames({"a", "b", "a"}, {"v", "v"}), ScalarOutputStorage::storable);
    EXPECT_EQ(findChannelOutput(host_->outputs, plug("a").attribute()).group, 2u);
    EXPECT_EQ(findChannelOutput(host_->outputs, plug("vY").attribute()).group, 1u);
    EXPECT_EQ(multiplierNames(), (std::vector<std::string>{"b_mlt", "a_mlt"}));  // in output order
    host_->scalarValues = {1.0, 2.0, 3.0};
    EXPECT_DOUBLE_EQ(value("host.a"), 3.0);
    EXPECT_TRUE(warned("\"a\""));
}

// Names that are no attribute names (from a clip file) are made valid the same way as the
// phone's.
TEST_F(ChannelAttributesTest, NamesAreMadeValidAttributeNames) {
    headless::clearScriptOutput();
    host_->rebuild(channelNames({"mouth left", "2x"}, {"eye.l"}), ScalarOutputStorage::storable);
    EXPECT_TRUE(has("mouth_left"));
    EXPECT_TRUE(has("_2x_mlt"));
    EXPECT_TRUE(has("eye_lZ"));
    EXPECT_TRUE(warned("mouth left"));
}

TEST_F(ChannelAttributesTest, SecondRebuildKeepsUserEditsOfMultipliers) {
    host_->rebuild(channelNames({"a", "b", "c"}, {"v"}, {"m"}), ScalarOutputStorage::storable);
    const ChannelOutputs first = host_->outputs;
    ASSERT_TRUE(plug("a_mlt").setDouble(0.5));
    ASSERT_TRUE(
        plug("c_mlt").setDouble(1.0));  // exactly 1.0 is not recorded; it comes back as default
    run("connectAttr driver.translateX host.b_mlt");

    host_->rebuild(channelNames({"a", "b", "c"}, {"v"}, {"m"}), ScalarOutputStorage::storable);
    EXPECT_EQ(host_->outputs.scalarOutputs, first.scalarOutputs);
    EXPECT_EQ(host_->outputs.vectorOutputs, first.vectorOutputs);
    EXPECT_EQ(host_->outputs.matrixOutputs, first.matrixOutputs);
    EXPECT_EQ(multiplierNames(), (std::vector<std::string>{"a_mlt", "b_mlt", "c_mlt"}));
    EXPECT_DOUBLE_EQ(plug("a_mlt").asDouble(), 0.5);
    EXPECT_DOUBLE_EQ(plug("c_mlt").asDouble(), 1.0);
    EXPECT_EQ(headless::execute("isConnected driver.translateX host.b_mlt").result, "1");
    run("setAttr driver.translateX 3");
    EXPECT_DOUBLE_EQ(value("host.b_mlt"), 3.0);
}

TEST_F(ChannelAttributesTest, ChangedListsKeepOldOutputsAndAppendNewMultipliers) {
    host_->rebuild(channelNames({"a", "b"}), ScalarOutputStorage::storable);
    ASSERT_TRUE(plug("b_mlt").setDouble(2.0));
    host_->rebuild(channelNames({"c", "a"}), ScalarOutputStorage::storable);
    EXPECT_TRUE(has("b"));  // dropped channel keeps its output
    ASSERT_EQ(host_->outputs.scalarOutputs.size(), 2u);
    EXPECT_EQ(MFnAttribute(host_->outputs.scalarOutputs[0]).name(), "c");
    EXPECT_EQ(multiplierNames(), (std::vector<std::string>{"a_mlt", "b_mlt", "c_mlt"}));
    EXPECT_DOUBLE_EQ(plug("b_mlt").asDouble(), 2.0);
    EXPECT_DOUBLE_EQ(plug("c_mlt").asDouble(), 1.0);
}

TEST_F(ChannelAttributesTest, RebuildRunsTheSuppressTextsAroundTheMultipliers) {
    headless::clearPythonCommands();
    host_->rebuild(channelNames({"a"}), ScalarOutputStorage::storable);
    EXPECT_EQ(headless::pythonCommands(),
              (std::vector<std::string>{kLumoraSuppressRefreshOn, kLumoraSuppressRefreshOff}));
}

TEST_F(ChannelAttributesTest, ScalarOutputIsValueTimesItsMultiplier) {
    host_->rebuild(channelNames({"a", "b"}), ScalarOutputStorage::storable);
    host_->scalarValues = {0.25, 4.0};
    EXPECT_DOUBLE_EQ(value("host.a"), 0.25);
    run("setAttr host.a_mlt 0.5");
    EXPECT_DOUBLE_EQ(value("host.a"), 0.125);
    EXPECT_DOUBLE_EQ(value("host.b"), 4.0);
}

TEST_F(ChannelAttributesTest, MultiplierDirtiesOnlyItsOwnChannel) {
    host_->rebuild(channelNames({"a", "b"}), ScalarOutputStorage::storable);
    host_->scalarValues = {1.0, 1.0};
    value("host.a");
    value("host.b");
    host_->computeCounts.clear();
    run("setAttr host.b_mlt 3");
    EXPECT_DOUBLE_EQ(value("host.b"), 3.0);
    EXPECT_DOUBLE_EQ(value("host.a"), 1.0);
    EXPECT_EQ(host_->computeCounts["b"], 1);
    EXPECT_EQ(host_->computeCounts["a"], 0);

    MPlugArray affected;
    addMultiplierDependent(node_, plug("shared"), affected);  // not a multiplier child
    EXPECT_EQ(affected.length(), 0u);
}

TEST_F(ChannelAttributesTest, MissingMultiplierCountsAsOne) {
    host_->rebuild(channelNames({"a"}), ScalarOutputStorage::storable);
    host_->scalarValues = {0.75};
    const MPlug multipliers = plug("multipliers");
    MFnDependencyNode(node_).removeAttribute(multipliers.attribute());
    ASSERT_FALSE(has("a_mlt"));
    EXPECT_DOUBLE_EQ(value("host.a"), 0.75);
}

TEST_F(ChannelAttributesTest, FindChannelOutputSearchesEveryList) {
    host_->rebuild(channelNames({"s"}, {"v"}, {"m"}), ScalarOutputStorage::storable);
    const ChannelOutputs& outputs = host_->outputs;
    ChannelOutputPosition found = findChannelOutput(outputs, outputs.vectorOutputs[0][2]);
    EXPECT_EQ(found.kind, ChannelOutputPosition::Kind::vector);
    EXPECT_EQ(found.index, 2u);
    found = findChannelOutput(outputs, outputs.matrixOutputs[0][4]);
    EXPECT_EQ(found.kind, ChannelOutputPosition::Kind::matrix);
    EXPECT_EQ(found.index, 4u);
    EXPECT_EQ(findChannelOutput(outputs, outputs.multiplierChildren[0]).kind,
              ChannelOutputPosition::Kind::none);

    // Found by name at any count; an output no longer listed, or another attribute that took an
    // output's name, is not a channel output.
    std::vector<std::string> many;
    for (int k = 0; k < 3000; ++k) many.push_back("c" + std::to_string(k));
    host_->rebuild(channelNames(many, {"v"}, {}), ScalarOutputStorage::storable);
    for (std::size_t k = 0; k < many.size(); k += 7) {
        found = findChannelOutput(outputs, outputs.scalarOutputs[k]);
        EXPECT_EQ(found.kind, ChannelOutputPosition::Kind::scalar);
        EXPECT_EQ(found.group, k);
    }
    const MFnDependencyNode node(node_);
    EXPECT_EQ(findChannelOutput(outputs, node.findPlug("s", true).attribute()).kind,
              ChannelOutputPosition::Kind::none);
    const MObject oldV = outputs.vectorOutputs[0][0];
    ASSERT_TRUE(MFnDependencyNode(node_).removeAttribute(oldV));
    MFnNumericAttribute numeric;
    const MObject impostor = numeric.create("vX", "vX", MFnNumericData::kDouble, 0.0);
    ASSERT_TRUE(MFnDependencyNode(node_).addAttribute(impostor));
    EXPECT_EQ(findChannelOutput(outputs, impostor).kind, ChannelOutputPosition::Kind::none);
}

}  // namespace
