// The whole road in one hostbatch session, over Wi-Fi and over USB: a take saved (clip and video)
// while its node is deleted at once, then, in the same scene, a new node that connects, captures,
// saves the last second with its video, stops, and plays the take back in a clip reader.

#include "ClipTable.h"
#include "E2eTest.h"

#include <cstdlib>
#include <filesystem>
#include <string>

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

// Each command's status is read right after it in the same script, with no refresh or sleep
// between: as a UI script would, and in a batch session, where no refresh ever comes.
TEST_P(CaptureTest, StatusIsCurrentAfterEachCommand) {
    for (const bool batch : {false, true}) {
        SCOPED_TRACE(batch ? "batch" : "interactive");
        setHostBatchBatchMode(batch);
        BatchScript script = newScript();
        createDevice(script, "dev");
        aimAt(script, "dev", healthyPhone(), transport());
        const std::string read = "; getAttr dev.connectionStatus";
        script.section("connect", "establishConnection dev" + read);
        script.section("start", "startMocapSession dev" + read);
        script.section("stop", "stopMocapSession dev" + read);
        script.add("setAttr dev.rv 1");
        script.section("reconnect", "establishConnection dev" + read);
        script.section("video", "startMocapSession dev" + read);
        script.section("end", "stopMocapSession dev" + read);

        const HostBatchRun run = runHostBatch(script);
        ASSERT_TRUE(ranCleanly(run));
        const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
            {"connect", {"1", "1"}},   {"start", {"1", "2"}}, {"stop", {"1", "0"}},
            {"reconnect", {"1", "1"}}, {"video", {"1", "3"}}, {"end", {"1", "0"}}};
        for (const auto& [key, results] : expected) {
            EXPECT_EQ(run.output.results(key), results) << key;
        }
    }
}

// Maya quitting right after a save: the host posts kMayaExiting when the script ends, and the
// take being written is finished before the process's exit handlers run. LMRA_QUIT_RUNS sets
// how many runs in a row (3 unless set).
using QuitTest = E2eTest;

TEST_F(QuitTest, AScriptEndingRightAfterASaveLeavesTheWholeTake) {
    const char* runsSetting = std::getenv("LMRA_QUIT_RUNS");
    const int runs = runsSetting ? std::atoi(runsSetting) : 3;
    for (int i = 0; i < runs; ++i) {
        SCOPED_TRACE("run " + std::to_string(i + 1) + " of " + std::to_string(runs));
        const std::string folder = file("run" + std::to_string(i));
        const std::string clip = folder + "/take.clip";
        BatchScript script = newScript();
        createDevice(script, "phone");
        aimAt(script, "phone", healthyPhone(), Transport::wifi);
        connect(script, "connect", "phone");
        script.add("startMocapSession phone");
        script.sleep(1.5);
        script.add("saveMocapData phone " + BatchScript::quoted(clip) + " 1");

        const HostBatchRun run = runHostBatch(script);
        ASSERT_TRUE(ranCleanly(run));
        ASSERT_TRUE(connected(run.output, "connect"));
        std::string error;
        const auto table = readClipTable(clip, error);
        ASSERT_TRUE(table) << error;
        EXPECT_GT(table->duration(), 0.5);
        // The clip alone: no temporary file was left behind.
        std::size_t entries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            EXPECT_EQ(entry.path().filename(), "take.clip");
            ++entries;
        }
        EXPECT_EQ(entries, 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(BothTransports, CaptureTest,
                         ::testing::Values(Transport::wifi, Transport::usb), transportName);

}  // namespace
