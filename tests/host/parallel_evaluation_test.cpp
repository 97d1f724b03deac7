// The evaluation manager's parallel mode: the nodes upstream of a pulled plug are evaluated on
// the evaluation threads, concurrently where their scheduling types allow, and API calls inside
// those computes count as the main thread's.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MPxNode.h>

#include <headless/ApiThreads.h>
#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "TestNode.h"

namespace {

using namespace hosttest;
using headless::execute;
using Clock = std::chrono::steady_clock;

// Where the computes of one pull met: each waits, up to its deadline, until `wanted` computes
// are in at once. Concurrent evaluation shows as a meeting; a scheduling type that forbids it
// shows as no two computes ever in at once.
struct Meeting {
    std::mutex mutex;
    std::condition_variable changed;
    int wanted = 2;
    std::chrono::milliseconds patience{0};
    // When set, a compute stops waiting once this many have entered: the pool may run the last
    // one after all the others have left, and then no company can come.
    long expected = 0;
    int inside = 0;
    int mostInside = 0;
    int met = 0;  // computes that saw `wanted` inside while they were
    long entries = 0;
    long lastFullAt = 0;  // the entry that last made `wanted` inside at once
    bool untrustedInside = false;
    bool untrustedShared = false;  // another compute ran while a kUntrusted one did
    std::set<std::thread::id> threads;

    void reset(int wantedNow, std::chrono::milliseconds patienceNow, long expectedNow = 0) {
        const std::lock_guard<std::mutex> lock(mutex);
        wanted = wantedNow;
        patience = patienceNow;
        expected = expectedNow;
        inside = mostInside = met = 0;
        entries = lastFullAt = 0;
        untrustedInside = untrustedShared = false;
        threads.clear();
    }

    void attend(bool untrusted) {
        std::unique_lock<std::mutex> lock(mutex);
        threads.insert(std::this_thread::get_id());
        if (untrustedInside || (untrusted && inside > 0)) untrustedShared = true;
        if (untrusted) untrustedInside = true;
        const long entry = ++entries;
        mostInside = std::max(mostInside, ++inside);
        if (inside >= wanted) lastFullAt = entry;
        changed.notify_all();
        const bool company = changed.wait_until(lock, Clock::now() + patience, [&] {
            return lastFullAt >= entry || (expected > 0 && entries >= expected);
        });
        if (company && lastFullAt >= entry) ++met;
        if (untrusted) untrustedInside = false;
        --inside;
    }
};

Meeting meeting;

// output = input + 1, computed while attending the meeting, with the given scheduling type.
template <MPxNode::SchedulingType Scheduling>
class MeetingNode : public TestNode<MeetingNode<Scheduling>> {
    using Base = TestNode<MeetingNode>;

