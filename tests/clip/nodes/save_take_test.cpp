// "saveMocapData" against a live session with phonesim, and the take played back by a clip reader.

#include "PhoneSim.h"
#include "clip/format/ClipFileReader.h"
#include "support/ClipNodesTest.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

// A take as stored: names and frames with their times as written.
struct StoredClip {
    ChannelNameLists names;
    std::vector<StoredFrame> frames;
};

StoredClip readStoredClip(const std::string& path) {
    StoredClip clip;
    ClipFileReader reader(path);
    if (!reader.readNames(clip.names)) return clip;
    StoredFrame frame;
    while (reader.readFrame(frame.time, frame.values) == ClipFileReader::FrameRead::frame)
        clip.frames.push_back(frame);
    return clip;
}

std::vector<double> times(const StoredClip& clip) {
    std::vector<double> result;
    for (const auto& frame : clip.frames) result.push_back(frame.time);
    return result;
}

const ChannelNameLists& takeChannels() {
    static const ChannelNameLists names = channelNames({"jawOpen", "smile"}, {"gaze"}, {"head"});
    return names;
}

// The flat frame phonesim sends at a timestamp.
std::vector<double> phoneValues(double timestamp) {
    return PhoneSim::flatFrame(takeChannels(), timestamp);
}

std::vector<double> blend(const std::vector<double>& from, const std::vector<double>& to,
                          double weight) {
    std::vector<double> result(from.size());
    for (std::size_t i = 0; i < from.size(); ++i)
        result[i] = (1.0 - weight) * from[i] + weight * to[i];
    return result;
}

// Written with eight decimals.
void expectStoredValues(const std::vector<double>& stored, const std::vector<double>& expected,
                        const std::string& what) {
    ASSERT_EQ(stored.size(), expected.size()) << what;
    for (std::size_t i = 0; i < stored.size(); ++i)
        EXPECT_NEAR(stored[i], expected[i], 5.1e-9) << what << " value " << i;
}

class SaveTakeTest : public ClipNodesTest {
  protected:
    void SetUp() override {
        ClipNodesTest::SetUp();
        startPhone(phoneOptions());
    }
    static PhoneSimOptions phoneOptions() {
        PhoneSimOptions options;
        options.udpPort = 0;
        options.usbPort = -1;
        options.rate = 0.0;  // frames only through sendFrame, with the timestamps the test picks
        options.channels = takeChannels();
        options.useDefaultChannels = false;
        options.videoBytes = 200000;
        return options;
    }
    void startPhone(const PhoneSimOptions& options) {
        if (phone) phone->stop();
        phone = std::make_unique<PhoneSim>(options);
        phone->start();
    }
    void TearDown() override {
        ClipNodesTest::TearDown();  // deletes the device node, which ends its session
        phone->stop();
    }

    void connectDevice(bool withVideo = false) {
        run("createNode LMRARealTimeDevice -n dev; setAttr -type \"string\" dev.ipAddress "
            "\"127.0.0.1\"");
        run("setAttr dev.wifiPort " + std::to_string(phone->udpPort()));
        if (withVideo) run("setAttr dev.recordVideo 1");
        run("establishConnection dev; startMocapSession dev");
        ASSERT_TRUE(phone->waitForCommand("start", std::chrono::seconds(5)));
    }

    // Sends the frames, then waits until the node's recording ends with the last of them. Long
    // runs go in batches, each waited for: a burst beyond the socket's receive buffer would be
    // dropped by the system on a loaded machine before the client could read it.
    void record(const std::vector<double>& timestamps) {
        constexpr std::size_t kBatch = 64;
        for (std::size_t first = 0; first < timestamps.size(); first += kBatch) {
            const auto end = timestamps.begin() + static_cast<std::ptrdiff_t>(
                                                      std::min(first + kBatch, timestamps.size()));
            recordBatch(
                std::vector<double>(timestamps.begin() + static_cast<std::ptrdiff_t>(first), end));
            if (::testing::Test::HasFatalFailure()) return;
        }
    }

