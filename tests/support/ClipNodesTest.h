#pragma once
// A fixture for the clip nodes: the plug-in loaded into the headless host, a new scene and a
// temporary folder per test, and clip files made by the clip writer.

#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <headless/Plugins.h>
#include <headless/Scene.h>
#include <headless/Script.h>
#include <headless/ScriptOutput.h>

#include "support/ChannelNames.h"
#include "support/PluginSceneTest.h"
#include "support/TemporaryFolder.h"
#include "support/WaitUntil.h"

#include "clip/format/ClipBlocks.h"
#include "clip/format/ClipWriter.h"
#include "transport/cipher/AesCbcCipher.h"
#include "transport/records/CaptureRecords.h"

// getAttr shows angles in the scene's angle unit, degrees unless changed.
constexpr double kDegreesPerRadian = 57.295779513082320876798;

// One frame of a clip to write: its time as stored and its flat values.
struct StoredFrame {
    double time;
    std::vector<double> values;
};

inline void writeClip(const std::string& path, const ChannelNameLists& names,
                      const std::vector<StoredFrame>& frames) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    ClipWriter writer(out, names);
    for (const auto& frame : frames)
        writer.writeFrame(frame.time, frame.values.data(), frame.values.size());
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

class ClipNodesTest : public PluginSceneTest {
  protected:
    static headless::CommandResult execute(const std::string& command) {
        return headless::execute(command);
    }

    static std::string quoted(const std::string& text) { return "\"" + text + "\""; }
};
