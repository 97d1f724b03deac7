// The dependency graph through the script interpreter and the API: lazy compute, dirty
// propagation, dynamic attributes, connection rules, array elements and object sets.

#include <gtest/gtest.h>

#include <maya/MDGModifier.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MNodeMessage.h>
#include <maya/MPlugArray.h>

#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "SceneTest.h"
#include "TestNodes.h"

namespace {

using headless::execute;

class Graph : public hosttest::SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        hosttest::Adder::computes = 0;
        hosttest::Picky::broken = 0;
    }

    static std::string value(const std::string& script) {
        const auto r = execute(script);
        EXPECT_TRUE(r.ok) << script << ": " << r.error;
        return r.result;
    }

    hosttest::TestNodesPlugin plugin_;
};

TEST_F(Graph, TransformValuesAndUnits) {
    EXPECT_EQ(value("createNode transform -n t1; setAttr t1.translateX 2.5; getAttr t1.translateX"),
              "2.5");
    EXPECT_EQ(value("setAttr t1.rotateX 90; getAttr t1.rx"), "90");
    const MPlug rx = MFnDependencyNode(headless::findNode("t1")).findPlug("rotateX", true);
    EXPECT_NEAR(rx.asDouble(), 1.5707963267948966, 1e-12);  // radians through the API
    EXPECT_EQ(value("getAttr t1.scale"), "1 1 1");
    EXPECT_EQ(value("setAttr t1.t 1 2 3; getAttr t1.translate"), "1 2 3");
    EXPECT_EQ(value("createNode transform -n t1"), "t2");  // names stay unique
    EXPECT_FALSE(execute("createNode transform -n 9bad").ok);
    EXPECT_FALSE(execute("setAttr t1.tx notANumber").ok);
    EXPECT_FALSE(execute("createNode noSuchType").ok);
}

TEST_F(Graph, ComputeIsLazyAndFollowsAffects) {
    value(
        "createNode testAdder -n add1; createNode testAdder -n add2; connectAttr add1.sum add2.a");
    value("setAttr add1.a 2; setAttr add1.b 3; setAttr add2.b 10");
    EXPECT_EQ(hosttest::Adder::computes, 0);  // nothing read yet
    EXPECT_EQ(value("getAttr add2.sum"), "15");
    EXPECT_EQ(hosttest::Adder::computes, 2);
    EXPECT_EQ(value("getAttr add2.sum"), "15");
    EXPECT_EQ(hosttest::Adder::computes, 2);  // clean: no new compute
    value("setAttr add1.a 7");                // dirties add1.sum and, downstream, add2.sum
    EXPECT_EQ(value("getAttr add2.sum"), "20");
    EXPECT_EQ(hosttest::Adder::computes, 4);
    EXPECT_FALSE(execute("setAttr add2.a 1").ok);    // driven by a connection
    EXPECT_FALSE(execute("setAttr add1.sum 1").ok);  // not writable
}

TEST_F(Graph, SetDependentsDirtyAddsPlugsAndUnknownParameterKeepsValue) {
    value("createNode testTrigger -n trig");
    MFnDependencyNode node(headless::findNode("trig"));
    MFnNumericAttribute fn;
    MObject extra = fn.create("extra", "ex", MFnNumericData::kDouble, 0.0);
    ASSERT_TRUE(node.addAttribute(extra));
    value("setAttr trig.trigger 4");
    EXPECT_EQ(value("getAttr trig.extra"), "40");
    value("setAttr trig.trigger 5");  // only setDependentsDirty links trigger to extra
    EXPECT_EQ(value("getAttr trig.ex"), "50");
    // "kept" is affected but compute does not handle it: its stored value stays.
    value("setAttr trig.kept 3; setAttr trig.trigger 6");
    EXPECT_EQ(value("getAttr trig.kept"), "3");
}

