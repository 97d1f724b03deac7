#include "clip/format/ClipWindow.h"
#include "clip/format/ParseClipFile.h"
#include "device/channels/ChannelOutputRules.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

CaptureRecording takeNumbered(int take) {
    CaptureRecording recording;
    recording.names.scalars() = {"take" + std::to_string(take)};
    recording.names.vectors() = {"gaze"};
    for (int f = 0; f < 3000; ++f) {
        const double values[] = {take + f * 0.001, 1.0, 2.0, 3.0};
        recording.frames.emplace_back(f / 60.0, values, 4);
    }
    return recording;
}

// Saves run on writer threads of their own, several at a time: each must produce its own clip.
TEST(ClipConcurrency, SimultaneousSavesEachWriteTheirOwnClip) {
    constexpr int kSaves = 4;
    std::vector<std::string> files(kSaves);
    std::vector<std::thread> writers;
    for (int take = 0; take < kSaves; ++take) {
        writers.emplace_back([take, &file = files[static_cast<std::size_t>(take)]] {
            const CaptureRecording recording = takeNumbered(take);
            std::ostringstream out;
            writeClipWindow(out, recording, *cutClipWindow(recording, 10.004));
            file = out.str();
        });
    }
    for (auto& writer : writers) writer.join();

    for (int take = 0; take < kSaves; ++take) {
        std::istringstream in(files[static_cast<std::size_t>(take)]);
        ChannelNameLists names;
        ClipFrames frames(matrixChannelOutputs);
        ASSERT_TRUE(parseClipStream(names, frames, in));
        EXPECT_EQ(names.scalars()[0], "take" + std::to_string(take));
        ASSERT_EQ(frames.size(), 602u);  // the start frame, then frames 2399 to 2999
        EXPECT_NEAR(frames.values(frames.size() - 1)[0], take + 2.999, 1e-9);
    }
}

}  // namespace