    void recordBatch(const std::vector<double>& timestamps) {
        for (double t : timestamps) ASSERT_EQ(phone->sendFrame(t), 1u);
        const std::string probe = folder.file("probe.clip");
        std::vector<double> seen;
        const bool arrived = waitUntil([&] {
            std::filesystem::remove(probe);
            if (!execute("saveMocapData dev " + quoted(probe) + " 100000").ok) return false;
            if (!waitUntil([&] { return std::filesystem::exists(probe); },
                           std::chrono::milliseconds(200)))
                return false;
            seen = times(readStoredClip(probe));
            return !seen.empty() && seen.back() == timestamps.back();
        });
        ASSERT_TRUE(arrived) << "the recording never reached " << timestamps.back() << "; it holds "
                             << ::testing::PrintToString(seen);
        std::filesystem::remove(probe);
    }

    // Saves and waits for the writer thread's file.
    StoredClip save(const std::string& path, const std::string& length,
                    const std::string& video = {}) {
        std::filesystem::remove(path);
        std::string command = "saveMocapData dev " + quoted(path) + " " + length;
        if (!video.empty()) command += " " + quoted(video);
        const auto result = execute(command);
        EXPECT_TRUE(result.ok) << command << ": " << result.error;
        EXPECT_TRUE(waitUntil([&] { return std::filesystem::exists(path); })) << path;
        return readStoredClip(path);
    }

    TemporaryFolder folder;
    std::unique_ptr<PhoneSim> phone;
};

const std::vector<double> kFrameTimes = {10.0, 10.5, 11.0, 11.5, 12.0};

TEST_F(SaveTakeTest, ATakeLoadsBackWithItsNamesAndValuesAtTheRecordedTimes) {
    connectDevice();
    record(kFrameTimes);
    const std::string path = folder.file("take.clip");
    const StoredClip stored = save(path, "1");
    EXPECT_EQ(stored.names, takeChannels());
    ASSERT_EQ(times(stored), (std::vector<double>{11.0, 11.5, 12.0}));
    for (const auto& frame : stored.frames)
        expectStoredValues(frame.values, phoneValues(frame.time), "frame");

    run("currentUnit -time film; createNode LMRAClipReader -n reader; connectAttr time1.outTime "
        "reader.time");
    ASSERT_EQ(execute("loadClipFromFile reader " + quoted(path)).result, "1");
    const std::vector<std::pair<int, double>> checks = {{0, 11.0}, {12, 11.5}, {24, 12.0}};
    for (const auto& [frame, timestamp] : checks) {
        run("currentTime " + std::to_string(frame));
        const std::string at = " at " + std::to_string(timestamp);
        EXPECT_NEAR(value("reader.jawOpen"),
                    PhoneSim::channelValue(ChannelKind::scalar, 0, 0, timestamp), 5.1e-9)
            << at;
        EXPECT_NEAR(value("reader.smile"),
                    PhoneSim::channelValue(ChannelKind::scalar, 1, 0, timestamp), 5.1e-9)
            << at;
        EXPECT_NEAR(value("reader.gazeY"),
                    PhoneSim::channelValue(ChannelKind::vector, 0, 1, timestamp), 5.1e-9)
            << at;
        const auto translation = PhoneSim::matrixTranslation(0, timestamp);
        const auto rotation = PhoneSim::matrixRotation(0, timestamp);
        EXPECT_NEAR(value("reader.headTranslateX"), translation[0], 1e-7) << at;
        EXPECT_NEAR(value("reader.headTranslateZ"), translation[2], 1e-7) << at;
        EXPECT_NEAR(value("reader.headRotateY"), rotation[1] * kDegreesPerRadian, 1e-5)
            << at;  // degrees
    }
}

TEST_F(SaveTakeTest, TheWindowStartsWithAFrameBlendedAtTheCut) {
    connectDevice();
    record(kFrameTimes);

    // A cut on a frame: that frame's values, and the frame itself is not written twice.
    auto stored = save(folder.file("on-frame.clip"), "1");
    ASSERT_EQ(times(stored), (std::vector<double>{11.0, 11.5, 12.0}));
    expectStoredValues(stored.frames[0].values, phoneValues(11.0), "start");

    // Between frames: 11.125 lies a quarter of the way from 11.0 to 11.5.
    record({12.125});
    stored = save(folder.file("between.clip"), "1");
    ASSERT_EQ(times(stored), (std::vector<double>{11.125, 11.5, 12.0, 12.125}));
    expectStoredValues(stored.frames[0].values, blend(phoneValues(11.0), phoneValues(11.5), 0.25),
                       "start");
}

