#include "clip/nodes/SampleClip.h"
#include "device/channels/ChannelOutputRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

ClipFrame frame(double time, double scalar) {
    ClipFrame result;
    result.time = time;
    result.scalars = {scalar};
    result.matrices = {{scalar, 0, 0, 0, 0, -scalar}};
    result.vectors = {{0, scalar, 0}};
    return result;
}

ClipFrames clip(const std::vector<ClipFrame>& records) {
    ClipFrames frames(matrixChannelOutputs);
    frames.reset(1, 1, 1);
    for (const auto& record : records) frames.append(record);
    return frames;
}

struct Outputs {
    std::vector<double> scalars = std::vector<double>(1, -1.0);
    std::vector<std::array<double, 6>> matrices = std::vector<std::array<double, 6>>(1);
    std::vector<std::array<double, 3>> vectors = std::vector<std::array<double, 3>>(1);
};

Outputs sample(const ClipFrames& frames, double u) {
    Outputs out;
    sampleClip(frames, u, out.scalars, out.matrices, out.vectors);
    return out;
}

double scalarAt(const std::vector<ClipFrame>& records, double u) {
    return sample(clip(records), u).scalars[0];
}

TEST(SampleClip, BlendsBetweenNeighboursAndHoldsOutside) {
    const std::vector<ClipFrame> frames = {frame(0.0, 0.0), frame(1.0, 10.0)};
    EXPECT_DOUBLE_EQ(scalarAt(frames, 0.25), 2.5);
    EXPECT_DOUBLE_EQ(scalarAt(frames, 0.5), 5.0);
    EXPECT_EQ(scalarAt(frames, -3.0), 0.0);
    EXPECT_EQ(scalarAt(frames, 7.0), 10.0);
    const auto out = sample(clip(frames), 0.25);
    EXPECT_DOUBLE_EQ(out.matrices[0][0], 2.5);
    EXPECT_DOUBLE_EQ(out.matrices[0][5], -2.5);
    EXPECT_DOUBLE_EQ(out.vectors[0][1], 2.5);
}

TEST(SampleClip, SingleFrameAndEmptyClip) {
    EXPECT_EQ(scalarAt({frame(0.0, 4.0)}, -1.0), 4.0);
    EXPECT_EQ(scalarAt({frame(0.0, 4.0)}, 100.0), 4.0);
    EXPECT_EQ(scalarAt({}, 1.0), -1.0);  // nothing changes
}

TEST(SampleClip, EqualTimesGiveTheFirstOfThePairThenBlendFromTheSecond) {
    const std::vector<ClipFrame> frames = {frame(0.0, 0.0), frame(1.0, 10.0), frame(1.0, 20.0),
                                           frame(2.0, 30.0)};
    EXPECT_EQ(scalarAt(frames, 1.0), 10.0);
    EXPECT_DOUBLE_EQ(scalarAt(frames, 1.5), 25.0);
}

TEST(SampleClip, NeverYieldsValuesTheFramesDoNotHave) {
    // Value lists longer than the clip's channels get zeros.
    const ClipFrames frames = clip({frame(0.0, 1.0)});
    Outputs out;
    out.scalars.assign(3, 7.0);
    out.vectors.assign(2, {7, 7, 7});
    sampleClip(frames, 0.0, out.scalars, out.matrices, out.vectors);
    EXPECT_EQ(out.scalars, (std::vector<double>{1.0, 0.0, 0.0}));
    EXPECT_EQ(out.vectors[1], (std::array<double, 3>{0, 0, 0}));
    // A record with fewer values than the clip's channels is stored with zeros.
    ClipFrame shortRecord;
    ClipFrames padded = clip({shortRecord});
    EXPECT_EQ(padded.frame(0).scalars, std::vector<double>{0.0});
    EXPECT_EQ(padded.frame(0).matrices[0], (std::array<double, 6>{}));
    EXPECT_EQ(clip({frame(2.0, 3.0)}).frame(0).vectors[0][1], 3.0);
}

