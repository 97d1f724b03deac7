#pragma once
// The base of the host tests on the scene: each test starts on a new scene, with the script
// output kept off the console, and leaves a new scene behind.

#include <gtest/gtest.h>

#include <headless/Scene.h>
#include <headless/ScriptOutput.h>

namespace hosttest {

class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::setEchoScriptOutput(false);
        headless::newScene();
    }
    void TearDown() override { headless::newScene(); }
};

}  // namespace hosttest