  public:
    static MStatus initialize() {
        input = doubleAttribute("input", "in");
        output = doubleAttribute("output", "out", kComputed | kNotStored);
        Base::addAttributes({&input, &output});
        return MPxNode::attributeAffects(input, output);
    }
    MPxNode::SchedulingType schedulingType() const override { return Scheduling; }
    MStatus compute(const MPlug& plug, MDataBlock& data) override {
        if (!(plug == output)) return MStatus::kUnknownParameter;
        const double in = data.inputValue(input).asDouble();  // API calls on an evaluation thread
        meeting.attend(Scheduling == MPxNode::kUntrusted);
        data.outputValue(output).set(in + 1.0);
        data.setClean(plug);
        return MStatus::kSuccess;
    }
    static MObject input, output;
};
template <MPxNode::SchedulingType S>
MObject MeetingNode<S>::input;
template <MPxNode::SchedulingType S>
MObject MeetingNode<S>::output;

// sum = the sum of its inputs' elements; the node the tests pull.
class GatherNode : public TestNode<GatherNode> {
  public:
    static MStatus initialize() {
        inputs = doubleAttribute("inputs", "ins", kArray);
        sum = doubleAttribute("sum", "sum", kComputed | kNotStored);
        addAttributes({&inputs, &sum});
        return attributeAffects(inputs, sum);
    }
    MStatus compute(const MPlug& plug, MDataBlock& data) override {
        if (!(plug == sum)) return MStatus::kUnknownParameter;
        computedOn = std::this_thread::get_id();
        data.outputValue(sum).set(sumOfElements(data.inputArrayValue(inputs)));
        data.setClean(plug);
        return MStatus::kSuccess;
    }
    static MObject inputs, sum;
    std::thread::id computedOn;
};
MObject GatherNode::inputs;
MObject GatherNode::sum;

class ParallelEvaluation : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::setEchoScriptOutput(false);
        ASSERT_TRUE(execute("evaluationManager -mode off; file -new -force").ok);
        plugin_ = std::make_unique<headless::InProcessPlugin>("parallelNodes");
        MFnPlugin fn(plugin_->object(), "Tests", "1.0");
        ASSERT_TRUE(MeetingNode<MPxNode::kParallel>::registerIn(fn, "meetParallel", 0x7f601));
        ASSERT_TRUE(MeetingNode<MPxNode::kSerial>::registerIn(fn, "meetSerial", 0x7f602));
        ASSERT_TRUE(
            MeetingNode<MPxNode::kGloballySerial>::registerIn(fn, "meetGloballySerial", 0x7f603));
        ASSERT_TRUE(MeetingNode<MPxNode::kUntrusted>::registerIn(fn, "meetUntrusted", 0x7f604));
        ASSERT_TRUE(GatherNode::registerIn(fn, "gather", 0x7f605));
        ASSERT_TRUE(execute("createNode gather -n g").ok);
        headless::clearWrongThreadCalls();
    }
    void TearDown() override {
        EXPECT_EQ(headless::wrongThreadCallCount(), 0u);
        execute("evaluationManager -mode off; file -new -force");
        plugin_.reset();
    }

    // Node `name` of `type` with input `value`, feeding the gather node's next element.
    void addSource(const std::string& type, const std::string& name, double value) {
        const std::string element = "g.inputs[" + std::to_string(sources_++) + "]";
        ASSERT_TRUE(execute("createNode " + type + " -n " + name).ok);
        ASSERT_TRUE(execute("setAttr " + name + ".input " + std::to_string(value)).ok);
        ASSERT_TRUE(execute("connectAttr " + name + ".output " + element).ok);
    }

    static double sum() {
        const auto result = execute("getAttr g.sum");
        EXPECT_TRUE(result.ok) << result.error;
        return result.ok ? std::stod(result.result) : 0.0;
    }

    static std::thread::id gatherThread() {
        return static_cast<GatherNode*>(MFnDependencyNode(headless::findNode("g")).userNode())
            ->computedOn;
    }

    std::unique_ptr<headless::InProcessPlugin> plugin_;
    int sources_ = 0;
};

// Generous: two computes that may run together meet long before it on a loaded machine.
constexpr std::chrono::seconds kMeetingDeadline{60};
// A meeting that must never happen is given this long to happen anyway.
constexpr std::chrono::milliseconds kForbiddenMeetingChance{100};

TEST_F(ParallelEvaluation, IndependentNodesRunConcurrentlyOnEvaluationThreads) {
    ASSERT_TRUE(execute("evaluationManager -mode parallel").ok);
    addSource("meetParallel", "a", 1.0);
    addSource("meetParallel", "b", 2.0);
    addSource("meetSerial", "c", 3.0);  // kSerial nodes that are not connected to each other
    addSource("meetSerial", "d", 4.0);  // run concurrently too
    meeting.reset(2, kMeetingDeadline, 4);

    EXPECT_DOUBLE_EQ(sum(), 14.0);
    // At least two met inside compute; which pairs meet depends on the pool's timing.
    EXPECT_GE(meeting.met, 2);
    EXPECT_GE(meeting.threads.size(), 2u);
    EXPECT_EQ(meeting.threads.count(std::this_thread::get_id()), 0u);
    EXPECT_EQ(gatherThread(), std::this_thread::get_id());  // the pulled node: the main thread
}

