// The API as plug-in code calls it: plugs, data handles, arrays in logical order, compute
// falling back to the parent plug, passive outputs, time units and user events.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnStringArrayData.h>
#include <maya/MFnStringData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MIntArray.h>
#include <maya/MPlugArray.h>
#include <maya/MPxNode.h>
#include <maya/MSelectionList.h>
#include <maya/MTime.h>
#include <maya/MUserEventMessage.h>

#include <headless/ApiThreads.h>
#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>
#include <headless/UserEvents.h>

#include "SceneTest.h"
#include "TestNode.h"

namespace {

using namespace hosttest;
using headless::execute;

// "items" is an array of compounds (in, out); out of one element is computed only through the
// element (the node answers kUnknownParameter for the child), and "order" lists the logical
// indices that compute saw, in iteration order.
class Lister : public TestNode<Lister> {
  public:
    static MStatus initialize() {
        in = doubleAttribute("in", "in");
        out = doubleAttribute("out", "out", kComputed);
        MFnCompoundAttribute c;
        items = c.create("items", "it");
        c.addChild(in);
        c.addChild(out);
        c.setArray(true);
        order = doubleAttribute("order", "order", kComputed);
        passive = doubleAttribute("passive", "passive", 0, 5.0);
        MFnUnitAttribute u;
        time = u.create("time", "tm", MTime(0.0, MTime::kFilm));
        MFnTypedAttribute t;
        label = t.create("label", "label", MFnData::kString, MFnStringData().create("none"));
        tags = t.create("tags", "tags", MFnData::kStringArray);
        addAttributes({&items, &order, &passive, &time, &label, &tags});
        attributeAffects(in, out);
        attributeAffects(items, order);
        return MStatus::kSuccess;
    }
    MStatus compute(const MPlug& plug, MDataBlock& data) override {
        if (plug == out) return MStatus::kUnknownParameter;  // handled by the element
        if (plug == items && plug.isElement()) {
            MDataHandle element = data.outputValue(plug);
            element.child(out).set(2.0 * data.inputValue(plug.child(in)).asDouble());
            data.setClean(plug.child(out));
            data.setClean(plug);
            return MStatus::kSuccess;
        }
        if (plug == order) {
            MArrayDataHandle array = data.inputArrayValue(items);
            double digits = 0.0;
            for (unsigned int i = 0; i < array.elementCount(); ++i, array.next()) {
                digits = digits * 10.0 + array.elementIndex();
            }
            data.outputValue(order).set(digits);
            data.setClean(plug);
            return MStatus::kSuccess;
        }
        return MStatus::kUnknownParameter;
    }
    bool isPassiveOutput(const MPlug& plug) const override { return plug == passive; }

    static MObject items, in, out, order, passive, time, label, tags;
};

MObject Lister::items, Lister::in, Lister::out, Lister::order, Lister::passive, Lister::time,
    Lister::label, Lister::tags;

class Api : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        MFnPlugin fn(plugin_.object(), "Tests", "1.0");
        ASSERT_TRUE(Lister::registerIn(fn, "testLister", 0x7f201));
        ASSERT_TRUE(execute("createNode testLister -n l1").ok);
        node_.setObject(headless::findNode("l1"));
    }

    headless::InProcessPlugin plugin_{"apiTestNodes"};
    MFnDependencyNode node_;
};

TEST_F(Api, ArraysInLogicalOrderAndComputeThroughTheElement) {
    ASSERT_TRUE(
        execute("setAttr l1.items[5].in 1; setAttr l1.items[2].in 3; setAttr l1.items[9].in 4").ok);
    EXPECT_EQ(execute("getAttr l1.order").result, "259");
    EXPECT_EQ(execute("getAttr l1.items[2].out").result, "6");
    MPlug array = node_.findPlug("items", true);
    EXPECT_TRUE(array.isArray());
    EXPECT_EQ(array.numElements(), 3u);
    MIntArray indices;
    array.getExistingArrayAttributeIndices(indices);
    ASSERT_EQ(indices.length(), 3u);
    EXPECT_EQ(indices[1], 5);
    const MPlug element = array.elementByPhysicalIndex(2);
    EXPECT_EQ(element.logicalIndex(), 9u);
    const MPlug child = element.child(Lister::out);
    EXPECT_EQ(child.partialName(), "it[9].out");
    EXPECT_EQ(child.partialName(true, false, false, false, false, true), "l1.items[9].out");
    EXPECT_EQ(child.asDouble(), 8.0);
    EXPECT_TRUE(child.parent() == element);
    EXPECT_TRUE(element.array() == array);
    EXPECT_TRUE(child == Lister::out);
    EXPECT_FALSE(child == Lister::in);
    ASSERT_TRUE(execute("setAttr l1.items[9].in 0.5").ok);
    EXPECT_EQ(child.asDouble(), 1.0);  // dirtied element-wise, computed again
    EXPECT_EQ(array.elementByLogicalIndex(4).numChildren(), 2u);
    EXPECT_EQ(array.numElements(), 3u);  // asking for a plug creates no element
}

