// A pose rig saved to a scene file and opened again.

#include <unistd.h>

#include <filesystem>

#include "support/PoseSceneTest.h"

namespace {

namespace fs = std::filesystem;

class PoseSceneFileTest : public PoseSceneTest {
  protected:
    void SetUp() override {
        PoseSceneTest::SetUp();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() /
                  ("lmra_pose_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        PoseSceneTest::TearDown();
    }

    // Saves the scene, clears it and opens the file again.
    void saveAndReopen() {
        const std::string path = (folder_ / "rig.ma").string();
        const headless::CommandResult saved = headless::execute("file -save \"" + path + "\"");
        ASSERT_TRUE(saved.ok) << saved.error;
        headless::newScene();
        const headless::CommandResult opened = headless::execute("file -open \"" + path + "\"");
        ASSERT_TRUE(opened.ok) << opened.error;
    }

    fs::path folder_;
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
