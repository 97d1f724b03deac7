// The scene's time and time unit, time values in compute, evaluation at a given time, and the
// evaluation manager's preEvaluation with the plugs dirtied since a node's last evaluation.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <maya/MDGContext.h>
#include <maya/MDataBlock.h>
#include <maya/MEvaluationNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPxNode.h>
#include <maya/MTime.h>

#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "TestNode.h"

namespace {

using namespace hosttest;
using headless::execute;

// Samples "10 × (time + offset frames)" in seconds, and only when told to resample, the way a
// clip player caches its sampling: setDependentsDirty and preEvaluation decide when.
class TimeReader : public TestNode<TimeReader> {
  public:
    static MStatus initialize() {
        MFnUnitAttribute unit;
        time = unit.create("time", "tm", MFnUnitAttribute::kTime, 0.0);
        offset = doubleAttribute("offset", "off");
        sampled = doubleAttribute("sampled", "smp", kNotStored);
        doubled = doubleAttribute("doubled", "dbl", kNotStored);
        return addAttributes({&time, &offset, &sampled, &doubled});
    }

    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& affected) override {
        if (plug == time || plug == offset) {
            ++dependentsDirtied;
            resampleNeeded = true;
            affected.append(MPlug(thisMObject(), sampled));
            affected.append(MPlug(thisMObject(), doubled));
        }
        return MPxNode::setDependentsDirty(plug, affected);
    }

    MStatus preEvaluation(const MDGContext& context, const MEvaluationNode& node) override {
        ++preEvaluations;
        timeWasDirty = node.dirtyPlugExists(time);
        offsetWasDirty = node.dirtyPlugExists(offset);
        if (!timeWasDirty && !offsetWasDirty) return MStatus::kSuccess;
        MTime when;
        if (context.isNormal() ||
            (context.getTime(when), when.as(MTime::kSeconds) != lastSampleTime)) {
            resampleNeeded = true;
        }
        return MStatus::kSuccess;
    }

    MStatus compute(const MPlug& plug, MDataBlock& data) override {
        if (plug == sampled) {
            // Another time's evaluation comes without dirty propagation: sample at it, and
            // again at the next normal compute.
            const bool timed = !data.context().isNormal();
            if (resampleNeeded || timed) {
                const MTime at = data.inputValue(time).asTime();
                seenUnit = at.unit();
                const double offsetSeconds =
                    MTime(data.inputValue(offset).asDouble(), at.unit()).as(MTime::kSeconds);
                value = 10.0 * (at.as(MTime::kSeconds) + offsetSeconds);
                lastSampleTime = at.as(MTime::kSeconds);
                resampleNeeded = timed;
            }
            const MDGContext context = data.context();
            sawNormalContext = context.isNormal();
            context.getTime(contextTime);
            ++computes;
            data.outputValue(sampled).set(value);
            data.setClean(plug);
            return MStatus::kSuccess;
        }
        if (plug == doubled) {
            data.outputValue(doubled).set(2.0 * data.inputValue(sampled).asDouble());
            data.setClean(plug);
            return MStatus::kSuccess;
        }
        return MStatus::kUnknownParameter;
    }

    static MObject time, offset, sampled, doubled;
    bool resampleNeeded = false;
    double lastSampleTime = 0.0;
    double value = 0.0;
    MTime::Unit seenUnit = MTime::kInvalid;
    bool sawNormalContext = true;
    MTime contextTime;
    int computes = 0;
    int preEvaluations = 0;
    int dependentsDirtied = 0;
    bool timeWasDirty = false;
    bool offsetWasDirty = false;
};

MObject TimeReader::time;
MObject TimeReader::offset;
MObject TimeReader::sampled;
MObject TimeReader::doubled;