TEST_F(Api, ConnectionsIntoCompoundsAndPassiveOutputs) {
    ASSERT_TRUE(
        execute("createNode transform -n a; createNode transform -n b; connectAttr a.t b.t").ok);
    ASSERT_TRUE(execute("setAttr a.ty 3").ok);
    EXPECT_EQ(execute("getAttr b.ty").result, "3");  // children follow the compound connection
    MPlugArray sources;
    const MPlug bt = MFnDependencyNode(headless::findNode("b")).findPlug("translate", true);
    ASSERT_TRUE(bt.connectedTo(sources, true, false));
    EXPECT_EQ(sources[0].name(), "a.translate");
    EXPECT_TRUE(bt.isDestination());
    EXPECT_FALSE(bt.isSource());

    ASSERT_TRUE(execute("connectAttr l1.passive a.tx").ok);
    EXPECT_EQ(execute("getAttr a.tx").result, "5");
    EXPECT_TRUE(execute("setAttr a.tx 2").ok);  // a passive output leaves the destination settable
    EXPECT_EQ(execute("getAttr a.tx").result, "2");
    ASSERT_TRUE(execute("setAttr l1.passive 7").ok);
    EXPECT_EQ(execute("getAttr a.tx").result, "7");
}

TEST_F(Api, TypedAndTimeValues) {
    EXPECT_EQ(execute("getAttr l1.label").result, "none");
    ASSERT_TRUE(execute("setAttr -type string l1.label \"two words\"").ok);
    EXPECT_EQ(node_.findPlug("label", true).asString(), "two words");
    EXPECT_FALSE(execute("setAttr l1.label x").ok);  // needs -type string
    ASSERT_TRUE(execute("setAttr l1.tags -type stringArray 2 a \"b c\"").ok);
    MFnStringArrayData tags(node_.findPlug("tags", true).asMObject());
    ASSERT_EQ(tags.length(), 2u);
    EXPECT_EQ(tags.array()[1], "b c");
    EXPECT_FALSE(execute("setAttr l1.tags -type stringArray 3 a").ok);

    // Scripts give times in the scene's unit; the API hands out MTime in that unit.
    ASSERT_TRUE(execute("setAttr l1.time 12").ok);
    const MPlug time = node_.findPlug("time", true);
    EXPECT_DOUBLE_EQ(time.asDouble(), 0.5);  // seconds, at 24 frames per second
    ASSERT_TRUE(MTime::setUIUnit(MTime::kNTSCFrame));
    EXPECT_EQ(execute("getAttr l1.tm").result, "15");
    ASSERT_TRUE(MTime::setUIUnit(MTime::kFilm));
}

TEST_F(Api, RenameAndSelectionByName) {
    EXPECT_EQ(execute("rename l1 lister").result, "lister");
    EXPECT_EQ(node_.name(), "lister");
    MSelectionList list;
    ASSERT_TRUE(list.add("lister.passive"));
    MPlug plug;
    ASSERT_TRUE(list.getPlug(0, plug));
    EXPECT_EQ(plug.asDouble(), 5.0);
    EXPECT_EQ(node_.typeName(), "testLister");
    EXPECT_EQ(node_.object().apiType(), MFn::kPluginDependNode);
    EXPECT_EQ(node_.typeId().id(), 0x7f201u);
    EXPECT_NE(node_.userNode(), nullptr);
    EXPECT_FALSE(execute("rename lister 1x").ok);
}

// Maya's API is for the main thread: the host still delivers events posted from other threads,
// but counts every such call as an error.
TEST_F(Api, UserEventsFromOtherThreadsAreDeliveredAndCountedAsWrongThreadCalls) {
    const MString event("hostTestEvent");
    ASSERT_TRUE(MUserEventMessage::registerUserEvent(event));
    EXPECT_FALSE(MUserEventMessage::registerUserEvent(event));
    static std::atomic<int> calls{0};
    calls = 0;
    const MCallbackId id = MUserEventMessage::addUserEventCallback(event, [](void*) { ++calls; });
    headless::clearPostedUserEvents();
    headless::clearWrongThreadCalls();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 250; ++i) MUserEventMessage::postUserEvent(event);
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(headless::userEventPostCount("hostTestEvent"), 1000u);
    EXPECT_EQ(calls.load(), 1000);
    EXPECT_EQ(headless::wrongThreadCallCount(), 1000u);
    MUserEventMessage::postUserEvent(event);  // the main thread's call is no error
    EXPECT_EQ(headless::wrongThreadCallCount(), 1000u);
    headless::clearWrongThreadCalls();
    ASSERT_TRUE(MMessage::removeCallback(id));
    ASSERT_TRUE(MUserEventMessage::deregisterUserEvent(event));
    EXPECT_FALSE(MUserEventMessage::postUserEvent(event));
    EXPECT_FALSE(MUserEventMessage::isUserEvent(event));
}

}  // namespace
