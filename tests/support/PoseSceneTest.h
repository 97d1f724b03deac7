#pragma once
// A fixture for the pose nodes: the plug-in's scene fixture, with the queries the pose tests use.

#include <string>

#include <headless/Script.h>

#include "support/PluginSceneTest.h"

class PoseSceneTest : public PluginSceneTest {
  protected:
    // Whether one command succeeds.
    static bool succeeds(const std::string& command) { return headless::execute(command).ok; }

    // Runs commands that must succeed, then reads one plug.
    static void expectAfter(const std::string& script, const std::string& plug, double expected) {
        run(script);
        EXPECT_DOUBLE_EQ(value(plug), expected) << script;
    }

    static std::size_t itemCount(const std::string& plug) {
        return headless::execute("getAttr " + plug).items.size();
    }

    static bool exists(const std::string& node) {
        return headless::execute("objExists " + node).result == "1";
    }
};
