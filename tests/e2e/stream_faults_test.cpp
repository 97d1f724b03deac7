// Damaged streams from the phone: garbage datagrams and malformed messages over Wi-Fi, malformed
// messages, odd chunking, an oversized message and a header that is not a length over USB.
// Frames around the damage still drive the outputs exactly; a stream that cannot be followed
// ends the session; the node then makes a take from a healthy phone in the same session.

#include "E2eTest.h"

namespace {

class StreamFaultsTest : public E2eTransportTest {
protected:
    // Connects dev to the phone, captures for a while and reads the outputs and the status.
    void captureFrom(BatchScript& script, const std::string& key, const PhoneSim& phone) const {
        aimAt(script, "dev", phone, transport());
        connect(script, key + "/connect", "dev");
        script.section(key + "/start", "startMocapSession dev");
        script.sleep(1.0);
        probeOutputs(script, key + "/first", "dev");
        script.sleep(0.3);
        probeOutputs(script, key + "/second", "dev");
        probeStatus(script, key + "/status", "dev");
        script.section(key + "/stop", "stopMocapSession dev");
    }

    // The phone's frames got through the damage and keep the outputs moving.
    void expectFollowed(const HostBatchRun& run, const std::string& key, const PhoneSim& phone) const {
        SCOPED_TRACE(key);
        EXPECT_TRUE(connected(run.output, key + "/connect"));
        EXPECT_TRUE(probedFromPhone(run.output, key + "/first", phone));
        EXPECT_TRUE(probedFromPhone(run.output, key + "/second", phone));
        EXPECT_FALSE(sameProbes(run.output, key + "/first", key + "/second"));
        EXPECT_TRUE(statusIs(run.output, key + "/status", 2));
        EXPECT_EQ(run.output.lastResult(key + "/stop"), "1");
    }
};

TEST_P(StreamFaultsTest, DamagedMessagesAreSkippedAndBrokenStreamsEndTheSession) {
    std::vector<std::pair<std::string, PhoneSim*>> followed;
    PhoneSimOptions malformed = phoneOptions();
    malformed.malformedEvery = 3;
    followed.emplace_back("malformed", &addPhone(malformed));
    PhoneSim* badHeader = nullptr;
    if (usb()) {
        PhoneSimOptions chunked = phoneOptions();
        chunked.usbChunking.sizes = {1, 7, 3, 190, 5};
        chunked.usbChunking.pause = std::chrono::microseconds(100);
        followed.emplace_back("chunked", &addPhone(chunked));
        PhoneSimOptions oversized = phoneOptions();
        oversized.usbGarbage = UsbGarbage::oversized;
        oversized.usbGarbageAfter = 10;
        followed.emplace_back("oversized", &addPhone(oversized));
        PhoneSimOptions garbled = phoneOptions();
        garbled.usbGarbage = UsbGarbage::badHeader;
        garbled.usbGarbageAfter = 10;
        badHeader = &addPhone(garbled);
    } else {
        PhoneSimOptions garbage = phoneOptions();
        garbage.garbageEvery = 2;
        followed.emplace_back("garbage", &addPhone(garbage));
    }

    BatchScript script = newScript();
    createDevice(script, "dev");
    for (const auto& [key, phone] : followed) captureFrom(script, key, *phone);
    if (badHeader) {
        aimAt(script, "dev", *badHeader, transport());
        connect(script, "badHeader/connect", "dev");
        script.section("badHeader/start", "startMocapSession dev");
        script.sleep(1.5);
        probeStatus(script, "badHeader/status", "dev");
        script.section("badHeader/stop", "stopMocapSession dev");
    }
    const RoundTrip take{"take", "dev", transport()};
    addRoundTrip(script, take, healthyPhone());

    const HostBatchRun run = runHostBatch(script);
    ASSERT_TRUE(ranCleanly(run));
    for (const auto& [key, phone] : followed) expectFollowed(run, key, *phone);
    if (badHeader) {
        EXPECT_TRUE(connected(run.output, "badHeader/connect"));
        EXPECT_TRUE(statusIs(run.output, "badHeader/status", 0));
        EXPECT_TRUE(run.output.showsAnywhere("cannot be followed"));
        EXPECT_TRUE(run.output.showsAnywhere("Dropped a USB message of 2097152 bytes"));
    } else {
        EXPECT_TRUE(run.output.showsAnywhere("Dropped a datagram"));
    }
    checkRoundTrip(run.output, take, healthyPhone());
}

INSTANTIATE_TEST_SUITE_P(BothTransports, StreamFaultsTest, ::testing::Values(Transport::wifi, Transport::usb),
                         transportName);

}  // namespace
