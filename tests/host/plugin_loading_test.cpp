// Plug-in libraries: loading by name and path, unloading refused while nodes exist, reloading,
// plug-in commands, and the project's plug-in itself.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "SceneTest.h"

namespace {

using headless::execute;

std::string testPluginFolder() {
    return std::string(std::getenv("LMRA_BUILD_DIR")) + "/tests/plugins";
}

class PluginLoading : public hosttest::SceneTest {
  protected:
    void TearDown() override {
        SceneTest::TearDown();
        headless::unloadPlugin("hostTestPlugin");
    }
};

TEST_F(PluginLoading, LoadUnloadRefusedWhileInUseAndReload) {
    const std::string path = testPluginFolder() + "/hostTestPlugin.so";
    auto r = execute("loadPlugin \"" + path + "\"");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.result, "hostTestPlugin");
    EXPECT_EQ(execute("pluginInfo -query -dependNode hostTestPlugin").result, "testCounter");
    EXPECT_EQ(execute("pluginInfo -q -c hostTestPlugin").result, "testEcho");
    EXPECT_EQ(execute("pluginInfo -q -vendor hostTestPlugin").result, "Tests");
    EXPECT_EQ(execute("testEcho \"a b\"").result, "a b");
    EXPECT_FALSE(execute("testEcho").ok);  // the command's own failure

    EXPECT_EQ(execute("createNode testCounter -n c1; getAttr c1.count").result, "7");
    r = execute("unloadPlugin hostTestPlugin");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("still in use"), std::string::npos);
    EXPECT_TRUE(headless::isPluginLoaded("hostTestPlugin"));

    // A deleted node waits on the undo queue, and holds the plug-in until it is flushed.
    r = execute("delete c1; unloadPlugin hostTestPlugin");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("flushUndo"), std::string::npos) << r.error;
    EXPECT_EQ(headless::undoQueueLength(), 1u);
    ASSERT_TRUE(execute("flushUndo; unloadPlugin hostTestPlugin").ok);
    EXPECT_EQ(headless::undoQueueLength(), 0u);
    EXPECT_FALSE(headless::isPluginLoaded("hostTestPlugin"));
    EXPECT_FALSE(execute("createNode testCounter").ok);
    EXPECT_FALSE(execute("testEcho x").ok);

    // Found again by name through MAYA_PLUG_IN_PATH, and registered afresh.
    ::setenv("MAYA_PLUG_IN_PATH", ("/nonexistent:" + testPluginFolder()).c_str(), 1);
    ASSERT_TRUE(headless::loadPlugin("hostTestPlugin"));
    ::unsetenv("MAYA_PLUG_IN_PATH");
    EXPECT_EQ(execute("createNode testCounter; getAttr testCounter1.cn").result, "7");
}

TEST_F(PluginLoading, BadLibrariesAreRefusedWithAMessage) {
    std::string error;
    ::unsetenv("MAYA_PLUG_IN_PATH");
    EXPECT_FALSE(headless::loadPlugin("noSuchPluginAnywhere", &error));
    // What to do, when the search path is not set.
    EXPECT_NE(error.find("was not found on MAYA_PLUG_IN_PATH. MAYA_PLUG_IN_PATH is not set"),
              std::string::npos)
        << error;
    // A shared library that is not a plug-in.
    EXPECT_FALSE(headless::loadPlugin(
        std::string(std::getenv("LMRA_BUILD_DIR")) + "/lib/libmayahost.so", &error));
    EXPECT_NE(error.find("not a plug-in"), std::string::npos);
    EXPECT_FALSE(execute("unloadPlugin neverLoaded").ok);
}

TEST_F(PluginLoading, ProjectPluginLoadsAndUnloads) {
    // Found through $LMRA_BUILD_DIR/plug-ins.
    auto r = execute("loadPlugin lumoraMocap");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(execute("pluginInfo -q -version lumoraMocap").result, "2.2.1");
    EXPECT_EQ(execute("pluginInfo -q -vendor lumoraMocap").result, "Korvest");
    EXPECT_TRUE(
        execute("unloadPlugin lumoraMocap; loadPlugin lumoraMocap; unloadPlugin lumoraMocap").ok);
}

}  // namespace