TEST_F(Graph, DynamicAttributesAddFindReuseRemove) {
    value("createNode transform -n t1");
    MFnDependencyNode node(headless::findNode("t1"));
    MFnCompoundAttribute compound;
    MObject group = compound.create("multipliers", "multipliers");
    MFnNumericAttribute fn;
    MObject child = fn.create("jaw_mlt", "jaw_mlt", MFnNumericData::kDouble, 1.0);
    fn.setKeyable(true);
    ASSERT_TRUE(compound.addChild(child));
    ASSERT_TRUE(node.addAttribute(group));
    EXPECT_FALSE(
        node.addAttribute(fn.create("translateX", "tx2", MFnNumericData::kDouble)));  // name taken

    MStatus status;
    MPlug plug = node.findPlug("jaw_mlt", true, &status);
    ASSERT_TRUE(status);
    EXPECT_TRUE(plug.isDynamic());
    EXPECT_TRUE(plug.isChild());
    EXPECT_EQ(plug.parent().partialName(), "multipliers");
    EXPECT_EQ(plug.partialName(), "jaw_mlt");
    EXPECT_EQ(plug.partialName(true, false, false, false, true, true), "t1.multipliers.jaw_mlt");
    EXPECT_EQ(plug.asDouble(), 1.0);
    EXPECT_EQ(value("listAttr -userDefined t1"), "multipliers jaw_mlt");
    EXPECT_TRUE(node.findPlug("multipliers", true).attribute() == group);  // reused by name

    value("setAttr t1.jaw_mlt 0.5; createNode transform -n t2; connectAttr t2.tx t1.jaw_mlt");
    ASSERT_TRUE(node.removeAttribute(group));
    EXPECT_TRUE(node.findPlug("jaw_mlt", true).isNull());
    MPlugArray destinations;
    EXPECT_FALSE(MFnDependencyNode(headless::findNode("t2"))
                     .findPlug("tx", true)
                     .connectedTo(destinations, false, true));
    EXPECT_FALSE(execute("getAttr t1.jaw_mlt").ok);
    EXPECT_EQ(value("listAttr -ud t1"), "");
}

// Names are looked up through an index: it follows every way attributes come and go.
TEST_F(Graph, NameLookupFollowsAddedAndRemovedAttributes) {
    value("createNode transform -n t1; createNode transform -n t2");
    MFnDependencyNode node(headless::findNode("t1"));
    EXPECT_TRUE(node.findPlug("tx", true).attribute() ==
                node.findPlug("translateX", true).attribute());

    MFnCompoundAttribute compound;
    MFnNumericAttribute fn;
    MObject group = compound.create("multipliers", "mult");
    MObject jaw = fn.create("jaw_mlt", "jaw_mlt", MFnNumericData::kDouble, 1.0);
    ASSERT_TRUE(compound.addChild(jaw));
    EXPECT_FALSE(compound.addChild(
        fn.create("other", "jaw_mlt", MFnNumericData::kDouble)));  // sibling's name
    ASSERT_TRUE(
        compound.addChild(fn.create("smile_mlt", "smile_mlt", MFnNumericData::kDouble, 1.0)));
    ASSERT_TRUE(node.addAttribute(group));
    EXPECT_TRUE(node.findPlug("mult", true).attribute() == group);
    EXPECT_TRUE(MFnDependencyNode(headless::findNode("t2"))
                    .findPlug("jaw_mlt", true)
                    .isNull());  // another node

    // A child removed on its own goes from the index; its name is free for a new attribute.
    ASSERT_TRUE(node.removeAttribute(jaw));
    EXPECT_TRUE(node.findPlug("jaw_mlt", true).isNull());
    EXPECT_FALSE(node.findPlug("smile_mlt", true).isNull());
    MObject root = fn.create("jaw_mlt", "jm", MFnNumericData::kDouble, 2.0);
    ASSERT_TRUE(node.addAttribute(root));
    EXPECT_TRUE(node.findPlug("jm", true).attribute() == root);
    EXPECT_EQ(node.findPlug("jaw_mlt", true).asDouble(), 2.0);

    // Removing the compound takes its children's names with it; adding it again brings them back.
    ASSERT_TRUE(node.removeAttribute(group));
    EXPECT_TRUE(node.findPlug("smile_mlt", true).isNull());
    EXPECT_TRUE(node.findPlug("mult", true).isNull());
    MObject again = compound.create("multipliers", "mult");
    ASSERT_TRUE(
        compound.addChild(fn.create("smile_mlt", "smile_mlt", MFnNumericData::kDouble, 1.0)));
    ASSERT_TRUE(node.addAttribute(again));
    EXPECT_TRUE(node.findPlug("smile_mlt", true).parent().attribute() == again);
    EXPECT_EQ(value("listAttr -userDefined t1"), "jaw_mlt multipliers smile_mlt");
}

