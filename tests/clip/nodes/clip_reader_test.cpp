// The clip reader node and "loadClipFromFile" inside the headless host.

#include "device/channels/ChannelOutputRules.h"
#include "support/ClipNodesTest.h"

#include <cmath>

#include <sys/stat.h>

namespace {

// A rotation about Z with cos 0.6 and sin 0.8 (exact in eight decimals) and a translation, in the
// row-vector layout of a flat frame.
std::vector<double> matrixValues(double tx, double ty, double tz, bool rotated) {
    const double c = rotated ? 0.6 : 1.0;
    const double s = rotated ? 0.8 : 0.0;
    return {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, tx, ty, tz, 1};
}

std::vector<double> concat(std::vector<double> a, const std::vector<double>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ClipReaderTest : public ClipNodesTest {
  protected:
    void SetUp() override {
        ClipNodesTest::SetUp();
        // Stored at 100 s and 101 s: the reader plays them at clip times 0 and 1.
        writeClip(rampPath, channelNames({"s", "t"}), {{100.0, {0.0, 4.0}}, {101.0, {10.0, 8.0}}});
    }

    static void makeReader(const std::string& name = "reader") {
        run("createNode LMRAClipReader -n " + name + "; connectAttr time1.outTime " + name +
            ".time");
    }

    static std::string load(const std::string& path, const std::string& reader = "reader") {
        const auto result = execute("loadClipFromFile " + reader + " " + quoted(path));
        EXPECT_TRUE(result.ok) << result.error;
        return result.result;
    }

    // A reader "reader" on the time line at 24 frames a second, playing the ramp.
    bool filmReaderWithRamp() const {
        run("currentUnit -time film");
        makeReader();
        return load(rampPath) == "1";
    }

    // The scalar output "s" of the reader at a current time, in frames of the current unit.
    static double sAt(double frame) {
        run("currentTime " + std::to_string(frame));
        return value("reader.s");
    }

    TemporaryFolder folder;
    const std::string rampPath = folder.file("ramp.clip");
};

TEST_F(ClipReaderTest, PlaysBackAtTwentyFourFramesAWithOffsetsInFrames) {
    ASSERT_TRUE(filmReaderWithRamp());
    EXPECT_TRUE(shown("Clipfile loaded."));

    EXPECT_DOUBLE_EQ(sAt(6), 2.5);  // 0.25 s
    EXPECT_DOUBLE_EQ(sAt(12), 5.0);
    EXPECT_DOUBLE_EQ(value("reader.t"), 6.0);
    run("setAttr reader.clipFrameOffset 12");  // half a second ahead
    EXPECT_DOUBLE_EQ(value("reader.s"), 10.0);
    EXPECT_DOUBLE_EQ(sAt(0), 5.0);
    run("setAttr reader.clipFrameOffset -6");
    EXPECT_DOUBLE_EQ(sAt(12), 2.5);
}

TEST_F(ClipReaderTest, PlaysBackAtThirtyFramesWithTheOffsetInThatUnit) {
    run("currentUnit -time ntsc");
    makeReader();
    ASSERT_EQ(load(rampPath), "1");

    EXPECT_NEAR(sAt(3), 1.0, 1e-12);  // 0.1 s
    run("setAttr reader.clipFrameOffset 15");
    EXPECT_NEAR(sAt(0), 5.0, 1e-12);
    run("setAttr reader.clipFrameOffset -30");
    EXPECT_NEAR(sAt(45), 5.0, 1e-12);
    // The same offset read in another unit moves the clip by another time.
    run("currentUnit -time film");
    run("setAttr reader.clipFrameOffset 12");
    EXPECT_NEAR(sAt(0), 5.0, 1e-12);
}

TEST_F(ClipReaderTest, HoldsTheFirstAndLastFramesOutsideTheClip) {
    ASSERT_TRUE(filmReaderWithRamp());
    EXPECT_DOUBLE_EQ(sAt(-48), 0.0);
    EXPECT_DOUBLE_EQ(value("reader.t"), 4.0);
    EXPECT_DOUBLE_EQ(sAt(24), 10.0);
    EXPECT_DOUBLE_EQ(sAt(1000), 10.0);
    EXPECT_DOUBLE_EQ(value("reader.t"), 8.0);

    const std::string single = folder.file("single.clip");
    writeClip(single, channelNames({"s"}), {{7.0, {3.5}}});
    ASSERT_EQ(load(single), "1");
    for (double frame : {-5.0, 0.0, 13.0}) EXPECT_DOUBLE_EQ(sAt(frame), 3.5) << frame;
}

// A load samples the clip at the time the node holds, without waiting for the time to move.
TEST_F(ClipReaderTest, OutputsShowTheClipAtOnceAfterALoad) {
    run("currentUnit -time film; currentTime 12; createNode LMRAClipReader -n reader");
    ASSERT_EQ(load(rampPath), "1");
    EXPECT_DOUBLE_EQ(value("reader.s"), 0.0);  // the unconnected time is 0: the first frame
    EXPECT_DOUBLE_EQ(value("reader.t"), 4.0);
    run("connectAttr time1.outTime reader.time");
    EXPECT_DOUBLE_EQ(value("reader.s"), 5.0);
    EXPECT_DOUBLE_EQ(sAt(13), 10.0 * 13 / 24);
}

TEST_F(ClipReaderTest, BlendsVectorAndMatrixOutputsWithoutMultipliers) {
    const auto names = channelNames({"s"}, {"gaze"}, {"head"});
    const auto first = concat({1.0, 0.0, 2.0, 4.0}, matrixValues(1, 2, 3, false));
    const auto second = concat({3.0, 1.0, 4.0, 8.0}, matrixValues(3, 4, 5, true));
    const std::string path = folder.file("kinds.clip");
    writeClip(path, names, {{0.0, first}, {2.0, second}});

    run("currentUnit -time film");
    makeReader();
    ASSERT_EQ(load(path), "1");
    run("setAttr reader.s_mlt 2; currentTime 12");  // clip time 0.5 s: a quarter of the way
    EXPECT_DOUBLE_EQ(value("reader.s"), 2.0 * 1.5);
    EXPECT_DOUBLE_EQ(value("reader.gazeX"), 0.25);
    EXPECT_DOUBLE_EQ(value("reader.gazeY"), 2.5);
    EXPECT_DOUBLE_EQ(value("reader.gazeZ"), 5.0);

    const auto from = matrixChannelOutputs(first.data() + 4);
    const auto to = matrixChannelOutputs(second.data() + 4);
    const char* outputs[] = {"TranslateX", "TranslateY", "TranslateZ",
                             "RotateX",    "RotateY",    "RotateZ"};
    for (std::size_t i = 0; i < 6; ++i) {
        const double expected = 0.75 * from[i] + 0.25 * to[i];
        // Angles come back through getAttr in the scene's angle unit, degrees by default.
        const double scale = i < 3 ? 1.0 : kDegreesPerRadian;
        EXPECT_NEAR(value(std::string("reader.head") + outputs[i]), expected * scale, 1e-9)
            << outputs[i];
    }
    EXPECT_NEAR(to[5], std::atan2(0.8, 0.6), 1e-12);  // the rotated frame is not a no-op
}

TEST_F(ClipReaderTest, AMultiplierScalesOnlyItsOwnScalarOutput) {
    ASSERT_TRUE(filmReaderWithRamp());
    run("currentTime 12; setAttr reader.s_mlt 0.5");
    EXPECT_DOUBLE_EQ(value("reader.s"), 2.5);
    EXPECT_DOUBLE_EQ(value("reader.t"), 6.0);
    run("setAttr reader.s_mlt 1");
    EXPECT_DOUBLE_EQ(value("reader.s"), 5.0);
}

TEST_F(ClipReaderTest, LoadingTwiceKeepsMultiplierValuesAndConnections) {
    ASSERT_TRUE(filmReaderWithRamp());
    run("createNode transform -n driver; setAttr driver.translateX 3; connectAttr "
        "driver.translateX reader.t_mlt");
    run("setAttr reader.s_mlt 0.25");

    ASSERT_EQ(load(rampPath), "1");
    EXPECT_DOUBLE_EQ(value("reader.s_mlt"), 0.25);
    EXPECT_TRUE(connected("driver.translateX", "reader.t_mlt"));
    EXPECT_DOUBLE_EQ(sAt(12), 0.25 * 5.0);
    EXPECT_DOUBLE_EQ(value("reader.t"), 3.0 * 6.0);
    run("setAttr driver.translateX 1");
    EXPECT_DOUBLE_EQ(value("reader.t"), 6.0);
}

// A second clip with the same channel names keeps the outputs, which must not keep the first
// clip's values until the time moves.
TEST_F(ClipReaderTest, ASecondClipWithTheSameChannelsShowsAtOnce) {
    run("currentUnit -time film; currentTime 12");
    makeReader();
    ASSERT_EQ(load(rampPath), "1");
    EXPECT_DOUBLE_EQ(value("reader.s"), 5.0);
    const std::string steeper = folder.file("steeper.clip");
    writeClip(steeper, channelNames({"s", "t"}), {{0.0, {0.0, 0.0}}, {1.0, {20.0, 2.0}}});
    ASSERT_EQ(load(steeper), "1");
    EXPECT_DOUBLE_EQ(value("reader.s"), 10.0);
    EXPECT_DOUBLE_EQ(value("reader.t"), 1.0);
}

TEST_F(ClipReaderTest, TimedContextsAndParallelEvaluationSampleTheirOwnTime) {
    ASSERT_TRUE(filmReaderWithRamp());
    EXPECT_DOUBLE_EQ(sAt(6), 2.5);
    EXPECT_DOUBLE_EQ(value("-time 18 reader.s"), 7.5);
    EXPECT_DOUBLE_EQ(value("reader.s"), 2.5);  // the normal context is undisturbed

    run("evaluationManager -mode parallel");
    EXPECT_DOUBLE_EQ(sAt(12), 5.0);
    run("setAttr reader.clipFrameOffset 6");
    EXPECT_DOUBLE_EQ(value("reader.s"), 7.5);
    EXPECT_DOUBLE_EQ(sAt(0), 2.5);
    run("evaluationManager -mode off");
}

// In the evaluation manager's parallel mode, readers feeding one node are computed on the
// evaluation threads, together (they are kParallel): under ThreadSanitizer this checks that
// their computes and preEvaluation share nothing unguarded.
TEST_F(ClipReaderTest, ReadersEvaluateInParallel) {
    run("currentUnit -time film; evaluationManager -mode parallel; createNode LMRAPoseApply -n "
        "sum");
    constexpr int kReaders = 4;
    for (int i = 0; i < kReaders; ++i) {
        const std::string reader = "reader" + std::to_string(i);
        makeReader(reader);
        ASSERT_EQ(load(rampPath, reader), "1");
        run("setAttr " + reader + ".clipFrameOffset " + std::to_string(6 * i) + "; connectAttr " +
            reader + ".s sum.values[" + std::to_string(i) + "]");
    }
    for (int frame = 0; frame <= 6; ++frame) {
        run("currentTime " + std::to_string(frame));
        // Reader i plays s = 10 × seconds at frame + 6i, that is (frame + 6i) × 10 / 24.
        EXPECT_NEAR(value("sum.output"), (4 * frame + 36) * 10.0 / 24.0, 1e-9) << "frame " << frame;
    }
    run("evaluationManager -mode off");
}

TEST_F(ClipReaderTest, ATakeBakedOntoARigPlaysTheSameWithoutTheReader) {
    // A take of two seconds at 60 frames a second, played at 30 with the clip 15 frames ahead.
    std::vector<StoredFrame> frames;
    for (int i = 0; i <= 120; ++i) {
        const double t = i / 60.0;
        const std::vector<double> scalars{0.5 + 0.5 * std::sin(3 * t), t * t};
        frames.push_back({50.0 + t, concat(scalars, matrixValues(t, 2 * t, 0, i % 2 == 1))});
    }
    const std::string take = folder.file("take.clip");
    writeClip(take, channelNames({"jawOpen", "smile"}, {}, {"head"}), frames);
    run("currentUnit -time ntsc");
    makeReader();
    ASSERT_EQ(load(take), "1");
    run("setAttr reader.clipFrameOffset 15; createNode transform -n ctl;"
        "connectAttr reader.jawOpen ctl.rotateZ; connectAttr reader.smile ctl.translateX;"
        "connectAttr reader.headRotateZ ctl.rotateY; connectAttr reader.headTranslateY ctl.scaleY");
    EXPECT_EQ(execute("nodeType unitConversion1").result,
              "unitConversion");  // jawOpen: 1.0 is 1 degree

    const std::vector<std::string> plugs{"ctl.rotateZ", "ctl.translateX", "ctl.rotateY",
                                         "ctl.scaleY"};
    const std::vector<std::string> sources{"reader.jawOpen", "reader.smile", "reader.headRotateZ",
                                           "reader.headTranslateY"};
    const int first = -3, last = 40;
    std::vector<std::vector<std::string>> played(plugs.size());
    for (int frame = first; frame <= last; ++frame) {
        for (std::size_t i = 0; i < plugs.size(); ++i) {
            const std::string at = "getAttr -time " + std::to_string(frame) + " ";
            played[i].push_back(execute(at + plugs[i]).result);
            // The rig shows the reader's numbers: a unitless 0.7 turns it by 0.7 degrees.
            EXPECT_NEAR(std::stod(played[i].back()), std::stod(execute(at + sources[i]).result),
                        1e-9)
                << plugs[i] << " at " << frame;
        }
    }
    EXPECT_NE(played[0].front(), played[0].back());
    // Maya evaluates in parallel by default; the bake must see the same values.
    run("currentTime 10; evaluationManager -mode parallel");
    ASSERT_EQ(execute("bakeResults -t \"" + std::to_string(first) + ":" + std::to_string(last) +
                      "\" -sampleBy 1 -simulation true -preserveOutsideKeys true "
                      "-disableImplicitControl true " +
                      "ctl.rotateZ ctl.translateX ctl.rotateY ctl.scaleY")
                  .result,
              "4");

    for (std::size_t i = 0; i < plugs.size(); ++i) {
        const auto times = execute("keyframe -q -tc " + plugs[i]).items;
        const auto values = execute("keyframe -q -vc " + plugs[i]).items;
        ASSERT_EQ(values.size(), played[i].size()) << plugs[i];
        for (int frame = first; frame <= last; ++frame) {
            EXPECT_EQ(times[frame - first], std::to_string(frame)) << plugs[i];
            EXPECT_EQ(values[frame - first], played[i][frame - first])
                << plugs[i] << " at " << frame;
        }
        EXPECT_FALSE(connected(sources[i], plugs[i]));
        EXPECT_FALSE(execute("isConnected -iuc " + sources[i] + " " + plugs[i]).result == "1");
    }
    EXPECT_FALSE(execute("objExists unitConversion1").result == "1");

    run("delete reader; evaluationManager -mode off");
    for (int frame = first; frame <= last; ++frame) {
        run("currentTime " + std::to_string(frame));
        for (std::size_t i = 0; i < plugs.size(); ++i) {
            EXPECT_EQ(execute("getAttr " + plugs[i]).result, played[i][frame - first])
                << plugs[i] << " at " << frame;
        }
    }
}

TEST_F(ClipReaderTest, LoadClipFromFileTakesExactlyAReaderAndAPath) {
    makeReader();
    run("createNode transform -n xform; createNode LMRAPose -n pose");
    for (const std::string& command : std::vector<std::string>{
             "loadClipFromFile reader", "loadClipFromFile",
             "loadClipFromFile reader " + rampPath + " -extra",
             "loadClipFromFile nosuchnode " + rampPath, "loadClipFromFile xform " + rampPath,
             "loadClipFromFile time1 " + rampPath, "loadClipFromFile pose " + rampPath}) {
        const auto result = execute(command);
        EXPECT_FALSE(result.ok) << command;
        EXPECT_TRUE(result.result.empty()) << command;
    }
    EXPECT_FALSE(shown("Clipfile loaded."));
    EXPECT_FALSE(shown("Error during file loading."));
    EXPECT_EQ(execute("listAttr -userDefined reader").items.size(), 0u);
}

TEST_F(ClipReaderTest, AMissingOrBrokenFileFailsWithTheFormatMessageOnly) {
    makeReader();
    EXPECT_EQ(load(folder.file("missing.clip")), "0");
    EXPECT_TRUE(shown("Error during file loading."));

    headless::clearScriptOutput();
    const std::string headerOnly = folder.file("header-only.clip");
    writeClip(headerOnly, channelNames({"s"}), {});
    EXPECT_EQ(load(headerOnly), "0");
    EXPECT_TRUE(shown("Error during file loading."));

    headless::clearScriptOutput();
    const std::string notAClip = folder.file("text.clip");
    std::ofstream(notAClip) << "this is not a clip file at all, just some text";
    EXPECT_EQ(load(notAClip), "0");

    // A value that is not a number is reported like any other damage.
    headless::clearScriptOutput();
    const std::string letters = folder.file("letters.clip");
    writeClipText(letters, "s^#^#^#^0.5^abc^*^@");
    EXPECT_EQ(load(letters), "0");
    EXPECT_TRUE(shown("Error during file loading."))
        << ::testing::PrintToString(headless::scriptOutputLines());
}

// Every failed load keeps its message and says on the next line which file failed and why.
TEST_F(ClipReaderTest, AFailedLoadNamesTheFileAndTheReason) {
    makeReader();
    std::string manyVectors;
    for (int i = 0; i < 100001; ++i) manyVectors += "v^";
    writeClipText(folder.file("cut.clip"), "s^#^#^#^0^1^*^1^2^*^");
    writeClipText(folder.file("letters.clip"), "s^#^#^#^0.5^abc^*^@");
    writeClip(folder.file("no-frames.clip"), channelNames({"s"}), {});
    writeClipText(folder.file("many.clip"), "#^" + manyVectors + "#^#^0^*^@");
    std::ofstream(folder.file("text.clip")) << std::string(200, 'x') << " not a clip file at all";
    ASSERT_EQ(::mkfifo(folder.file("pipe.clip").c_str(), 0600), 0);  // nothing ever writes to it
    const std::pair<const char*, const char*> cases[] = {
        {"missing.clip", "cannot open"},
        {"cut.clip", "cut short"},
        {"letters.clip", "damaged or written with another key"},
        {"text.clip", "damaged or written with another key"},
        {"no-frames.clip", "no frames"},
        {"many.clip", "too many channels"},
        {"pipe.clip", "cannot open the file (it is not a regular file)"},
    };
    for (const auto& [name, why] : cases) {
        headless::clearScriptOutput();
        EXPECT_EQ(load(folder.file(name)), "0") << name;
        const auto lines = headless::scriptOutputLines();
        const auto first =
            std::find(lines.begin(), lines.end(), "// Error: Error during file loading. //");
        ASSERT_NE(first, lines.end()) << name << ": " << ::testing::PrintToString(lines);
        ASSERT_NE(first + 1, lines.end()) << name;
        EXPECT_NE(first[1].find(folder.file(name) + ": " + why), std::string::npos) << first[1];
    }
    headless::clearScriptOutput();
    EXPECT_EQ(load(""), "0");
    EXPECT_TRUE(shown("The clip path is empty: cannot open the file (no path was given)."))
        << ::testing::PrintToString(headless::scriptOutputLines());
    EXPECT_EQ(execute("listAttr -userDefined reader").items.size(), 0u);
}

// Frames whose time is not finite are left out with a warning; the rest of the take plays, and a
// blend towards a value that is not finite holds the nearer finite frame.
TEST_F(ClipReaderTest, TimesAndValuesThatAreNotFinite) {
    run("currentUnit -time film");
    makeReader();
    const std::string path = folder.file("odd.clip");
    writeClipText(path, "s^#^#^#^nan^9^*^10^0^*^inf^8^*^11^inf^*^12^20^*^@");
    ASSERT_EQ(load(path), "1");
    EXPECT_TRUE(shown("Warning") && shown("2 frames"))
        << ::testing::PrintToString(headless::scriptOutputLines());
    EXPECT_DOUBLE_EQ(sAt(6), 0.0);    // 0.25 s, towards the infinite frame: holds 0
    EXPECT_DOUBLE_EQ(sAt(36), 20.0);  // 1.5 s, from the infinite frame: holds 20
    EXPECT_DOUBLE_EQ(sAt(48), 20.0);
}

TEST_F(ClipReaderTest, AFailedLoadKeepsPlayingThePreviousClip) {
    ASSERT_TRUE(filmReaderWithRamp());
    EXPECT_DOUBLE_EQ(sAt(12), 5.0);

    // More channels and a broken second frame: nothing of it may reach the outputs.
    const std::string broken = folder.file("broken.clip");
    writeClip(broken, channelNames({"a", "b", "c"}), {{0.0, {1, 2, 3}}, {1.0, {4, 5, 6, 7}}});
    EXPECT_EQ(load(broken), "0");
    EXPECT_TRUE(shown("Error during file loading."));
    EXPECT_DOUBLE_EQ(sAt(6), 2.5);
    EXPECT_DOUBLE_EQ(value("reader.t"), 5.0);
    EXPECT_EQ(execute("listAttr -userDefined reader").result.find("a_mlt"), std::string::npos);

    // The clip with fewer channels that a good load brings replaces it.
    const std::string fewer = folder.file("fewer.clip");
    writeClip(fewer, channelNames({"s"}), {{0.0, {1.0}}, {1.0, {3.0}}});
    ASSERT_EQ(load(fewer), "1");
    EXPECT_DOUBLE_EQ(sAt(12), 2.0);
}

TEST_F(ClipReaderTest, TheFilePathAttributeLoadsNothing) {
    makeReader();
    run("setAttr -type \"string\" reader.clipFilepath " + quoted(rampPath));
    EXPECT_EQ(execute("listAttr -userDefined reader").items.size(), 0u);
    EXPECT_FALSE(shown("Clipfile loaded."));
}

}  // namespace
