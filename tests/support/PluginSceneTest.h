#pragma once
// A test fixture for tests that drive the plug-in through the headless host: the plug-in is
// loaded once per test program, every test starts and ends in a new scene with an empty script
// output.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include <headless/ApiThreads.h>
#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>
#include <headless/Session.h>

// When every test has run, the host quits as Maya does: kMayaExiting, then the plug-ins unload,
// while the process is whole. No call of Maya's API may have come from another thread.
class HostExitEnvironment : public ::testing::Environment {
  public:
    void TearDown() override {
        headless::endSession();
        EXPECT_EQ(headless::wrongThreadCallCount(), 0u)
            << "Maya's API called from a plug-in thread";
    }
};
inline ::testing::Environment* const hostExitEnvironment =
    ::testing::AddGlobalTestEnvironment(new HostExitEnvironment);

class PluginSceneTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        headless::setEchoScriptOutput(false);
        if (headless::isPluginLoaded("lumoraMocap")) return;
        std::string error;
        ASSERT_TRUE(headless::loadPlugin("lumoraMocap", &error)) << error;
    }

    void SetUp() override {
        headless::newScene();
        headless::clearScriptOutput();
    }
    void TearDown() override {
        headless::newScene();
        EXPECT_EQ(headless::wrongThreadCallCount(), 0u)
            << "Maya's API called from a plug-in thread";
    }

    // Runs commands that must all succeed.
    static void run(const std::string& script) {
        const headless::ScriptResult result = headless::runScript(script, {true, false});
        ASSERT_TRUE(result.ok()) << script << "\n  " << failureOf(result);
    }

    static double value(const std::string& plug) {
        const headless::CommandResult result = headless::execute("getAttr " + plug);
        EXPECT_TRUE(result.ok) << plug << ": " << result.error;
        return result.ok ? std::stod(result.result) : 0.0;
    }

    static bool connected(const std::string& source, const std::string& destination) {
        return headless::execute("isConnected " + source + " " + destination).result == "1";
    }

    // Whether a line of the script output since the test began contains the text.
    static bool shown(const std::string& text) {
        const auto lines = headless::scriptOutputLines();
        return std::any_of(lines.begin(), lines.end(), [&text](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
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
