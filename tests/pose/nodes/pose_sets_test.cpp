// Connection rules and lifetime of LMRAAttributeCollection and LMRAPoselib.

#include <maya/MFnDependencyNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MPxObjectSet.h>
#include <maya/MTypeId.h>

#include "support/PoseSceneTest.h"

namespace {

// An ordinary set with the host's default deletion answer, to compare with.
class PlainSet : public MPxObjectSet {
  public:
    static void* creator() { return new PlainSet(); }
    static MStatus initialize() { return MS::kSuccess; }
};

// A node with a string array output, to try connections into "order".
class StringSource : public MPxNode {
  public:
    static MObject strings;
    static void* creator() { return new StringSource(); }
    static MStatus initialize() {
        MFnTypedAttribute fn;
        strings = fn.create("strings", "strings", MFnData::kStringArray);
        addAttribute(strings);
        return MS::kSuccess;
    }
};
MObject StringSource::strings;

class PoseSetsTest : public PoseSceneTest {
  protected:
    void SetUp() override {
        PoseSceneTest::SetUp();
        MFnPlugin fn(helpers_.object(), "Tests", "1.0");
        fn.registerNode("posePlainSet", MTypeId(0x7f0691), &PlainSet::creator,
                        &PlainSet::initialize, MPxNode::kObjectSet);
        fn.registerNode("poseStringSource", MTypeId(0x7f0692), &StringSource::creator,
                        &StringSource::initialize);
    }

    headless::InProcessPlugin helpers_{"poseSetHelpers"};
};

TEST_F(PoseSetsTest, CollectionTakesTargetsButNoMembers) {
    run("createNode LMRAAttributeCollection -n c; createNode transform -n t;"
        "createNode LMRAPose -n p; createNode LMRAPoselib -n lib");
    EXPECT_FALSE(succeeds("sets -add c t"));
    EXPECT_FALSE(succeeds("sets -add c p"));
    EXPECT_FALSE(succeeds("connectAttr p.message c.dnSetMembers[0]"));

    EXPECT_TRUE(succeeds("connectAttr t.translateX c.attrs[0].plug"));
    EXPECT_FALSE(succeeds("connectAttr c.attrs[0].plug t.translateY"));  // never a source
    EXPECT_TRUE(succeeds("connectAttr c.attrs[0].restValue t.translateZ"));
    EXPECT_TRUE(succeeds("connectAttr lib.message c.message"));

    run("setAttr c.attrs[0].restValue 2.5");
    EXPECT_DOUBLE_EQ(value("c.attrs[0].restValue"), 2.5);
}

TEST_F(PoseSetsTest, LibraryTakesPosesOnly) {
    run("createNode LMRAPoselib -n lib; createNode transform -n t; createNode LMRAPose -n p;"
        "createNode LMRAPoseApply -n a; createNode LMRAAttributeCollection -n c;"
        "createNode poseStringSource -n s");
    for (const char* refused :
         {"sets -add lib t", "sets -add lib a", "connectAttr t.message lib.dnSetMembers[0]",
          "connectAttr a.message lib.dnSetMembers[0]", "connectAttr p.message lib.dagSetMembers[0]",
          "connectAttr s.strings lib.order"}) {
        EXPECT_FALSE(succeeds(refused)) << refused;
    }

    EXPECT_TRUE(succeeds("sets -add lib p"));
    EXPECT_TRUE(connected("p.message", "lib.dnSetMembers[0]"));
    EXPECT_TRUE(succeeds("connectAttr lib.message c.message"));
}

TEST_F(PoseSetsTest, SetsOutliveTheirMembersButNotAnExplicitDelete) {
    run("createNode posePlainSet -n plain; createNode LMRAPoselib -n lib;"
        "createNode LMRAPose -n p1; createNode LMRAPose -n p2;"
        "sets -add plain p1; sets -add lib p1; sets -add lib p2;"
        "createNode LMRAAttributeCollection -n c; createNode transform -n t;"
        "connectAttr t.translateX c.attrs[0].plug");

    run("delete p1; delete p2; delete t");
    EXPECT_FALSE(exists("plain"));  // the host's own rule removes an emptied set
    EXPECT_TRUE(exists("lib"));
    EXPECT_TRUE(exists("c"));
    auto* collection =
        static_cast<MPxObjectSet*>(MFnDependencyNode(headless::findNode("c")).userNode());
    EXPECT_FALSE(collection->canBeDeleted(false));

    run("delete lib; delete c");
    EXPECT_FALSE(exists("lib"));
    EXPECT_FALSE(exists("c"));
}

// canBeDeleted is asked for every deleted neighbour, isSrcNode telling the direction of the
// connection: a library stays while it holds poses, and never goes for losing a pose.
TEST_F(PoseSetsTest, LibraryAnswersForBothDirections) {
    run("createNode LMRAPoselib -n lib; createNode LMRAPose -n p1; sets -add lib p1;"
        "createNode LMRAAttributeCollection -n c; connectAttr lib.message c.message");
    auto* library =
        static_cast<MPxObjectSet*>(MFnDependencyNode(headless::findNode("lib")).userNode());
    EXPECT_FALSE(library->canBeDeleted(false));
    EXPECT_TRUE(library->canBeDeleted(true));
    run("delete c");  // lib is the source of that connection, and holds a pose
    EXPECT_TRUE(exists("lib"));
    run("delete p1");  // lib is the destination
    EXPECT_TRUE(exists("lib"));
}

}  // namespace
