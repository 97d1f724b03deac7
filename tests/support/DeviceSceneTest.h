#pragma once
// A fixture for the live device node: the plug-in loaded into the headless host, a new scene per
// test, and helpers to run commands, read plugs and step frames until a condition holds.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <headless/MainLoop.h>
#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>
#include <headless/UserEvents.h>

#include "support/PluginSceneTest.h"
#include "support/TemporaryFolder.h"

class DeviceSceneTest : public PluginSceneTest {
  protected:
    static constexpr const char* kStatusEvent = "LMRARltDvceConnStatusChanged";

    void SetUp() override {
        PluginSceneTest::SetUp();
        headless::clearPostedUserEvents();
    }

    static headless::CommandResult command(const std::string& text) {
        return headless::execute(text);
    }

    static std::size_t statusEvents() { return headless::userEventPostCount(kStatusEvent); }

    // Serves refreshes until the condition holds; false when the deadline passes first.
    static bool refreshUntil(const std::function<bool()>& condition,
                             std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!condition()) {
            if (std::chrono::steady_clock::now() >= deadline) return false;
            headless::refresh(std::chrono::milliseconds(100));
        }
        return true;
    }
};
