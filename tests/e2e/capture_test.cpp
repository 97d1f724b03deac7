// The whole road in one hostbatch session, over Wi-Fi and over USB: a take saved (clip and video)
// while its node is deleted at once, then, in the same scene, a new node that connects, captures,
// saves the last second with its video, stops, and plays the take back in a clip reader.

#include "E2eTest.h"

namespace {

using CaptureTest = E2eTransportTest;

TEST_P(CaptureTest, TakesFromPhoneToPlayback) {
    BatchScript script = newScript();
    createDevice(script, "doomed");
    const RoundTrip doomed{"doomed", "doomed", transport(), true, true};
    addRoundTrip(script, doomed, healthyPhone());
    script.section("gone", "objExists doomed");
    createDevice(script, "phone");
    const RoundTrip take{"take", "phone", transport()};
    addRoundTrip(script, take, healthyPhone());

    const HostBatchRun run = runHostBatch(script);
    ASSERT_TRUE(ranCleanly(run));
    EXPECT_EQ(run.output.lastResult("load"), "lumoraMocap");
    checkRoundTrip(run.output, doomed, healthyPhone());
    EXPECT_EQ(run.output.lastResult("gone"), "0");
    checkRoundTrip(run.output, take, healthyPhone());
    EXPECT_EQ(healthyPhone().commandCount("start -video"), 2u);
    EXPECT_EQ(healthyPhone().commandCount("saveCapture -timeInverval "), 2u);
}

INSTANTIATE_TEST_SUITE_P(BothTransports, CaptureTest, ::testing::Values(Transport::wifi, Transport::usb),
                         transportName);

}  // namespace
