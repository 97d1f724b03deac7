#pragma once
// A fixture for the clip nodes: the plug-in loaded into the headless host, a new scene and a
// temporary folder per test, and clip files made by the clip writer.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "support/PluginSceneTest.h"

#include "transport/records/CaptureRecords.h"
#include "transport/cipher/AesCbcCipher.h"
#include "clip/format/ClipBlocks.h"
#include "clip/format/ClipWriter.h"

// getAttr shows angles in the scene's angle unit, degrees unless changed.
constexpr double kDegreesPerRadian = 57.295779513082320876798;

// A folder unique to the running test, removed with everything in it at the end.
class TestFolder {
public:
    TestFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("lmra_clipnodes_" + std::to_string(::getpid()) + "_" + test->test_suite_name() + "_" +
                 test->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// One frame of a clip to write: its time as stored and its flat values.
struct StoredFrame {
    double time;
    std::vector<double> values;
};

inline void writeClip(const std::string& path, const ChannelNameLists& names,
                      const std::vector<StoredFrame>& frames) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    ClipWriter writer(out, names);
    for (const auto& frame : frames) writer.writeFrame(frame.time, frame.values.data(), frame.values.size());
    writer.finish();
}

// Stores any clip text, "@" included, as the writer's block layer does.
inline void writeClipText(const std::string& path, std::string text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    AesCbcCipher cipher(clipKey());
    while (flushClipBlock(text, out, false, cipher)) {
    }
    while (!text.empty()) flushClipBlock(text, out, true, cipher);
}

inline ChannelNameLists channelNames(std::vector<std::string> scalars, std::vector<std::string> vectors = {},
                                     std::vector<std::string> matrices = {}) {
    ChannelNameLists names;
    names.scalars() = std::move(scalars);
    names.vectors() = std::move(vectors);
    names.matrices() = std::move(matrices);
    return names;
}

// Waits, checking every few milliseconds, until the condition holds or the deadline passes.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class ClipNodesTest : public PluginSceneTest {
protected:
    static headless::CommandResult execute(const std::string& command) { return headless::execute(command); }

    static bool connected(const std::string& source, const std::string& destination) {
        return headless::execute("isConnected " + source + " " + destination).result == "1";
    }

    static std::string quoted(const std::string& text) { return "\"" + text + "\""; }
};
