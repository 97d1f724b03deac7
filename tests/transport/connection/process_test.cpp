// The connection process without a phone: its bounds, refusals and the records it hands out.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "transport/connection/NetworkConnectionClientProcess.h"

namespace {

using Process = NetworkConnectionClientProcess;

TEST(ConnectionProcessTest, RecordingKeepsTheNewest216000Frames) {
    auto process = std::make_unique<Process>();
    for (std::size_t i = 0; i <= kMaxRecordedFrames; ++i) {
        const double value = static_cast<double>(i);
        CaptureFrame frame(value, &value, 1);
        ASSERT_TRUE(process->appendRecordedFrame(frame));
        EXPECT_FALSE(frame.values);  // taken over
    }
    CaptureRecording copy;
    ASSERT_TRUE(process->copyRecording(copy));
    ASSERT_EQ(copy.frames.size(), kMaxRecordedFrames);
    EXPECT_EQ(copy.frames.front().timestamp, 1.0);
    EXPECT_EQ(copy.frames.back().values[0], static_cast<double>(kMaxRecordedFrames));

    // The copy is deep: it outlives the process.
    process.reset();
    EXPECT_EQ(copy.frames[5].values[0], 6.0);
}

TEST(ConnectionProcessTest, LatestFrameCopiesAreCutAtTheStorageSize) {
    auto process = std::make_unique<Process>();
    std::vector<double> source(30000), target(30000, -1.0);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<double>(i);
    EXPECT_EQ(process->storeLatestFrame(source.data(), 8 * 30000), kMaxFrameBytes);
    EXPECT_EQ(process->readLatestFrame(target.data(), 8 * 30000), kMaxFrameBytes);
    EXPECT_EQ(target[kMaxFrameValues - 1], static_cast<double>(kMaxFrameValues - 1));
    EXPECT_EQ(target[kMaxFrameValues], -1.0);
    EXPECT_EQ(process->readLatestFrame(target.data(), 16), 16u);
    EXPECT_EQ(process->storeLatestFrame(nullptr, 16), 0u);
}

TEST(ConnectionProcessTest, ForwardingWithoutAClientIsRefused) {
    auto process = std::make_unique<Process>();
    EXPECT_FALSE(process->isRunning());
    EXPECT_FALSE(process->isWaitingForReply());
    EXPECT_FALSE(process->startCapture(true));
    EXPECT_FALSE(process->pauseCapture());
    EXPECT_FALSE(process->saveCapture("/nonexistent/folder/video.mov", 0, 1));
    EXPECT_FALSE(process->closeConnection());
}

TEST(ConnectionProcessTest, UnresolvablePhoneEndsOpenConnection) {
    auto process = std::make_unique<Process>();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(process->beginConnection(Process::kWifiConnection, "127.0.0.1",
                                          "no-such-service-name", nullptr));
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("resolve"), std::string::npos) << output;
    EXPECT_FALSE(process->isRunning());
    EXPECT_FALSE(process->isWaitingForReply());
    EXPECT_EQ(process->rejectCode(), 0u);
}

}  // namespace
