// The connection process without a phone: its bounds, refusals and the records it hands out,
// and the stream's health that it keeps for the live node.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "support/OutputCapture.h"
#include "transport/connection/NetworkConnectionClientProcess.h"
#include "transport/connection/SilenceWatch.h"
#include "transport/connection/StreamHealth.h"

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
    StdoutCapture capture;
    EXPECT_FALSE(process->beginConnection(Process::kWifiConnection, "127.0.0.1",
                                          "no-such-service-name", nullptr));
    const std::string output = capture.text();
    EXPECT_NE(output.find("resolve"), std::string::npos) << output;
    EXPECT_FALSE(process->isRunning());
    EXPECT_FALSE(process->isWaitingForReply());
    EXPECT_EQ(process->rejectCode(), 0u);
}

TEST(ConnectionProcessTest, HealthComesWithTheNewestFrame) {
    auto process = std::make_unique<Process>();
    double value = 0.0;
    StreamHealth health;
    EXPECT_EQ(process->readNewestFrame(&value, sizeof value, health, StreamClock::now()),
              sizeof value);
    EXPECT_FALSE(health.hasFrame);
    EXPECT_EQ(health.framesReceived, 0u);

    const auto before = StreamClock::now();
    for (int i = 1; i <= 3; ++i) {
        value = 10.0 * i;
        process->storeLatestFrame(&value, sizeof value);
        CaptureFrame frame(0.5 * i, &value, 1);
        process->appendRecordedFrame(frame);
    }
    double newest = 0.0;
    process->readNewestFrame(&newest, sizeof newest, health, StreamClock::now());
    EXPECT_EQ(newest, 30.0);
    EXPECT_TRUE(health.hasFrame);
    EXPECT_EQ(health.framesReceived, 3u);
    EXPECT_EQ(health.newestTimestamp, 1.5);
    EXPECT_GE(health.newestArrival, before);
    EXPECT_EQ(health.receiveRate, 3.0);
    // A second later none of them counts towards the rate.
    EXPECT_EQ(process->health(health.newestArrival + std::chrono::seconds(1)).receiveRate, 0.0);
}

TEST(StreamHealthTest, RateOverTheLastSecond) {
    ArrivalHistory history;
    const StreamClock::time_point start{};
    const auto at = [&](double seconds) {
        return start + std::chrono::duration_cast<StreamClock::duration>(
                           std::chrono::duration<double>(seconds));
    };
    EXPECT_EQ(history.ratePerSecond(at(5.0)), 0.0);
    for (int k = 1; k <= 180; ++k) history.record(at(k / 60.0));  // three seconds at 60 a second
    EXPECT_EQ(history.ratePerSecond(at(3.0)), 60.0);
    EXPECT_EQ(history.ratePerSecond(at(3.5)), 30.0);
    EXPECT_EQ(history.ratePerSecond(at(4.5)), 0.0);

    // Faster than the ring holds in a second: the ring's own span tells the rate.
    history.clear();
    for (std::size_t k = 0; k < 4 * ArrivalHistory::kCapacity; ++k)
        history.record(at(10.0 + k * 1e-4));
    EXPECT_NEAR(history.ratePerSecond(at(10.0 + 4 * ArrivalHistory::kCapacity * 1e-4)), 10000.0,
                1.0);
}

TEST(StreamHealthTest, SilenceIsSaidOnceAndNotWhilePaused) {
    using std::chrono::milliseconds;
    using Change = SilenceWatch::Change;
    const StreamClock::time_point t0{std::chrono::hours(1)};
    SilenceWatch watch;
    // Capturing since t0, no frame yet: the silence counts from the start.
    EXPECT_EQ(watch.update(true, t0, false, {}, t0 + milliseconds(1999)), Change::none);
    EXPECT_EQ(watch.update(true, t0, false, {}, t0 + milliseconds(2000)), Change::fellSilent);
    EXPECT_EQ(watch.update(true, t0, false, {}, t0 + milliseconds(5000)), Change::none);  // once
    const auto frame = t0 + milliseconds(5100);
    EXPECT_EQ(watch.update(true, t0, true, frame, frame), Change::framesBack);
    EXPECT_EQ(watch.update(true, t0, true, frame, frame + milliseconds(10)), Change::none);

    // Paused: never said, however long.
    EXPECT_EQ(watch.update(false, t0, true, frame, frame + milliseconds(60000)), Change::none);
    // Resumed: the silence counts from the resume.
    const auto resumed = frame + milliseconds(60000);
    EXPECT_EQ(watch.update(true, resumed, true, frame, resumed + milliseconds(1500)), Change::none);
    EXPECT_EQ(watch.update(true, resumed, true, frame, resumed + milliseconds(2000)),
              Change::fellSilent);
    // Frames back while paused again are still said; a new connection forgets the warning.
    EXPECT_EQ(watch.update(false, resumed, true, resumed + milliseconds(2500),
                           resumed + milliseconds(2600)),
              Change::framesBack);
    EXPECT_EQ(watch.update(true, resumed, false, {}, resumed + milliseconds(9000)),
              Change::fellSilent);
    watch.reset();
    EXPECT_EQ(watch.update(true, resumed, true, resumed + milliseconds(9500),
                           resumed + milliseconds(9600)),
              Change::none);
}

}  // namespace