TEST_F(Graph, ConnectionsRefusedByFlagsAndLegalConnection) {
    value("createNode transform -n t1; createNode testPicky -n picky; createNode testAdder -n add");
    EXPECT_TRUE(execute("connectAttr t1.message picky.guarded").ok);
    EXPECT_FALSE(execute("connectAttr add.message picky.guarded -f").ok);  // the node refuses
    EXPECT_FALSE(execute("connectAttr t1.tx picky.sealed").ok);            // not connectable
    EXPECT_FALSE(execute("connectAttr t1.tx add.sum").ok);                 // not writable
    EXPECT_FALSE(execute("connectAttr t1.message add.a").ok);              // message into a number
    EXPECT_FALSE(execute("connectAttr t1.tx add.a; connectAttr t1.ty add.a").ok);  // already driven
    EXPECT_TRUE(execute("connectAttr -f t1.ty add.a").ok);  // forced: replaced
    EXPECT_EQ(value("isConnected t1.tx add.a"), "0");
    EXPECT_EQ(value("isConnected t1.ty add.a"), "1");
}

TEST_F(Graph, ConnectionBrokenRunsItsOwnEdits) {
    value(
        "createNode transform -n t1; createNode testPicky -n picky; connectAttr t1.tx "
        "picky.watched");
    value("disconnectAttr t1.tx picky.watched");
    EXPECT_EQ(value("isConnected t1.message picky.fallback"), "1");
    EXPECT_EQ(hosttest::Picky::broken, 1);  // told once, as the destination
    // Deleting the source breaks every connection, including the one made by the callback.
    value("connectAttr t1.ty picky.watched; delete t1");
    EXPECT_EQ(value("objExists t1"), "0");
    MPlugArray sources;
    EXPECT_FALSE(MFnDependencyNode(headless::findNode("picky"))
                     .findPlug("fallback", true)
                     .connectedTo(sources, true, false));
}

TEST_F(Graph, ArrayElementsGoWhenTheirConnectionBreaks) {
    value("createNode transform -n t1; createNode transform -n t2; createNode testCollector -n c");
    value("setAttr t1.tx 2; setAttr t2.tx -0.5");
    value("connectAttr -na t1.tx c.values; connectAttr t2.tx c.values");  // index does not matter
    EXPECT_EQ(value("getAttr -size c.values"), "2");
    EXPECT_EQ(value("getAttr c.total"), "1.5");
    value("setAttr t2.tx 4");
    EXPECT_EQ(value("getAttr c.total"), "6");
    value("disconnectAttr t1.tx c.values[0]");
    EXPECT_EQ(value("getAttr -size c.values"), "1");
    EXPECT_EQ(value("getAttr c.total"), "4");  // no stale element
    value("setAttr c.values[7] 1");            // set elements stay
    EXPECT_EQ(value("getAttr c.values"), "4 1");
}

TEST_F(Graph, ObjectSetMembershipAndDeletionOfEmptiedSets) {
    value(
        "createNode testLooseSet -n loose; createNode testKeepSet -n keep; createNode testAdder -n "
        "add");
    value("createNode transform -n t1; sets -add loose add t1; sets -add keep add");
    EXPECT_EQ(value("sets -isMember loose add t1"), "1");
    EXPECT_EQ(value("isConnected add.message loose.dnSetMembers[0]"), "1");
    EXPECT_EQ(value("isConnected t1.instObjGroups[0] loose.dsm[0]"), "1");
    value("sets -remove loose t1");
    EXPECT_EQ(value("sets -isMember loose t1"), "0");
    value("delete add");                       // the last member of both sets
    EXPECT_EQ(value("objExists loose"), "0");  // may go with it
    EXPECT_EQ(value("objExists keep"), "1");   // refuses through canBeDeleted(false)
    value("delete keep");                      // explicit deletion always works
    EXPECT_EQ(value("objExists keep"), "0");
}

// Every set connected to a deleted node is asked, isSrcNode telling the connection's direction;
// a set that allows it goes only once it has no member left.
TEST_F(Graph, SetsAreAskedForEveryDeletedNeighbour) {
    hosttest::KeepSet::asked.clear();
    value(
        "createNode testKeepSet -n keep; createNode testAdder -n add; createNode testPicky -n p1");
    value("sets -add keep add; connectAttr keep.message p1.fallback");
    value("delete p1");  // keep is the source of that connection, but still has a member
    EXPECT_EQ(hosttest::KeepSet::asked, std::vector<bool>{true});
    EXPECT_EQ(value("objExists keep"), "1");
    value("delete add");  // keep is the destination: refused, though emptied
    EXPECT_EQ(hosttest::KeepSet::asked, (std::vector<bool>{true, false}));
    EXPECT_EQ(value("objExists keep"), "1");
    value("createNode testPicky -n p2; connectAttr keep.message p2.fallback; delete p2");
    EXPECT_EQ(value("objExists keep"), "0");  // allowed and empty
}

