// A pose rig saved to a scene file and opened again.

#include <string>

#include "support/PoseSceneTest.h"
#include "support/TemporaryFolder.h"

namespace {

class PoseSceneFileTest : public PoseSceneTest {
  protected:
    // Saves the scene, clears it and opens the file again.
    void saveAndReopen() {
        const std::string path = folder_.file("rig.ma");
        const headless::CommandResult saved = headless::execute("file -save \"" + path + "\"");
        ASSERT_TRUE(saved.ok) << saved.error;
        headless::newScene();
        const headless::CommandResult opened = headless::execute("file -open \"" + path + "\"");
        ASSERT_TRUE(opened.ok) << opened.error;
    }

    TemporaryFolder folder_;
};

TEST_F(PoseSceneFileTest, RigEvaluatesTheSameAfterReopening) {
    run("createNode transform -n target; createNode transform -n extra; createNode transform -n "
        "gone;"
        "createNode LMRAPose -n p; setAttr p.weight 0.5;"
        "setAttr p.attrs[0].rest 0; setAttr p.attrs[1].rest 2; setAttr p.attrs[1].pose 6;"
        "setAttr p.attrs[3].pose 0;"
        "createNode LMRAPoseApply -n a; setAttr a.rest 1;"
        "connectAttr -na p.attrs[1].out a.values; setAttr extra.translateX 3;"
        "connectAttr -na extra.translateX a.values; setAttr gone.translateX 100;"
        "connectAttr -na gone.translateX a.values; disconnectAttr gone.translateX a.values[2];"
        "connectAttr a.output target.translateY;"
        "createNode LMRAPoselib -n lib; sets -add lib p;"
        "setAttr lib.order -type stringArray 1 \"p\";"
        "createNode LMRAAttributeCollection -n c; setAttr c.attrs[0].restValue 2.5;"
        "connectAttr target.translateY c.attrs[0].plug");
    const double before = value("target.translateY");
    ASSERT_DOUBLE_EQ(before, 6.0);

    saveAndReopen();
    if (HasFatalFailure()) return;

    EXPECT_DOUBLE_EQ(value("target.translateY"), before);
    EXPECT_EQ(itemCount("p.attrs"), 9u);  // elements 0, 1 and 3, defaults included
    run("setAttr p.weight 1");
    EXPECT_DOUBLE_EQ(value("target.translateY"), 8.0);  // no offset of the broken connection
    EXPECT_TRUE(connected("p.message", "lib.dnSetMembers[0]"));
    EXPECT_EQ(headless::execute("getAttr lib.order").result, "p");
    EXPECT_DOUBLE_EQ(value("c.attrs[0].restValue"), 2.5);
    EXPECT_TRUE(connected("target.translateY", "c.attrs[0].plug"));
}

}  // namespace
