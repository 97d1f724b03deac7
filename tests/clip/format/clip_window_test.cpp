#include "support/ClipTestSupport.h"

#include "clip/format/ClipWindow.h"
#include "clip/format/ParseClipFile.h"
#include "device/channels/ChannelOutputRules.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

CaptureRecording recording(const std::vector<double>& times,
                           const std::vector<std::vector<double>>& values) {
    CaptureRecording result;
    result.names.scalars() = {"a"};
    for (std::size_t i = 0; i < times.size(); ++i)
        result.frames.emplace_back(times[i], values[i].data(),
                                   static_cast<std::uint32_t>(values[i].size()));
    return result;
}

CaptureRecording evenRecording() {
    return recording({10.0, 10.5, 11.0, 11.5, 12.0}, {{1}, {2}, {3}, {4}, {5}});
}

TEST(ClipWindow, CutOnARecordedFrameStartsWithItsValues) {
    const auto take = evenRecording();
    const auto window = cutClipWindow(take, 1.0);
    ASSERT_TRUE(window && window->startFrame);
    EXPECT_EQ(window->startTime, 11.0);
    EXPECT_EQ(window->endTime, 12.0);
    EXPECT_EQ(window->startFrame->timestamp, 11.0);
    EXPECT_EQ(window->startFrame->values[0], 3.0);
    EXPECT_EQ(window->firstRecorded, 3u);  // 11.5 and 12.0 follow; 11.0 itself is not written
}

// Nothing was recorded before the first frame: a longer length gives the whole recording as it
// is, and a single frame is a take of that frame.
TEST(ClipWindow, ATakeStartsNoEarlierThanTheFirstRecordedFrame) {
    TemporaryFolder folder;
    const std::string path = folder.file("long.clip");
    const CaptureRecording takes[] = {recording({3.0}, {{7}}), evenRecording()};
    for (const auto& recorded : takes) {
        const auto* take = &recorded;
        const auto window = cutClipWindow(*take, 5.0);
        ASSERT_TRUE(window);
        EXPECT_EQ(window->startTime, take->frames.front().timestamp);
        EXPECT_EQ(window->endTime, take->frames.back().timestamp);
        {
            std::ofstream out(path, std::ios::binary);
            writeClipWindow(out, *take, *window);
        }
        ChannelNameLists names;
        ClipFrames frames(matrixChannelOutputs);
        ASSERT_TRUE(parseClipFile(names, frames, path));
        ASSERT_EQ(frames.size(), take->frames.size());
        for (std::size_t i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(frames.time(i), take->frames[i].timestamp - take->frames[0].timestamp);
            EXPECT_EQ(frames.values(i)[0], take->frames[i].values[0]);
        }
    }
}

// A phone that restarted its clock: the take reaches back no further than the restart, so its
// times run forwards and the phone is asked for a stretch of its new clock. Times that only
// wobble stay in the take.
TEST(ClipWindow, ATakeStartsNoEarlierThanTheClocksLastRestart) {
    const auto restarted =
        recording({10.0, 10.5, 11.0, 0.0, 0.5, 1.0}, {{1}, {2}, {3}, {4}, {5}, {6}});
    for (const double length : {0.75, 5.0}) {
        const auto window = cutClipWindow(restarted, length);
        ASSERT_TRUE(window);
        EXPECT_EQ(window->endTime, 1.0);
        if (length < 1.0) {
            ASSERT_TRUE(window->startFrame);  // cut 0.25, between 0.0 and 0.5
            EXPECT_EQ(window->startTime, 0.25);
            EXPECT_EQ(window->firstRecorded, 4u);
        } else {
            EXPECT_FALSE(window->startFrame);
            EXPECT_EQ(window->startTime, 0.0);
            EXPECT_EQ(window->firstRecorded, 3u);
        }
    }
    const auto wobbling = recording({10.0, 10.2, 10.1, 10.3}, {{1}, {2}, {3}, {4}});
    const auto window = cutClipWindow(wobbling, 5.0);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->startTime, 10.0);
    EXPECT_EQ(window->firstRecorded, 0u);
}

TEST(ClipWindow, CutBetweenFramesBlendsByItsWeight) {
    const auto take = recording({0.0, 0.5, 1.1}, {{10, 0}, {20, 100}, {0, 0}});
    const auto window = cutClipWindow(take, 1.0);  // cut 0.1: w = 0.2
    ASSERT_TRUE(window && window->startFrame);
    EXPECT_DOUBLE_EQ(window->startFrame->values[0], 0.8 * 10 + 0.2 * 20);
    EXPECT_NEAR(window->startFrame->values[1], 20.0, 1e-12);
    EXPECT_EQ(window->firstRecorded, 1u);
}

TEST(ClipWindow, NothingToSave) {
    EXPECT_FALSE(cutClipWindow(CaptureRecording{}, 1.0));
    EXPECT_FALSE(cutClipWindow(evenRecording(), 0.0));
    EXPECT_FALSE(cutClipWindow(evenRecording(), -2.0));
}

TEST(ClipWindow, StartFrameNeverReadsValuesTheNextFrameLacks) {
    const auto take = recording({0.0, 1.0, 2.0}, {{1, 2, 3}, {5}, {6}});
    const auto window = cutClipWindow(take, 1.5);  // cut 0.5 between frames of 3 and 1 values
    ASSERT_TRUE(window && window->startFrame);
    ASSERT_EQ(window->startFrame->valueCount, 3u);
    EXPECT_EQ(window->startFrame->values[0], 3.0);
    EXPECT_EQ(window->startFrame->values[1], 2.0);
    EXPECT_EQ(window->startFrame->values[2], 3.0);
}

TEST(ClipWindow, BadNamesWriteNothing) {
    auto take = evenRecording();
    take.names.scalars() = {"a^"};
    std::ostringstream out;
    EXPECT_THROW(writeClipWindow(out, take, *cutClipWindow(take, 1.0)), ClipWriteError);
    EXPECT_TRUE(out.str().empty());
}

}  // namespace
