// Phones that refuse, stay silent, are not there, reset, vanish or shut down mid-stream, over
// Wi-Fi and over USB. Each failure leaves the node usable: the same node goes on to a healthy
// phone in the same hostbatch session and makes a take there.

#include "E2eTest.h"

namespace {

using namespace std::chrono_literals;

class ConnectionFaultsTest : public E2eTransportTest {
  protected:
    // Connects dev to the phone and reads its outputs while it streams ("first"); the phone is
    // lost during the following wait. Then reads the status and the outputs twice more, and stops.
    void captureUntilLost(BatchScript& script, const std::string& key,
                          const PhoneSim& phone) const {
        connectAndStart(script, key, phone);
        script.sleep(0.8);
        probeOutputs(script, key + "/first", "dev");
        // Long enough for the loss (a reset after 2 s of streaming) to be seen on a loaded machine.
        script.sleep(3.0);
        probeStatus(script, key + "/status", "dev");
        probeOutputs(script, key + "/second", "dev");
        script.sleep(0.3);
        probeOutputs(script, key + "/third", "dev");
        script.section(key + "/stop", "stopMocapSession dev");
    }
};

TEST_P(ConnectionFaultsTest, RefusedConnectionsSayWhyAndLeaveTheNodeUsable) {
    const RefusingPhones phones = addRefusingPhones();

    BatchScript script = newScript();
    createDevice(script, "dev");
    tryEachRefusingPhone(script, phones, "absent", &E2eTest::connect);
    probeStatus(script, "idle", "dev");
    const RoundTrip take{"take", "dev", transport()};
    addRoundTrip(script, take, healthyPhone());

    const HostBatchRun run = runHostBatch(script);
    ASSERT_TRUE(ranCleanly(run));
    EXPECT_TRUE(
        refused(run.output, "silent", "Connection timed out. Check your input parameters."));
    EXPECT_TRUE(refused(run.output, "reject", "Connection failed."));
    EXPECT_TRUE(
        refused(run.output, "wrongScreen", "Connection failed. Please switch to Streaming tab."));
    EXPECT_EQ(run.output.lastResult("absent"), "0");
    EXPECT_TRUE(run.output.shows("absent", "// Error: ")) << run.output.lastResult("absent");
    EXPECT_FALSE(run.output.shows("absent", "Connection established."));
    EXPECT_TRUE(statusIs(run.output, "idle", 0));
    for (const PhoneSim* phone : {&phones.silent, &phones.rejecting, &phones.wrongScreen}) {
        EXPECT_EQ(phone->commandCount("connect"), 1u);
        EXPECT_EQ(phone->commandCount("start"), 0u);
    }
    checkRoundTrip(run.output, take, healthyPhone());
}

TEST_P(ConnectionFaultsTest, PhoneLostMidStreamLeavesTheLastValuesAndTheNodeUsable) {
    PhoneSimOptions resetting = phoneOptions();
    resetting.resetAfter = 120;  // 2 s in: after the first reading, before the status
    PhoneSim& resetPhone = addPhone(resetting);
    PhoneSim& vanishing = addPhone(phoneOptions());
    PhoneSim& shutDown = addPhone(phoneOptions());

    BatchScript script = newScript();
    createDevice(script, "dev");
    captureUntilLost(script, "reset", resetPhone);
    captureUntilLost(script, "vanish", vanishing);
    captureUntilLost(script, "shutDown", shutDown);
    const RoundTrip take{"take", "dev", transport()};
    addRoundTrip(script, take, healthyPhone());

    // These two go away once the script has read the outputs they drove.
    auto running = startHostBatch(script);
    const bool vanished = waitForSection("vanish/first", 60s);
    if (vanished) vanishing.vanish();
    const bool wentDown = waitForSection("shutDown/first", 60s);
    if (wentDown) shutDown.stop();
    const HostBatchRun run = finishHostBatch(running);
    ASSERT_TRUE(ranCleanly(run));
    ASSERT_TRUE(vanished && wentDown);

    for (const char* key : {"reset", "vanish", "shutDown"}) {
        SCOPED_TRACE(key);
        const std::string k = key;
        EXPECT_TRUE(connected(run.output, k + "/connect"));
        EXPECT_EQ(run.output.lastResult(k + "/start"), "1");
        // The outputs followed the phone, then keep the last frame that arrived.
        EXPECT_TRUE(sameProbes(run.output, k + "/second", k + "/third"));
        EXPECT_EQ(run.output.lastResult(k + "/stop"), "1");
    }
    for (const auto& [key, phone] : {std::pair<const char*, PhoneSim*>{"reset", &resetPhone},
                                     {"vanish", &vanishing},
                                     {"shutDown", &shutDown}}) {
        EXPECT_TRUE(probedFromPhone(run.output, std::string(key) + "/first", *phone));
        EXPECT_TRUE(probedFromPhone(run.output, std::string(key) + "/third", *phone));
    }
    // A reset ends the session on both transports, as does a closed USB tunnel. Over Wi-Fi a
    // phone that merely falls silent cannot be told from a pause: the node stays capturing.
    EXPECT_TRUE(statusIs(run.output, "reset/status", 0));
    if (usb()) {
        EXPECT_TRUE(statusIs(run.output, "vanish/status", 0));
        EXPECT_TRUE(statusIs(run.output, "shutDown/status", 0));
    }
    checkRoundTrip(run.output, take, healthyPhone());
}

INSTANTIATE_TEST_SUITE_P(BothTransports, ConnectionFaultsTest,
                         ::testing::Values(Transport::wifi, Transport::usb), transportName);

}  // namespace