class TimeAndContexts : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::setEchoScriptOutput(false);
        ASSERT_TRUE(
            execute("evaluationManager -mode off; currentUnit -time film; file -new -force").ok);
        plugin_ = std::make_unique<headless::InProcessPlugin>("timeContextNodes");
        MFnPlugin fn(plugin_->object(), "Tests", "1.0");
        ASSERT_TRUE(TimeReader::registerIn(fn, "timeReader", 0x7f501));
    }
    void TearDown() override {
        plugin_.reset();
        execute("evaluationManager -mode off; currentUnit -time film; file -new -force");
    }

    TimeReader& reader() {
        return *static_cast<TimeReader*>(MFnDependencyNode(headless::findNode("r")).userNode());
    }
    void makeReader() {
        ASSERT_TRUE(execute("createNode timeReader -n r; connectAttr time1.outTime r.time").ok);
    }

    std::unique_ptr<headless::InProcessPlugin> plugin_;
};

TEST_F(TimeAndContexts, CurrentTimeIsShownInTheCurrentUnit) {
    EXPECT_EQ(execute("currentUnit -time film; currentTime 12; getAttr time1.outTime").result,
              "12");
    EXPECT_EQ(execute("currentTime -query").result, "12");
    EXPECT_EQ(execute("currentUnit -query -time").result, "film");
    // The time stays put; its frame number follows the unit.
    const std::pair<const char*, const char*> units[] = {
        {"ntsc", "15"},  {"pal", "12.5"}, {"show", "24"}, {"palf", "25"},
        {"ntscf", "30"}, {"game", "7.5"}, {"sec", "0.5"}, {"millisec", "500"}};
    for (const auto& [unit, shown] : units) {
        ASSERT_TRUE(execute(std::string("currentUnit -time ") + unit).ok) << unit;
        EXPECT_EQ(execute("getAttr time1.outTime").result, shown) << unit;
        EXPECT_EQ(execute("currentUnit -q -t").result, unit);
    }
    EXPECT_EQ(
        execute("currentUnit -time 100fps; currentTime 3; currentUnit -time film; currentTime -q")
            .result,
        "0.72");

    EXPECT_FALSE(execute("currentUnit -time weekly").ok);
    EXPECT_EQ(execute("currentUnit -q -time").result, "film");
    EXPECT_FALSE(execute("currentUnit").ok);
    EXPECT_FALSE(execute("currentTime soon").ok);
    EXPECT_FALSE(execute("currentTime").ok);
    EXPECT_EQ(execute("currentTime -q").result, "0.72");
    EXPECT_FALSE(execute("delete time1").ok);
    ASSERT_TRUE(execute("file -new -force").ok);
    EXPECT_EQ(execute("objExists time1").result, "1");
}

TEST_F(TimeAndContexts, ComputeReadsTimeInTheSceneUnit) {
    makeReader();
    ASSERT_TRUE(execute("currentUnit -time ntsc; currentTime 30").ok);
    EXPECT_EQ(execute("getAttr r.sampled").result, "10");
    EXPECT_EQ(reader().seenUnit, MTime::kNTSCFrame);
    // The offset counts frames of the scene's unit: 15 NTSC frames are half a second.
    EXPECT_EQ(execute("setAttr r.offset 15; getAttr r.sampled").result, "15");
    // A new unit changes what the frames mean, so the reader recomputes.
    EXPECT_EQ(execute("currentUnit -time film; getAttr r.sampled").result, "16.25");

    MTime now;
    ASSERT_TRUE(MDGContext::fsNormal.getTime(now));
    EXPECT_EQ(now.unit(), MTime::kFilm);
    EXPECT_DOUBLE_EQ(now.value(), 24.0);
    EXPECT_TRUE(MDGContext::fsNormal.isNormal());
}

class TimedEvaluation : public TimeAndContexts,
                        public ::testing::WithParamInterface<const char*> {};

TEST_P(TimedEvaluation, GetAttrAtATimeLeavesTheNormalContextAlone) {
    ASSERT_TRUE(execute(std::string("evaluationManager -mode ") + GetParam()).ok);
    makeReader();
    ASSERT_TRUE(execute("currentTime 12").ok);
    EXPECT_EQ(execute("getAttr r.sampled").result, "5");

    EXPECT_EQ(execute("getAttr -time 24 r.sampled").result, "10");
    EXPECT_FALSE(reader().sawNormalContext);
    EXPECT_EQ(reader().contextTime, MTime(24.0, MTime::kFilm));
    EXPECT_EQ(execute("getAttr -t 36 r.doubled").result, "30");

    // The normal values were kept aside, not recomputed.
    EXPECT_EQ(execute("getAttr r.sampled").result, "5");
    EXPECT_EQ(execute("getAttr r.doubled").result, "10");
    EXPECT_EQ(execute("currentTime -q").result, "12");
    EXPECT_EQ(execute("getAttr time1.outTime").result, "12");
    EXPECT_EQ(execute("getAttr -time 6 time1.outTime").result, "6");

    EXPECT_FALSE(execute("getAttr -time later r.sampled").ok);
    EXPECT_FALSE(execute("getAttr -time").ok);
}