// More seconds than were recorded: the take is what was recorded, from its first frame, and the
// phone is asked for the same stretch.
TEST_F(SaveTakeTest, ATakeNeverStartsBeforeTheFirstRecordedFrame) {
    connectDevice(true);
    record(kFrameTimes);
    const auto stored = save(folder.file("longer.clip"), "10", folder.file("longer.mov"));
    EXPECT_EQ(times(stored), kFrameTimes);
    for (const auto& frame : stored.frames)
        expectStoredValues(frame.values, phoneValues(frame.time), "frame");
    ASSERT_TRUE(phone->waitForCommand("saveCapture", std::chrono::seconds(5)));
    EXPECT_EQ(phone->commandsReceived().back(), "saveCapture -timeInverval 10.000000 12.000000");

    EXPECT_TRUE(waitUntil([&] {
        std::error_code error;
        return std::filesystem::file_size(folder.file("longer.mov"), error) == 200000 && !error;
    }));
}

TEST_F(SaveTakeTest, ARecordingOfOneFrameIsATakeOfThatFrame) {
    connectDevice();
    record({20.0});
    const std::string path = folder.file("one.clip");
    const auto stored = save(path, "3");
    EXPECT_EQ(stored.names, takeChannels());
    ASSERT_EQ(times(stored), std::vector<double>{20.0});
    expectStoredValues(stored.frames[0].values, phoneValues(20.0), "the frame");
    run("createNode LMRAClipReader -n reader; connectAttr time1.outTime reader.time");
    EXPECT_EQ(execute("loadClipFromFile reader " + quoted(path)).result, "1");
    run("currentTime 5");
    EXPECT_NEAR(value("reader.jawOpen"), PhoneSim::channelValue(ChannelKind::scalar, 0, 0, 20.0),
                5.1e-9);
}

TEST_F(SaveTakeTest, TheVideoFileHoldsTheBytesThePhoneServed) {
    connectDevice(true);
    record(kFrameTimes);
    const std::string video = folder.file("videos/new/take.mov");
    save(folder.file("clips/take.clip"), "1", video);

    ASSERT_TRUE(phone->waitForCommand("saveCapture", std::chrono::seconds(5)));
    EXPECT_TRUE(waitUntil([&] {
        std::error_code error;
        return std::filesystem::file_size(video, error) == 200000 && !error;
    })) << "video never completed";
    std::ifstream in(video, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(bytes == PhoneSim::videoContent(200000));

    // The range asked for is the saved window.
    std::string request;
    for (const auto& command : phone->commandsReceived())
        if (command.rfind("saveCapture", 0) == 0) request = command;
    std::istringstream words(request);
    std::string name, flag;
    double start = 0.0, end = 0.0;
    words >> name >> flag >> start >> end;
    EXPECT_EQ(flag, "-timeInverval");
    EXPECT_DOUBLE_EQ(start, 11.0);
    EXPECT_DOUBLE_EQ(end, 12.0);
}

TEST_F(SaveTakeTest, OnlyAFourthArgumentThatIsAPathAsksForVideo) {
    connectDevice(true);
    record(kFrameTimes);
    save(folder.file("three.clip"), "1");
    save(folder.file("empty.clip"), "1", "");
    {
        // An empty fourth argument, given explicitly.
        const auto result =
            execute("saveMocapData dev " + quoted(folder.file("empty2.clip")) + " 1 \"\"");
        EXPECT_TRUE(result.ok);
        EXPECT_TRUE(waitUntil([&] { return std::filesystem::exists(folder.file("empty2.clip")); }));
    }
    save(folder.file("video.clip"), "1", folder.file("video.mov"));
    ASSERT_TRUE(phone->waitForCommand("saveCapture", std::chrono::seconds(5)));
    EXPECT_EQ(phone->commandCount("saveCapture"), 1u);
    EXPECT_TRUE(waitUntil([&] { return std::filesystem::exists(folder.file("video.mov")); }));
}

TEST_F(SaveTakeTest, MissingFoldersAreCreatedAndASecondSaveReplacesTheFile) {
    connectDevice();
    record(kFrameTimes);
    const std::string path = folder.file("a/b/c/take.clip");
    EXPECT_EQ(save(path, "1").frames.size(), 3u);
    EXPECT_EQ(save(path, "5").frames.size(), 5u);
    EXPECT_FALSE(shown("Cannot create output directory."));
    // Nothing but the clip is left in its folder.
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.file("a/b/c"))) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

