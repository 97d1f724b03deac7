#pragma once
// A fixture for the pose nodes: the plug-in loaded into the headless host, a new scene per test.

#include <gtest/gtest.h>

#include <string>

#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

class PoseSceneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        headless::setEchoScriptOutput(false);
        if (headless::isPluginLoaded("lumoraMocap")) return;
        std::string error;
        ASSERT_TRUE(headless::loadPlugin("lumoraMocap", &error)) << error;
    }

    void SetUp() override { headless::newScene(); }
    void TearDown() override { headless::newScene(); }

    // Runs commands that must all succeed.
    static void run(const std::string& script) {
        const headless::ScriptResult result = headless::runScript(script, {true, false});
        ASSERT_TRUE(result.ok()) << script << "\n  " << failureOf(result);
    }

    // Whether one command succeeds.
    static bool succeeds(const std::string& command) { return headless::execute(command).ok; }

    static double value(const std::string& plug) {
        const headless::CommandResult result = headless::execute("getAttr " + plug);
        EXPECT_TRUE(result.ok) << plug << ": " << result.error;
        return result.ok ? std::stod(result.result) : 0.0;
    }

    static std::size_t itemCount(const std::string& plug) {
        return headless::execute("getAttr " + plug).items.size();
    }

    static bool connected(const std::string& source, const std::string& destination) {
        return headless::execute("isConnected " + source + " " + destination).result == "1";
    }

    static bool exists(const std::string& node) {
        return headless::execute("objExists " + node).result == "1";
    }

private:
    static std::string failureOf(const headless::ScriptResult& result) {
        if (!result.error.empty()) return result.error;
        for (const auto& command : result.commands) {
            if (!command.ok) return command.command + ": " + command.error;
        }
        return {};
    }
};
