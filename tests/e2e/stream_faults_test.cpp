// Damaged streams from the phone: garbage datagrams and malformed messages over Wi-Fi, malformed
// messages, odd chunking, an oversized message and a header that is not a length over USB.
// Frames around the damage still drive the outputs exactly; a stream that cannot be followed
// ends the session; the node then makes a take from a healthy phone in the same session.
// A phone that pauses, falls silent and vanishes shows on the node's health outputs.

#include "E2eTest.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;

class StreamFaultsTest : public E2eTransportTest {
  protected:
    // Connects dev to the phone, captures for a while and reads the outputs and the status.
    void captureFrom(BatchScript& script, const std::string& key, const PhoneSim& phone) const {
        connectAndStart(script, key, phone);
        script.sleep(1.0);
        probeOutputs(script, key + "/first", "dev");
        script.sleep(0.3);
        probeOutputs(script, key + "/second", "dev");
        probeStatus(script, key + "/status", "dev");
        script.section(key + "/stop", "stopMocapSession dev");
    }

    // The phone's frames got through the damage and keep the outputs moving.
    void expectFollowed(const HostBatchRun& run, const std::string& key,
                        const PhoneSim& phone) const {
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
        connectAndStart(script, "badHeader", *badHeader);
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

// Streams like a phone whose app stalls: frames at 60 a second whenever the session streams;
// from one second after the second "start" (a resume) nothing for four seconds, then frames
// again, and two seconds later the phone vanishes. Its own timeline, so that the script's
// probes, timed from the same resume, fall well inside each stretch.
class StallingPhone {
  public:
    static constexpr auto kStreamingAfterResume = 1s;
    static constexpr auto kSilence = 4s;
    static constexpr auto kVanishAfterBack = 2s;

    StallingPhone(PhoneSim& phone, double frameStep)
        : phone_(phone), frameStep_(frameStep), thread_([this] { run(); }) {}
    ~StallingPhone() {
        done_.store(true);
        thread_.join();
    }

  private:
    void run() {
        using Clock = std::chrono::steady_clock;
        std::optional<Clock::time_point> resumed;
        std::uint64_t k = 1;
        for (auto next = Clock::now(); !done_.load(); next += 16ms) {
            std::this_thread::sleep_until(next);  // the phone's own pace
            const auto now = Clock::now();
            if (!resumed && phone_.commandCount("start") >= 2) resumed = now;
            if (resumed) {
                const auto silentFrom = *resumed + kStreamingAfterResume;
                if (now >= silentFrom + kSilence + kVanishAfterBack) {
                    phone_.vanish();
                    return;
                }
                if (now >= silentFrom && now < silentFrom + kSilence) continue;
            }
            phone_.sendFrame(static_cast<double>(k++) * frameStep_);
        }
    }

    PhoneSim& phone_;
    const double frameStep_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

TEST_P(StreamFaultsTest, HealthOutputsShowPausesSilenceAndAVanishedPhone) {
    PhoneSimOptions options = phoneOptions();
    options.rate = 0.0;          // frames come from the stalling phone's thread
    options.malformedEvery = 5;  // and some are dropped
    PhoneSim& phone = addPhone(options);

    BatchScript script = newScript();
    createDevice(script, "dev");
    aimAt(script, "dev", phone, transport());
    const std::string probe =
        "refresh; getAttr dev.framesReceived; getAttr dev.receiveRate; getAttr dev.lastFrameAge; "
        "getAttr dev.lastFrameTime; getAttr dev.droppedMessages; getAttr dev.streaming; "
        "getAttr dev.connectionStatus";
    script.section("idle", probe);
    connect(script, "connect", "dev");
    script.section("start", "startMocapSession dev");
    script.sleep(1.0);
    script.section("first", probe);
    script.sleep(0.5);
    script.section("second", probe);
    script.section("pause", "pauseMocapSession dev; getAttr dev.streaming");
    script.sleep(2.6);  // longer than the silence that warns
    script.section("paused", probe);
    script.section("resume", "startMocapSession dev");
    script.sleep(0.5);
    script.section("resumed", probe);
    script.sleep(3.5);  // the phone has been silent for 3 s
    script.section("silent", probe);
    script.sleep(2.0);  // frames again for 1 s
    script.section("back", probe);
    script.sleep(2.0);  // vanished 1 s ago
    script.section("vanished", probe);
    script.section("stop", "stopMocapSession dev");

    const HostBatchRun run = [&] {
        const StallingPhone stalling(phone, kFrameStep);
        return runHostBatch(script);
    }();
    ASSERT_TRUE(ranCleanly(run));
    ASSERT_TRUE(connected(run.output, "connect"));
    enum { kFrames, kRate, kAge, kTime, kDropped, kStreaming, kStatus, kCount };
    auto health = [&](const std::string& key) {
        std::vector<double> values = run.output.numbers(key);
        values.resize(kCount, -999.0);
        return values;
    };
    const auto idle = health("idle");
    EXPECT_EQ(idle[kFrames], 0);
    EXPECT_EQ(idle[kAge], -1);
    EXPECT_EQ(idle[kStreaming], 0);

    // They rise while streaming.
    const auto first = health("first");
    const auto second = health("second");
    EXPECT_GT(first[kFrames], 0);
    EXPECT_GT(second[kFrames], first[kFrames]);
    EXPECT_GT(second[kTime], first[kTime]);
    EXPECT_GT(second[kRate], 10);
    EXPECT_LE(second[kRate], 70);
    EXPECT_GE(second[kAge], 0);
    EXPECT_LT(second[kAge], 500);
    EXPECT_GT(second[kDropped], 0);
    EXPECT_EQ(second[kStreaming], 1);

    // Paused: not streaming, already when read right after the pause, the status unchanged, and
    // no warning for the quiet.
    EXPECT_EQ(run.output.lastResult("pause"), "0");
    const auto paused = health("paused");
    EXPECT_EQ(paused[kStreaming], 0);
    EXPECT_EQ(paused[kStatus], 2);
    EXPECT_EQ(paused[kRate], 0);
    EXPECT_EQ(health("resumed")[kStreaming], 1);

    // Silent while capturing: one warning naming the transport, one line when frames come back.
    const auto silent = health("silent");
    EXPECT_EQ(silent[kStreaming], 0);
    EXPECT_GT(silent[kAge], 2000);
    EXPECT_EQ(silent[kStatus], 2);
    const std::string warning = usb() ? "// Warning: No frames from the phone for 2 s over USB: "
                                        "check the cable and that the app is streaming. //"
                                      : "// Warning: No frames from the phone for 2 s over Wi-Fi: "
                                        "check that the app is streaming and on the "
                                        "same network. //";
    const std::string back =
        usb() ? "Frames from the phone again over USB." : "Frames from the phone again over Wi-Fi.";
    const std::string& all = run.output.all();
    auto count = [&](const std::string& text) {
        std::size_t n = 0;
        for (auto at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count(warning), 1u) << all;
    EXPECT_EQ(count(back), 1u) << all;
    EXPECT_GT(all.find(warning), all.find(BatchScript::endMarker("resumed")));
    EXPECT_LT(all.find(warning), all.find(back));
    EXPECT_EQ(health("back")[kStreaming], 1);

    // Vanished: not streaming (over USB the session ended with it).
    const auto vanished = health("vanished");
    EXPECT_EQ(vanished[kStreaming], 0);
    EXPECT_EQ(vanished[kStatus], usb() ? 0 : 2);
    EXPECT_EQ(run.output.lastResult("stop"), "1");
}

INSTANTIATE_TEST_SUITE_P(BothTransports, StreamFaultsTest,
                         ::testing::Values(Transport::wifi, Transport::usb), transportName);

}  // namespace