TEST_F(SaveTakeTest, ABareFileNameIsWrittenInTheCurrentFolderWithoutAnError) {
    connectDevice();
    record(kFrameTimes);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    ASSERT_TRUE(execute("saveMocapData dev bare.clip 1").ok);
    const bool written =
        waitUntil([&] { return std::filesystem::exists(folder.file("bare.clip")); });
    std::filesystem::current_path(previous);
    EXPECT_TRUE(written);
    EXPECT_FALSE(shown("Cannot create output directory."));
    EXPECT_EQ(readStoredClip(folder.file("bare.clip")).frames.size(), 3u);
}

// Paths that cannot be written are refused before anything starts, with the file and the reason.
TEST_F(SaveTakeTest, PathsThatCannotBeWrittenAreRefusedWithTheFileAndTheReason) {
    connectDevice(true);
    record(kFrameTimes);
    std::ofstream(folder.file("plain-file")) << "x";
    std::filesystem::create_directories(folder.file("videos.mov"));
    const std::string good = folder.file("good.clip");
    struct Case {
        std::string clip, video;
        std::vector<std::string> lines;  // a text of each error line shown, in order
    };
    const std::vector<Case> cases = {
        {folder.file("plain-file/sub/take.clip"),
         "",
         {"Cannot create output directory.", folder.file("plain-file/sub")}},
        {good,
         folder.file("plain-file/take.mov"),
         {"Cannot create output directory.", folder.file("plain-file")}},
        {good,
         folder.file("videos.mov"),
         {"Cannot write video file " + folder.file("videos.mov") + ": it is a folder"}},
        // A name longer than any file system takes.
        {folder.file(std::string(251, 'n') + ".clip"),
         "",
         {"Cannot write clip file " + folder.file(std::string(251, 'n') + ".clip") +
          ": its name is longer than the 255"}},
        {good,
         folder.file(std::string(252, 'v') + ".mov"),
         {"Cannot write video file " + folder.file(std::string(252, 'v') + ".mov")}},
        // One path for both, as typed or after normalising.
        {good, good, {"same file"}},
        {good, folder.file("sub/../good.clip"), {"same file"}},
        {folder.file("x/./take.clip"), folder.file("x//take.clip"), {"same file"}},
    };
    for (const auto& c : cases) {
        headless::clearScriptOutput();
        std::string command = "saveMocapData dev " + quoted(c.clip) + " 1";
        if (!c.video.empty()) command += " " + quoted(c.video);
        EXPECT_FALSE(execute(command).ok) << command;
        const auto lines = headless::scriptOutputLines();
        auto from = lines.begin();
        for (const auto& text : c.lines) {
            from = std::find_if(from, lines.end(), [&](const std::string& line) {
                return line.rfind("// Error: ", 0) == 0 && line.find(text) != std::string::npos;
            });
            EXPECT_NE(from, lines.end()) << command << ": no error line with " << text << " in "
                                         << ::testing::PrintToString(lines);
            if (from == lines.end()) break;
            ++from;
        }
    }
    // Nothing was written or asked for; a good save behind them completes.
    save(folder.file("after.clip"), "1");
    EXPECT_FALSE(std::filesystem::exists(good));
    EXPECT_FALSE(std::filesystem::exists(folder.file("x")));
    EXPECT_EQ(phone->commandCount("saveCapture"), 0u);
}

