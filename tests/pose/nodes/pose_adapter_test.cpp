// LMRAAdapter: which sources it accepts, and how it keeps an active source as members leave.

#include <algorithm>

#include <maya/MFnDependencyNode.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxNode.h>
#include <maya/MPxObjectSet.h>
#include <maya/MTypeId.h>

#include "support/PoseSceneTest.h"

namespace {

// Stands in for a capture source: the adapter only looks at the type name.
class SourceStandIn : public MPxNode {
  public:
    static void* creator() { return new SourceStandIn(); }
    static MStatus initialize() { return MS::kSuccess; }
};

bool pluginRegistersType(const std::string& typeName) {
    const auto types = headless::execute("pluginInfo -query -dependNode lumoraMocap").items;
    return std::find(types.begin(), types.end(), typeName) != types.end();
}

class AdapterTest : public PoseSceneTest {
  protected:
    void SetUp() override {
        PoseSceneTest::SetUp();
        // The real source types take over once the plug-in provides them.
        MFnPlugin fn(standIns_.object(), "Tests", "1.0");
        if (!pluginRegistersType("LMRARealTimeDevice")) {
            fn.registerNode("LMRARealTimeDevice", MTypeId(0x7f0686), &SourceStandIn::creator,
                            &SourceStandIn::initialize);
        }
        if (!pluginRegistersType("LMRAClipReader")) {
            fn.registerNode("LMRAClipReader", MTypeId(0x7f0682), &SourceStandIn::creator,
                            &SourceStandIn::initialize);
        }
    }

    // An adapter "ad" with clip readers at the given member indices.
    static void adapterWithMembers(std::initializer_list<unsigned> indices) {
        run("createNode LMRAAdapter -n ad");
        for (const unsigned index : indices) {
            const std::string clip = "clip" + std::to_string(index);
            run("createNode LMRAClipReader -n " + clip + "; connectAttr " + clip +
                ".message ad.dnSetMembers[" + std::to_string(index) + "]");
        }
    }

    static bool isActive(const std::string& node) {
        return connected(node + ".message", "ad.activeSource");
    }