TEST(SampleClip, OrderIsTrackedAsFramesArrive) {
    EXPECT_TRUE(clip({}).timesInOrder());
    EXPECT_TRUE(clip({frame(0, 0), frame(0, 0), frame(1, 0)}).timesInOrder());
    EXPECT_FALSE(clip({frame(0, 0), frame(2, 0), frame(1, 0)}).timesInOrder());
    EXPECT_FALSE(clip({frame(0, 0), frame(std::nan(""), 0)}).timesInOrder());
}

// The sampling as defined: scan from the first frame, skipping frames while u is above their time.
double scannedScalar(const std::vector<ClipFrame>& records, double u) {
    std::size_t next = 0;
    while (next < records.size() && u > records[next].time) ++next;
    if (next == records.size()) return records.back().scalars[0];
    const std::size_t previous = next == 0 ? 0 : next - 1;
    const double span = records[next].time - records[previous].time;
    const double weight = span > 0.0 ? (u - records[previous].time) / span : 0.0;
    return (1.0 - weight) * records[previous].scalars[0] + weight * records[next].scalars[0];
}

TEST(SampleClip, SearchAgreesWithTheScanEverywhere) {
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> step(0.0, 0.05);
    std::uniform_int_distribution<int> repeat(0, 4);
    enum class Spacing { steady, bursts, unordered };
    for (const Spacing spacing : {Spacing::steady, Spacing::bursts, Spacing::unordered}) {
        SCOPED_TRACE(static_cast<int>(spacing));
        std::vector<ClipFrame> records;
        double time = 0.0;
        for (int i = 0; i < 2000; ++i) {
            if (spacing == Spacing::steady && repeat(random) != 0) time += step(random);
            // Bursts: long gaps between clusters, far from what the average spacing predicts.
            if (spacing == Spacing::bursts) time += i % 300 == 0 ? 50.0 : step(random) * 0.01;
            if (spacing == Spacing::unordered && repeat(random) != 0) time += step(random) - 0.02;
            records.push_back(frame(time, i));
        }
        const ClipFrames frames = clip(records);
        EXPECT_EQ(frames.timesInOrder(), spacing != Spacing::unordered);

        std::vector<double> times = {-1.0,
                                     0.0,
                                     time,
                                     time + 1,
                                     std::nan(""),
                                     std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity()};
        for (const auto& record : records)
            times.insert(times.end(), {record.time, std::nextafter(record.time, -1e9),
                                       std::nextafter(record.time, 1e9)});
        std::uniform_real_distribution<double> any(-0.1, time + 0.1);
        for (int i = 0; i < 2000; ++i) times.push_back(any(random));
        for (const double u : times) {
            const double expected = scannedScalar(records, u);
            const double sampled = sample(frames, u).scalars[0];
            if (std::isnan(expected)) {
                ASSERT_TRUE(std::isnan(sampled)) << u;
            } else {
                ASSERT_EQ(sampled, expected) << u;
            }
        }
    }
}

// A non-finite value is data: it shows at its own frame, but a blend towards it holds the nearer
// finite frame, and it never leaks into its neighbours.
TEST(SampleClip, ABlendWithANonFiniteValueHoldsTheFiniteFrame) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<ClipFrame> records = {frame(0, 1.0), frame(1, inf), frame(2, 3.0),
                                            frame(3, nan), frame(4, 5.0)};
    for (const double u : {-1.0, 0.0, 0.25, 0.75}) EXPECT_EQ(scalarAt(records, u), 1.0) << u;
    EXPECT_EQ(scalarAt(records, 1.0), inf);
    for (const double u : {1.25, 1.75, 2.0, 2.5}) EXPECT_EQ(scalarAt(records, u), 3.0) << u;
    EXPECT_TRUE(std::isnan(scalarAt(records, 3.0)));
    for (const double u : {3.5, 4.0, 9.0}) EXPECT_EQ(scalarAt(records, u), 5.0) << u;
    const auto out = sample(clip(records), 0.5);
    EXPECT_EQ(out.vectors[0][1], 1.0);
    EXPECT_EQ(out.matrices[0][0], 1.0);
}

}  // namespace