// A save never writes over a file that an earlier save is yet to write: the video it waits for.
// Once the session has ended, a take is still saved, and its video is said to be out of reach.
TEST_F(SaveTakeTest, AFileAnEarlierSaveIsYetToWriteIsRefused) {
    PhoneSimOptions options = phoneOptions();
    options.videoStallAfter = 1000;  // the video stays awaited until the session ends
    startPhone(options);
    connectDevice(true);
    record(kFrameTimes);
    const std::string video = folder.file("first.mov");
    save(folder.file("first.clip"), "1", video);
    ASSERT_TRUE(phone->waitForCommand("saveCapture", std::chrono::seconds(5)));
    headless::clearScriptOutput();
    EXPECT_FALSE(execute("saveMocapData dev " + quoted(video) + " 1").ok);
    EXPECT_TRUE(shown("is the video file an earlier save still waits for"))
        << ::testing::PrintToString(headless::scriptOutputLines());
    // Nor another take's video: two transfers into one file would leave one of them.
    headless::clearScriptOutput();
    EXPECT_FALSE(execute("saveMocapData dev " + quoted(folder.file("second.clip")) + " 1 " +
                         quoted(folder.file("./first.mov")))
                     .ok);
    EXPECT_TRUE(shown(folder.file("./first.mov") +
                      " is the video file an earlier save still waits for; give the video"))
        << ::testing::PrintToString(headless::scriptOutputLines());
    EXPECT_FALSE(std::filesystem::exists(folder.file("second.clip")));
    EXPECT_EQ(phone->commandCount("saveCapture"), 1u);
    run("stopMocapSession dev");
    // The earlier take's video, cut short by the stop: what came of its first 1000 bytes.
    EXPECT_TRUE(waitUntil([&] { return std::filesystem::exists(video); }));
    std::error_code error;
    EXPECT_LE(std::filesystem::file_size(video, error), 1000u);
    headless::clearScriptOutput();
    EXPECT_EQ(save(folder.file("late.clip"), "1", folder.file("late.mov")).frames.size(), 3u);
    EXPECT_TRUE(shown("No video for " + folder.file("late.mov") +
                      ": dev's session with the phone has ended"))
        << ::testing::PrintToString(headless::scriptOutputLines());
}

// The writer thread may not call Maya: its error waits in the plug-in's queue until the main
// thread runs a command or a compute of the plug-in, and is shown then, once.
TEST_F(SaveTakeTest, AWriterErrorIsShownByTheNextCommandOnTheMainThread) {
    connectDevice();
    record(kFrameTimes);
    // Only the writer finds out: the folder exists, but no file can be created in it.
    const std::string path = "/proc/lmra-take.clip";
    ASSERT_TRUE(execute("saveMocapData dev " + quoted(path) + " 1").ok);
    const std::string error = "// Error: Cannot write clip file " + path;
    EXPECT_TRUE(waitUntil([&] {
        execute("pauseMocapSession noSuchNode");  // fails, but shows what is queued first
        return shown(error);
    }));
    execute("pauseMocapSession noSuchNode");
    const auto lines = headless::scriptOutputLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& line) { return line.find(error) == 0; }),
              1);
}

TEST_F(SaveTakeTest, SavesRunningAtOnceToOnePathLeaveOneWholeClip) {
    connectDevice();
    record(kFrameTimes);
    const std::string path = folder.file("shared.clip");
    // A save to a clip that an earlier save is still writing is refused; the others go ahead.
    for (int i = 0; i < 6; ++i) {
        headless::clearScriptOutput();
        const bool ok = execute("saveMocapData dev " + quoted(path) + (i % 2 ? " 1" : " 5")).ok;
        EXPECT_TRUE(ok || shown(path + " is the clip file an earlier save is still writing"))
            << ::testing::PrintToString(headless::scriptOutputLines());
    }
    // The newest save is written: every save accepted before it had ended when it was accepted,
    // so nothing writes the file any more. Each renamed a whole file into place, none left over.
    std::string info;
    ASSERT_TRUE(waitUntil([&] {
        info = execute("mocapTakeInfo " + quoted(path)).result;
        return info.find("state written ") != std::string::npos;
    })) << info;
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
    const auto stored = readStoredClip(path);
    EXPECT_TRUE(stored.frames.size() == 3 || stored.frames.size() == 5) << stored.frames.size();
    EXPECT_EQ(stored.frames.back().time, 12.0);
    // What mocapTakeInfo says of the newest save is what the file holds.
    EXPECT_NE(info.find(" frames " + std::to_string(stored.frames.size()) + " "), std::string::npos)
        << info;
}