INSTANTIATE_TEST_SUITE_P(Modes, TimedEvaluation, ::testing::Values("off", "parallel"));

// Maya propagates dirty only in the normal context, and with the evaluation manager on it
// stops calling setDependentsDirty for time changes once its graph is built.
TEST_F(TimeAndContexts, TimedContextsAndTimeChangesUnderTheManagerCallNoSetDependentsDirty) {
    makeReader();
    ASSERT_TRUE(execute("currentTime 12").ok);
    EXPECT_EQ(execute("getAttr r.sampled").result, "5");
    int calls = reader().dependentsDirtied;
    EXPECT_EQ(execute("getAttr -time 24 r.sampled").result, "10");
    EXPECT_EQ(execute("getAttr r.sampled").result, "5");
    EXPECT_EQ(reader().dependentsDirtied, calls);

    ASSERT_TRUE(execute("evaluationManager -mode serial; currentTime 6").ok);  // builds the graph
    EXPECT_EQ(execute("getAttr r.sampled").result, "2.5");
    calls = reader().dependentsDirtied;
    ASSERT_TRUE(execute("currentTime 18").ok);
    EXPECT_EQ(execute("getAttr r.sampled").result, "7.5");  // through preEvaluation alone
    EXPECT_TRUE(reader().timeWasDirty);
    EXPECT_EQ(reader().dependentsDirtied, calls);
    ASSERT_TRUE(execute("setAttr r.offset 6").ok);  // a set still propagates
    EXPECT_EQ(reader().dependentsDirtied, calls + 1);
    EXPECT_EQ(execute("getAttr r.sampled").result, "10");
}

TEST_F(TimeAndContexts, PreEvaluationSeesThePlugsDirtiedSinceTheLastEvaluation) {
    EXPECT_EQ(execute("evaluationManager -mode parallel; evaluationManager -query -mode").result,
              "parallel");
    makeReader();
    ASSERT_TRUE(execute("getAttr r.sampled").ok);
    const int first = reader().preEvaluations;
    EXPECT_EQ(first, 1);

    ASSERT_TRUE(execute("setAttr r.offset 24").ok);
    EXPECT_EQ(execute("getAttr r.sampled").result, "10");
    EXPECT_EQ(reader().preEvaluations, first + 1);
    EXPECT_TRUE(reader().offsetWasDirty);
    EXPECT_FALSE(reader().timeWasDirty);

    // Two computes of the node in one evaluation: one preEvaluation.
    ASSERT_TRUE(execute("currentTime 24").ok);
    EXPECT_EQ(execute("getAttr r.doubled").result, "40");
    EXPECT_EQ(reader().preEvaluations, first + 2);
    EXPECT_TRUE(reader().timeWasDirty);
    EXPECT_FALSE(reader().offsetWasDirty);
    EXPECT_EQ(reader().computes, 3);

    // Nothing to compute, nothing to prepare.
    ASSERT_TRUE(execute("getAttr r.doubled; getAttr r.sampled").ok);
    EXPECT_EQ(reader().preEvaluations, first + 2);

    ASSERT_TRUE(execute("evaluationManager -mode off; setAttr r.offset 0").ok);
    EXPECT_EQ(execute("getAttr r.sampled").result, "10");
    EXPECT_EQ(reader().preEvaluations, first + 2);
    EXPECT_EQ(execute("evaluationManager -q -mode").result, "off");
    EXPECT_FALSE(execute("evaluationManager -mode fast").ok);
    EXPECT_FALSE(execute("evaluationManager").ok);
}

}  // namespace