    headless::InProcessPlugin standIns_{"poseSourceStandIns"};
};

TEST_F(AdapterTest, AcceptsOnlyCaptureSources) {
    run("createNode LMRAAdapter -n ad; createNode transform -n t; createNode LMRAPose -n p;"
        "createNode LMRAPoseApply -n a; createNode LMRARealTimeDevice -n dev;"
        "createNode LMRAClipReader -n clip");
    for (const char* other : {"t", "p", "a"}) {
        EXPECT_FALSE(succeeds(std::string("connectAttr ") + other + ".message ad.activeSource"))
            << other;
        EXPECT_FALSE(succeeds(std::string("sets -add ad ") + other)) << other;
    }
    EXPECT_FALSE(succeeds("connectAttr clip.message ad.dagSetMembers[0]"));
    EXPECT_FALSE(succeeds("connectAttr ad.message ad.order"));

    for (const char* accepted :
         {"sets -add ad dev", "sets -add ad clip", "connectAttr clip.message ad.activeSource",
          "connectAttr ad.message p.message"}) {
        EXPECT_TRUE(succeeds(accepted)) << accepted;
    }
}

TEST_F(AdapterTest, SourceJoinsOnlyOnce) {
    run("createNode LMRAAdapter -n ad; createNode LMRAClipReader -n clip;"
        "createNode LMRARealTimeDevice -n dev; sets -add ad clip; sets -add ad dev");
    EXPECT_FALSE(succeeds("connectAttr clip.message ad.dnSetMembers[7]"));
    EXPECT_FALSE(succeeds("connectAttr -na clip.message ad.dnSetMembers"));

    // Also when the earlier membership sits at a sparse index beyond the element count.
    run("createNode LMRAClipReader -n late; connectAttr late.message ad.dnSetMembers[9]");
    EXPECT_FALSE(succeeds("connectAttr late.message ad.dnSetMembers[2]"));
}

// Whichever member leaves, the adapter keeps one active source while it has members.
TEST_F(AdapterTest, MemberLeavingKeepsOneActiveSource) {
    struct Case {
        const char* what;
        std::initializer_list<unsigned> members;
        const char* script;
        const char* active;                           // the active source afterwards
        std::initializer_list<const char*> inactive;  // and members that are not
    };
    const Case cases[] = {
        {"the active member hands over to the lowest remaining",
         {0, 1, 2},
         "connectAttr clip0.message ad.activeSource; sets -remove ad clip0",
         "clip1",
         {"clip0", "clip2"}},
        {"an inactive member changes nothing",
         {0, 1, 2},
         "connectAttr clip1.message ad.activeSource; sets -remove ad clip0",
         "clip1",
         {"clip2"}},
        {"the only member stays active",
         {0},
         "connectAttr clip0.message ad.activeSource; sets -remove ad clip0",
         "clip0",
         {}},
        {"without an active source the first remaining is activated",
         {0, 1},
         "sets -remove ad clip1",
         "clip0",
         {}},
    };
    for (const Case& c : cases) {
        adapterWithMembers(c.members);
        run(c.script);
        EXPECT_TRUE(isActive(c.active)) << c.what;
        for (const char* other : c.inactive)
            EXPECT_FALSE(isActive(other)) << c.what << ": " << other;
        headless::newScene();
    }
}

TEST_F(AdapterTest, SuccessorIsFoundAtSparseIndices) {
    adapterWithMembers({0, 4, 7});
    run("connectAttr clip0.message ad.activeSource; disconnectAttr clip0.message "
        "ad.dnSetMembers[0]");
    EXPECT_TRUE(isActive("clip4"));
    run("disconnectAttr clip4.message ad.dnSetMembers[4]");
    EXPECT_TRUE(isActive("clip7"));
}

TEST_F(AdapterTest, DeletedSourcesHandOverAndLeaveTheAdapter) {
    adapterWithMembers({0, 1});
    run("connectAttr clip0.message ad.activeSource; delete clip0");
    EXPECT_TRUE(isActive("clip1"));

    run("delete clip1");
    EXPECT_TRUE(exists("ad"));  // not removed with its last source
    run("delete ad");
    EXPECT_FALSE(exists("ad"));
}

// Maya does not say whether connectionBroken comes before or after the member element goes:
// the hand-over works either way.
TEST_F(AdapterTest, HandOverWhicheverOrderConnectionBrokenComesIn) {
    for (const bool after : {false, true}) {
        headless::setConnectionBrokenAfterElementRemoval(after);
        adapterWithMembers({0, 3, 5});
        run("connectAttr clip0.message ad.activeSource; sets -remove ad clip0");
        EXPECT_TRUE(isActive("clip3")) << (after ? "after" : "before");
        run("connectAttr -f clip5.message ad.activeSource; delete clip5");
        EXPECT_TRUE(isActive("clip3")) << (after ? "after" : "before");
        headless::newScene();
    }
    headless::setConnectionBrokenAfterElementRemoval(false);
}

// Asked with both values: the adapter never goes because a neighbour went unless it is itself
// the source of the connection, and then only once it has no source left.
TEST_F(AdapterTest, CanBeDeletedFollowsTheConnectionsDirection) {
    adapterWithMembers({0});
    auto* adapter =
        static_cast<MPxObjectSet*>(MFnDependencyNode(headless::findNode("ad")).userNode());
    EXPECT_FALSE(adapter->canBeDeleted(false));
    EXPECT_TRUE(adapter->canBeDeleted(true));
    run("createNode LMRAPose -n p1; connectAttr ad.message p1.message; delete p1");
    EXPECT_TRUE(exists("ad"));  // it still has a source
    run("delete clip0");
    EXPECT_TRUE(exists("ad"));  // emptied, but not the source of that connection
}

TEST_F(AdapterTest, DeletingTheAdapterKeepsItsSources) {
    adapterWithMembers({0, 1, 2});
    run("connectAttr clip0.message ad.activeSource; delete ad");
    EXPECT_FALSE(exists("ad"));
    for (const char* clip : {"clip0", "clip1", "clip2"}) EXPECT_TRUE(exists(clip)) << clip;
    EXPECT_EQ(headless::nodeNames().size(), 4u);  // time1 and the three sources
}

}  // namespace
