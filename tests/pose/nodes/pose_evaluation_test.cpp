// Evaluation of LMRAPose and LMRAPoseApply inside the headless host.

#include <maya/MDataBlock.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

#include <headless/ApiThreads.h>

#include "support/PoseSceneTest.h"

namespace {

// Passes its input through and counts how often it was computed.
class ComputeProbe : public MPxNode {
  public:
    static MObject input;
    static MObject output;
    int computes = 0;

    static void* creator() { return new ComputeProbe(); }
    static MStatus initialize() {
        MFnNumericAttribute fn;
        input = fn.create("input", "input", MFnNumericData::kDouble, 0.0);
        output = fn.create("output", "output", MFnNumericData::kDouble, 0.0);
        fn.setWritable(false);
        addAttribute(input);
        addAttribute(output);
        attributeAffects(input, output);
        return MS::kSuccess;
    }
    MStatus compute(const MPlug& plug, MDataBlock& data) override {
        if (!(plug == output)) return MS::kUnknownParameter;
        ++computes;
        data.outputValue(output).setDouble(data.inputValue(input).asDouble());
        data.setClean(plug);
        return MS::kSuccess;
    }
};
MObject ComputeProbe::input;
MObject ComputeProbe::output;

int computesOf(const std::string& probe) {
    MFnDependencyNode fn(headless::findNode(probe));
    return static_cast<ComputeProbe*>(fn.userNode())->computes;
}

class PoseEvaluation : public PoseSceneTest {};

TEST_F(PoseEvaluation, OffsetIsWeightedDifferenceUnlessMuted) {
    const std::string out = "p.attrs[0].out";
    expectAfter(
        "createNode LMRAPose -n p; setAttr p.attrs[0].rest 10; setAttr p.attrs[0].pose 14;"
        "setAttr p.weight 0.5",
        out, 2.0);

    expectAfter("setAttr p.mute 1", out, 0.0);
    expectAfter("setAttr p.weight 7; setAttr p.attrs[0].pose -3", out, 0.0);

    expectAfter("setAttr p.mute 0", out, -91.0);
}

TEST_F(PoseEvaluation, WeightIsNotClampedBySettingsOnlyByHardLimits) {
    run("createNode LMRAPose -n p; setAttr p.attrs[0].rest 10; setAttr p.attrs[0].pose 14;"
        "setAttr p.weight 3");
    EXPECT_DOUBLE_EQ(value("p.weight_max"), 1.0);
    EXPECT_DOUBLE_EQ(value("p.attrs[0].out"), 12.0);
    expectAfter("setAttr p.weight_min 0.5; setAttr p.weight -2", "p.attrs[0].out", -8.0);

    expectAfter("setAttr p.weight 1e12", "p.weight", 21474836.47);
    expectAfter("setAttr p.weight -1e12", "p.weight", -21474836.48);
}

TEST_F(PoseEvaluation, SparseElementsUseTheirOwnValuesAndCreateNoOthers) {
    run("createNode LMRAPose -n p; setAttr p.weight 2;"
        "setAttr p.attrs[0].rest 1; setAttr p.attrs[0].pose 2;"
        "setAttr p.attrs[5].rest -1; setAttr p.attrs[5].pose 4");

    // Whole array first: rest, pose and out of each existing element.
    const headless::CommandResult all = headless::execute("getAttr p.attrs");
    ASSERT_TRUE(all.ok) << all.error;
    EXPECT_EQ(all.result, "1 2 2 -1 4 10");
    EXPECT_DOUBLE_EQ(value("p.attrs[5].out"), 10.0);

    // A weight change refreshes a whole element read on its own.
    run("setAttr p.weight 3");
    EXPECT_EQ(headless::execute("getAttr p.attrs[5]").result, "-1 4 15");
    EXPECT_EQ(itemCount("p.attrs"), 6u);
}

TEST_F(PoseEvaluation, ChangingOneElementDirtiesOnlyItsOwnOffset) {
    headless::InProcessPlugin probes("poseProbes");
    MFnPlugin(probes.object(), "Tests", "1.0")
        .registerNode("poseComputeProbe", MTypeId(0x7f0690), &ComputeProbe::creator,
                      &ComputeProbe::initialize);
    run("createNode LMRAPose -n p; setAttr p.weight 1;"
        "setAttr p.attrs[0].pose 1; setAttr p.attrs[2].pose 2;"
        "createNode poseComputeProbe -n probe0; createNode poseComputeProbe -n probe2;"
        "connectAttr p.attrs[0].out probe0.input; connectAttr p.attrs[2].out probe2.input");
    EXPECT_DOUBLE_EQ(value("probe0.output"), 1.0);
    EXPECT_DOUBLE_EQ(value("probe2.output"), 2.0);
    const int before0 = computesOf("probe0");
    const int before2 = computesOf("probe2");

    run("setAttr p.attrs[2].pose 5");
    EXPECT_DOUBLE_EQ(value("probe2.output"), 5.0);
    EXPECT_DOUBLE_EQ(value("probe0.output"), 1.0);
    EXPECT_EQ(computesOf("probe2"), before2 + 1);
    EXPECT_EQ(computesOf("probe0"), before0);

    run("setAttr p.attrs[0].rest 4");
    EXPECT_DOUBLE_EQ(value("probe0.output"), -3.0);
    EXPECT_EQ(computesOf("probe2"), before2 + 1);

    run("setAttr p.weight 2");  // the weight reaches every element
    EXPECT_DOUBLE_EQ(value("probe0.output"), -6.0);
    EXPECT_DOUBLE_EQ(value("probe2.output"), 10.0);
}

TEST_F(PoseEvaluation, ConnectedDriversArePulled) {
    run("createNode transform -n driver; createNode LMRAPose -n p;"
        "connectAttr driver.translateX p.weight; connectAttr driver.translateY p.attrs[1].pose;"
        "setAttr p.attrs[1].rest 1; setAttr driver.translateX 0.5; setAttr driver.translateY 5");
    EXPECT_DOUBLE_EQ(value("p.attrs[1].out"), 2.0);
    run("setAttr driver.translateY 9");
    EXPECT_EQ(headless::execute("getAttr p.attrs").result, "1 9 4");
}

TEST_F(PoseEvaluation, PoseAttributeFlagsGuardTheirRoles) {
    run("createNode LMRAPose -n p; createNode transform -n t");
    for (const char* refused :
         {"connectAttr t.translateX p.weight_min", "connectAttr t.translateX p.weight_max",
          "connectAttr p.attrs[0].pose t.translateX", "connectAttr p.mute t.visibility",
          "setAttr p.attrs[0].out 3"}) {
        EXPECT_FALSE(succeeds(refused)) << refused;
    }
    EXPECT_TRUE(succeeds("connectAttr t.translateX p.weight"));
}

class PoseApplyEvaluation : public PoseSceneTest {};

TEST_F(PoseApplyEvaluation, OutputIsRestPlusWeightedSum) {
    run("createNode LMRAPoseApply -n a; setAttr a.rest 10");
    EXPECT_DOUBLE_EQ(value("a.weight"), 1.0);
    EXPECT_DOUBLE_EQ(value("a.output"), 10.0);

    expectAfter(
        "createNode transform -n t1; createNode transform -n t2;"
        "setAttr t1.translateX 2; setAttr t2.translateX -0.5;"
        "connectAttr -na t1.translateX a.values; connectAttr -na t2.translateX a.values",
        "a.output", 11.5);
    expectAfter("setAttr a.weight 0", "a.output", 10.0);
    expectAfter("setAttr a.weight -2", "a.output", 7.0);
}

// In the evaluation manager's parallel mode the poses feeding an apply node are computed on the
// evaluation threads, together (they are kParallel): under ThreadSanitizer this checks that their
// computes share nothing unguarded.
TEST_F(PoseApplyEvaluation, PosesEvaluateInParallel) {
    run("evaluationManager -mode parallel; createNode LMRAPoseApply -n a; setAttr a.rest 1");
    constexpr int kPoses = 8;
    for (int i = 0; i < kPoses; ++i) {
        const std::string pose = "p" + std::to_string(i);
        run("createNode LMRAPose -n " + pose + "; setAttr " + pose + ".attrs[0].rest 1; setAttr " +
            pose + ".attrs[0].pose " + std::to_string(1 + i) + "; connectAttr " + pose +
            ".attrs[0].out a.values[" + std::to_string(i) + "]");
    }
    headless::clearWrongThreadCalls();
    for (int round = 1; round <= 20; ++round) {
        for (int i = 0; i < kPoses; ++i)
            run("setAttr p" + std::to_string(i) + ".weight " + std::to_string(round));
        // Offsets 0 + 1 + ... + 7 = 28, each weighted by the round.
        EXPECT_DOUBLE_EQ(value("a.output"), 1.0 + 28.0 * round);
    }
    EXPECT_EQ(headless::wrongThreadCallCount(), 0u);
    run("evaluationManager -mode off");
}

TEST_F(PoseApplyEvaluation, BrokenConnectionTakesItsOffsetAway) {
    expectAfter(
        "createNode LMRAPoseApply -n a; createNode transform -n t1;"
        "createNode transform -n t2; setAttr t1.translateX 2; setAttr t2.translateX 5;"
        "connectAttr t1.translateX a.values[0]; connectAttr t2.translateX a.values[3]",
        "a.output", 7.0);
    expectAfter("disconnectAttr t2.translateX a.values[3]", "a.output", 2.0);
    expectAfter("disconnectAttr t1.translateX a.values[0]", "a.output", 0.0);
}

TEST_F(PoseApplyEvaluation, DrivenTargetStaysSettableAndFollowsAgain) {
    run("createNode LMRAPoseApply -n a; createNode transform -n t; setAttr a.rest 4;"
        "connectAttr a.output t.translateY");
    EXPECT_DOUBLE_EQ(value("t.translateY"), 4.0);
    EXPECT_TRUE(succeeds("setAttr t.translateY 1"));
    EXPECT_DOUBLE_EQ(value("t.translateY"), 1.0);
    run("setAttr a.rest 6");
    EXPECT_DOUBLE_EQ(value("t.translateY"), 6.0);
    EXPECT_FALSE(succeeds("setAttr a.output 2"));
}

}  // namespace