TEST_F(ParallelEvaluation, GloballySerialNodesNeverRunTogether) {
    ASSERT_TRUE(execute("evaluationManager -mode parallel").ok);
    for (int i = 0; i < 3; ++i) addSource("meetGloballySerial", "s" + std::to_string(i), i);
    meeting.reset(2, kForbiddenMeetingChance);

    EXPECT_DOUBLE_EQ(sum(), 6.0);
    EXPECT_EQ(meeting.mostInside, 1);
    EXPECT_EQ(meeting.met, 0);
}

TEST_F(ParallelEvaluation, AnUntrustedNodeRunsAloneOnTheMainThread) {
    ASSERT_TRUE(execute("evaluationManager -mode parallel").ok);
    addSource("meetUntrusted", "u", 1.0);
    addSource("meetParallel", "p", 2.0);
    addSource("meetParallel", "q", 3.0);
    meeting.reset(3, kForbiddenMeetingChance);  // a meeting of all three must never happen

    EXPECT_DOUBLE_EQ(sum(), 9.0);
    EXPECT_FALSE(meeting.untrustedShared);
    EXPECT_EQ(meeting.met, 0);
    EXPECT_EQ(meeting.threads.count(std::this_thread::get_id()), 1u);
}

TEST_F(ParallelEvaluation, AChainEvaluatesInOrderAndRecomputesAfterAChange) {
    ASSERT_TRUE(execute("evaluationManager -mode parallel").ok);
    ASSERT_TRUE(execute("createNode meetParallel -n first; createNode meetParallel -n second;"
                        "connectAttr first.output second.input; setAttr first.input 5")
                    .ok);
    ASSERT_TRUE(execute("connectAttr second.output g.inputs[0]").ok);
    sources_ = 1;
    addSource("meetParallel", "side", 10.0);
    meeting.reset(1, kMeetingDeadline);
    EXPECT_DOUBLE_EQ(sum(), 7.0 + 11.0);

    ASSERT_TRUE(execute("setAttr first.input 20").ok);
    EXPECT_DOUBLE_EQ(sum(), 22.0 + 11.0);
}

TEST_F(ParallelEvaluation, OtherModesEvaluateOnTheMainThread) {
    for (const char* mode : {"off", "serial"}) {
        ASSERT_TRUE(
            execute(std::string("evaluationManager -mode ") + mode + "; file -new -force").ok);
        ASSERT_TRUE(execute("createNode gather -n g").ok);
        sources_ = 0;
        addSource("meetParallel", "a", 1.0);
        addSource("meetParallel", "b", 2.0);
        meeting.reset(1, kMeetingDeadline);
        EXPECT_DOUBLE_EQ(sum(), 5.0) << mode;
        EXPECT_EQ(meeting.threads, std::set<std::thread::id>{std::this_thread::get_id()}) << mode;
    }
}

TEST_F(ParallelEvaluation, CallsFromOtherThreadsStayErrors) {
    ASSERT_TRUE(execute("evaluationManager -mode parallel").ok);
    addSource("meetParallel", "a", 1.0);
    meeting.reset(1, kMeetingDeadline);
    EXPECT_DOUBLE_EQ(sum(), 2.0);
    EXPECT_EQ(headless::wrongThreadCallCount(), 0u);

    std::thread([] { MGlobal::displayInfo("not the main thread"); }).join();
    EXPECT_EQ(headless::wrongThreadCallCount(), 1u);
    headless::clearWrongThreadCalls();

    // Refused, and counted once (the refusal's message is no second call).
    MStatus ran;
    std::thread([&ran] { ran = MGlobal::executePythonCommand("pass"); }).join();
    EXPECT_FALSE(ran);
    EXPECT_EQ(headless::wrongThreadCallCount(), 1u);
    headless::clearWrongThreadCalls();
}

}  // namespace