TEST_F(SaveTakeTest, DeletingTheDeviceWhileSavingStillWritesTheClip) {
    connectDevice();
    std::vector<double> timestamps;
    for (int i = 0; i < 600; ++i) timestamps.push_back(100.0 + i / 64.0);
    record(timestamps);
    const std::string path = folder.file("orphan.clip");
    run("saveMocapData dev " + quoted(path) + " 100; delete dev");
    ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(path); }));
    const auto stored = readStoredClip(path);
    ASSERT_EQ(stored.frames.size(), 600u);
    EXPECT_EQ(stored.frames.back().time, timestamps.back());
}

// Names that Maya or the clip format cannot take are made valid at connect, so the take is
// written and loads back with the same names as the outputs.
TEST_F(SaveTakeTest, NamesThatNeedChangingStillGiveATake) {
    phone->stop();
    PhoneSimOptions options;
    options.udpPort = 0;
    options.usbPort = -1;
    options.rate = 0.0;
    options.channels = channelNames({"mouth.left", "a^b"}, {"gaze@"}, {"head"});
    options.useDefaultChannels = false;
    phone = std::make_unique<PhoneSim>(options);
    phone->start();
    connectDevice();
    record(kFrameTimes);
    const StoredClip stored = save(folder.file("renamed.clip"), "1");
    EXPECT_EQ(stored.names, channelNames({"mouth_left", "a_b"}, {"gaze_"}, {"head"}));
    EXPECT_EQ(times(stored), (std::vector<double>{11.0, 11.5, 12.0}));
    run("createNode LMRAClipReader -n reader; connectAttr time1.outTime reader.time");
    ASSERT_EQ(execute("loadClipFromFile reader " + quoted(folder.file("renamed.clip"))).result,
              "1");
    EXPECT_NEAR(value("reader.mouth_left"), PhoneSim::channelValue(ChannelKind::scalar, 0, 0, 11.0),
                5.1e-9);
    EXPECT_NEAR(value("reader.gaze_Y"), PhoneSim::channelValue(ChannelKind::vector, 0, 1, 11.0),
                5.1e-9);
}

TEST_F(SaveTakeTest, SaveMocapDataArgumentRules) {
    run("createNode LMRAClipReader -n reader; createNode LMRARealTimeDevice -n idle");
    const std::string path = folder.file("never.clip");
    for (const std::string& command : std::vector<std::string>{
             "saveMocapData", "saveMocapData idle", "saveMocapData idle " + path,
             "saveMocapData nosuchnode " + path + " 1", "saveMocapData reader " + path + " 1",
             "saveMocapData time1 " + path + " 1"}) {
        EXPECT_FALSE(execute(command).ok) << command;
    }
    // A device node is not a clip reader.
    EXPECT_FALSE(execute("loadClipFromFile idle " + path).ok);
}

// Whatever keeps a save from writing anything fails the command with an error that says why.
TEST_F(SaveTakeTest, ASaveThatWouldWriteNothingFailsAndSaysWhy) {
    run("createNode LMRARealTimeDevice -n idle");
    const std::string path = folder.file("never.clip");
    const auto refused = [&](const std::string& command, const std::string& why) {
        headless::clearScriptOutput();
        EXPECT_FALSE(execute(command).ok) << command;
        EXPECT_TRUE(shown("Error") && shown(why))
            << command << ": " << ::testing::PrintToString(headless::scriptOutputLines());
    };
    refused("saveMocapData idle " + path + " 1", "not connected");
    connectDevice();
    refused("saveMocapData dev " + path + " 1", "no frames");
    record(kFrameTimes);
    for (const char* length : {"abc", "0", "-5", "nan", "inf", "1s", ""})
        refused("saveMocapData dev " + path + " \"" + length + "\"", "seconds");
    EXPECT_FALSE(std::filesystem::exists(path));

    // A fractional length is honoured; arguments after the video path are ignored with a warning.
    EXPECT_EQ(times(save(folder.file("half.clip"), "1.5")),
              (std::vector<double>{10.5, 11.0, 11.5, 12.0}));
    headless::clearScriptOutput();
    const std::string extra = folder.file("extra.clip");
    EXPECT_TRUE(execute("saveMocapData dev " + quoted(extra) + " 0.5 \"\" more words").ok);
    ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(extra); }));
    EXPECT_EQ(times(readStoredClip(extra)), (std::vector<double>{11.5, 12.0}));
    EXPECT_TRUE(shown("Warning") && shown("2 extra arguments"))
        << ::testing::PrintToString(headless::scriptOutputLines());
}

}  // namespace