TEST_F(Graph, ConnectionBrokenBeforeOrAfterTheElementGoes) {
    for (const bool after : {false, true}) {
        headless::setConnectionBrokenAfterElementRemoval(after);
        hosttest::Collector::elementsWhenBroken.clear();
        value(
            "createNode transform -n t1; createNode transform -n t2; createNode testCollector -n "
            "c");
        value("connectAttr t1.tx c.values[0]; connectAttr t2.tx c.values[1]; setAttr t2.tx 3");
        value("disconnectAttr t1.tx c.values[0]");
        EXPECT_EQ(hosttest::Collector::elementsWhenBroken,
                  std::vector<unsigned int>{after ? 1u : 2u});
        EXPECT_EQ(value("getAttr -size c.values"), "1");
        EXPECT_EQ(value("getAttr c.total"), "3");
        headless::newScene();
    }
    headless::setConnectionBrokenAfterElementRemoval(false);
}

TEST_F(Graph, AttributeNamesMayaCanAddressAndTheFrozenBaseAttribute) {
    MFnNumericAttribute fn;
    MStatus status;
    for (const char* bad : {"", "9lives", "eye blink", "mouth-left", "a.b", "jaw[0]"}) {
        fn.create(bad, "x", MFnNumericData::kDouble, 0.0, &status);
        EXPECT_FALSE(status) << bad;
        fn.create("fine", bad, MFnNumericData::kDouble, 0.0, &status);
        EXPECT_EQ(static_cast<bool>(status), std::string(bad).empty())
            << bad;  // no short name is fine
    }
    fn.create("_eyeBlink_L2", "ebl", MFnNumericData::kDouble, 0.0, &status);
    EXPECT_TRUE(status);
    value("createNode testAdder -n add");
    EXPECT_EQ(value("getAttr add.frozen"), "0");
    EXPECT_EQ(value("getAttr add.fzn"), "0");
}

// A deleted node leaves the graph at once, runs its pre-removal callbacks, and its plug-in
// object waits on the undo queue until flushUndo.
TEST_F(Graph, DeleteGoesToTheUndoQueue) {
    value("createNode testAdder -n add");
    MObject add = headless::findNode("add");
    static int removals = 0;
    removals = 0;
    MStatus status;
    MNodeMessage::addNodePreRemovalCallback(
        add, [](MObject&, void*) { ++removals; }, nullptr, &status);
    ASSERT_TRUE(status);
    const MCallbackId gone = MNodeMessage::addNodePreRemovalCallback(
        add, [](MObject&, void*) { removals += 100; }, nullptr, &status);
    EXPECT_TRUE(MMessage::removeCallback(gone));
    value("delete add");
    EXPECT_EQ(removals, 1);
    EXPECT_EQ(value("objExists add"), "0");
    EXPECT_EQ(headless::undoQueueLength(), 1u);
    EXPECT_FALSE(execute("getAttr add.sum").ok);
    value("flushUndo");
    EXPECT_EQ(headless::undoQueueLength(), 0u);
}

TEST_F(Graph, ModifierBatchesAndUndo) {
    value("createNode transform -n t1; createNode testAdder -n add");
    MFnDependencyNode t1(headless::findNode("t1")), add(headless::findNode("add"));
    MDGModifier modifier;
    modifier.connect(t1.findPlug("tx", true), add.findPlug("a", true));
    modifier.connect(t1.findPlug("ty", true), add.findPlug("b", true));
    ASSERT_TRUE(modifier.doIt());
    value("setAttr t1.tx 1; setAttr t1.ty 2");
    EXPECT_EQ(add.findPlug("sum", true).asDouble(), 3.0);
    ASSERT_TRUE(modifier.undoIt());
    EXPECT_EQ(value("isConnected t1.tx add.a"), "0");
    MDGModifier bad;
    bad.connect(t1.findPlug("tx", true), add.findPlug("sum", true));
    EXPECT_FALSE(bad.doIt());
}

TEST_F(Graph, NewSceneForgetsEverything) {
    value("createNode transform -n t1; createNode testAdder");
    headless::newScene();
    EXPECT_EQ(headless::nodeNames(), std::vector<std::string>{"time1"});
    EXPECT_TRUE(headless::findNode("t1").isNull());
    EXPECT_FALSE(execute("delete time1").ok);
}

}  // namespace
