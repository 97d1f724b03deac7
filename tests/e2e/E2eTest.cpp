#include "E2eTest.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "ClipTable.h"

namespace {

using namespace std::chrono_literals;

// Generous: the run may be a sanitizer build on a busy machine. A hang still ends here.
constexpr auto kHostBatchDeadline = 150s;

// Film frames at which a loaded take is played; multiples of 3, so that each falls on a
// multiple of 1/64 s, where the phone's frames lie.
constexpr int kPlayFrames[] = {3, 12, 21, 48};

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const auto& text : texts) all += (all.empty() ? "" : ", ") + text;
    return all;
}

}  // namespace

std::string transportName(const ::testing::TestParamInfo<Transport>& info) {
    return info.param == Transport::usb ? "Usb" : "Wifi";
}

void OutputWatch::append(const char* data, std::size_t size) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        text_.append(data, size);
    }
    grown_.notify_all();
}

bool OutputWatch::waitFor(const std::string& text, std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    return grown_.wait_for(lock, timeout, [&] { return text_.find(text) != std::string::npos; });
}

// --- Phones and runs.

void E2eTest::SetUp() {
    PhoneSimOptions options = phoneOptions();
    options.usbmuxdSocket = file("usbmuxd.sock");
    healthy_ = startPhone(options);
}

void E2eTest::TearDown() {
    if (HasFailure() || std::getenv("LMRA_E2E_SHOW_OUTPUT") != nullptr) {
        std::cout << "---- hostbatch output ----\n"
                  << lastOutput_ << "---- end of hostbatch output ----\n";
        if (healthy_)
            std::cout << "healthy phone: " << joined(healthy_->commandsReceived()) << "\n";
        for (const auto& phone : others_)
            std::cout << "phone: " << joined(phone->commandsReceived()) << "\n";
    }
    others_.clear();
    healthy_.reset();
}

PhoneSimOptions E2eTest::phoneOptions() {
    PhoneSimOptions options;
    options.udpPort = 0;
    options.usbPort = 0;
    options.rate = 60.0;
    options.timestampStep = kFrameStep;
    options.videoBytes = kVideoBytes;
    return options;
}

std::unique_ptr<PhoneSim> E2eTest::startPhone(PhoneSimOptions options) const {
    auto phone = std::make_unique<PhoneSim>(std::move(options));
    phone->start();
    return phone;
}

PhoneSim& E2eTest::addPhone(PhoneSimOptions options) {
    options.usbmuxdSocket.clear();
    others_.push_back(startPhone(std::move(options)));
    return *others_.back();
}

BatchScript E2eTest::newScript() {
    BatchScript script;
    script.section("load", "loadPlugin \"lumoraMocap\"");
    script.add("currentUnit -time film");
    return script;
}

std::future<HostBatchRun> E2eTest::startHostBatch(const BatchScript& script) {
    const std::string scriptPath = file("script.mel");
    std::ofstream(scriptPath, std::ios::binary | std::ios::trunc) << script.text();
    std::map<std::string, std::string> environment{
        {"USBMUXD_SOCKET_ADDRESS", "UNIX:" + healthy_->usbmuxdSocketPath()},
        {"MAYA_PLUG_IN_PATH", LMRA_PLUGIN_DIR},
        {"PYTHONPATH", LMRA_PYTHON_PACKAGES},  // the plug-in's Python texts import lumora
    };
    for (const auto& [name, value] : environment_) environment[name] = value;
    watch_ = std::make_shared<OutputWatch>();
    std::vector<std::string> command{LMRA_HOSTBATCH};
    if (batchMode_) command.push_back("-batch");
    command.push_back(scriptPath);
    return std::async(std::launch::async, [command, environment, watch = watch_] {
        ChildRun child = runChildProcess(
            command, environment, kHostBatchDeadline,
            [&watch](const char* data, std::size_t size) { watch->append(data, size); });
        BatchOutput output(child.output);
        return HostBatchRun{std::move(child), std::move(output)};
    });
}

bool E2eTest::waitForSection(const std::string& key, std::chrono::milliseconds timeout) {
    return watch_ && watch_->waitFor(BatchScript::endMarker(key), timeout);
}

HostBatchRun E2eTest::finishHostBatch(std::future<HostBatchRun>& run) {
    HostBatchRun finished = run.get();
    lastOutput_ = finished.child.output;
    return finished;
}

HostBatchRun E2eTest::runHostBatch(const BatchScript& script) {
    auto run = startHostBatch(script);
    return finishHostBatch(run);
}

// --- Script pieces.

void E2eTest::createDevice(BatchScript& script, const std::string& node) {
    script.add("createNode LMRARealTimeDevice -n " + node);
}

void E2eTest::aimAt(BatchScript& script, const std::string& node, const PhoneSim& phone,
                    Transport transport) {
    script.add("setAttr -type \"string\" " + node + ".ipAddress \"127.0.0.1\"");
    script.add("setAttr " + node + ".wifiPort " + std::to_string(phone.udpPort()));
    script.add("setAttr " + node + ".usbPort " + std::to_string(phone.usbPort()));
    script.add("setAttr " + node + ".connectionType " + (transport == Transport::usb ? "1" : "0"));
}

std::vector<std::string> E2eTest::probedPlugs(const std::string& node) const {
    return {node + "." + channels_.scalars()[0], node + "." + channels_.scalars()[7],
            node + "." + channels_.vectors()[0] + "X",
            node + "." + channels_.matrices()[0] + "TranslateX"};
}

void E2eTest::probeOutputs(BatchScript& script, const std::string& key,
                           const std::string& node) const {
    // hostbatch serves pending refreshes between top-level commands, so separate reads could
    // each see a newer frame and together show values no frame carried. The reads run as one
    // deferred script instead, within which nothing is refreshed: they all show the same frame.
    std::string reads;
    for (const std::string& plug : probedPlugs(node)) reads += "getAttr " + plug + "; ";
    script.section(key, "refresh; evalDeferred " + BatchScript::quoted(reads));
}

void E2eTest::probeStatus(BatchScript& script, const std::string& key, const std::string& node) {
    script.section(key, "refresh; refresh; getAttr " + node + ".connectionStatus");
}

void E2eTest::connect(BatchScript& script, const std::string& key, const std::string& node) {
    script.section(key, "establishConnection " + node);
}

void E2eTest::addRoundTrip(BatchScript& script, const RoundTrip& take,
                           const PhoneSim& phone) const {
    const std::string& node = take.node;
    aimAt(script, node, phone, take.transport);
    script.add("setAttr " + node + ".rv " + (take.video ? "1" : "0"));
    connect(script, take.tag + "/connect", node);
    script.section(take.tag + "/start", "startMocapSession " + node);
    script.sleep(1.2);
    probeOutputs(script, take.tag + "/live1", node);
    script.sleep(0.3);
    probeOutputs(script, take.tag + "/live2", node);
    std::string save = "saveMocapData " + node + " " + BatchScript::quoted(clipPath(take)) + " 1";
    if (take.video) save += " " + BatchScript::quoted(videoPath(take));
    if (take.deleteNodeAfterSave) save += "; delete " + node;
    script.section(take.tag + "/save", save);
    script.sleep(1.5);  // the writer thread and the video download
    if (!take.deleteNodeAfterSave) {
        script.section(take.tag + "/stop", "stopMocapSession " + node);
        probeStatus(script, take.tag + "/stopped", node);
    }
    const std::string reader = take.tag + "Reader";
    script.add("createNode LMRAClipReader -n " + reader + "; connectAttr time1.outTime " + reader +
               ".time");
    script.section(take.tag + "/load",
                   "loadClipFromFile " + reader + " " + BatchScript::quoted(clipPath(take)));
    std::string play;
    for (const int frame : kPlayFrames) {
        play += "currentTime " + std::to_string(frame) + ";";
        for (const std::string& plug : probedPlugs(reader)) {
            if (plug.find(channels_.scalars()[7]) == std::string::npos)
                play += " getAttr " + plug + ";";
        }
    }
    script.section(take.tag + "/play", play);
}

// --- Checks.

::testing::AssertionResult E2eTest::ranCleanly(const HostBatchRun& run) {
    if (!run.child.exitedWith(0)) {
        return ::testing::AssertionFailure() << "hostbatch " << run.child.describe() << "\n"
                                             << run.child.output;
    }
    for (const char* report :
         {"runtime error:", "AddressSanitizer", "LeakSanitizer", "ThreadSanitizer"}) {
        if (run.output.showsAnywhere(report)) {
            return ::testing::AssertionFailure() << "sanitizer report in hostbatch output:\n"
                                                 << run.child.output;
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult E2eTest::connected(const BatchOutput& output, const std::string& key) {
    if (output.lastResult(key) == "1" && output.shows(key, "Connection established.")) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << key << " did not connect: " << joined(output.lines(key));
}

::testing::AssertionResult E2eTest::refused(const BatchOutput& output, const std::string& key,
                                            const std::string& message) {
    if (output.lastResult(key) == "0" && output.shows(key, "// Error: " + message + " //") &&
        !output.shows(key, "Connection established.")) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << key << " expected result 0 and \"" << message
                                         << "\", got: " << joined(output.lines(key));
}

::testing::AssertionResult E2eTest::statusIs(const BatchOutput& output, const std::string& key,
                                             int status) {
    if (output.lastResult(key) == std::to_string(status)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << key << ": status " << output.lastResult(key) << ", expected " << status << "; "
           << joined(output.lines(key));
}

::testing::AssertionResult E2eTest::probedFromPhone(const BatchOutput& output,
                                                    const std::string& key,
                                                    const PhoneSim& phone) const {
    const std::vector<double> values = output.numbers(key);
    if (values.size() != 4) {
        return ::testing::AssertionFailure()
               << key << ": expected 4 outputs, got " << joined(output.lines(key));
    }
    auto near = [](double a, double b) { return std::fabs(a - b) < 1e-9; };
    const std::uint64_t sent = phone.framesSent();
    for (std::uint64_t k = 0; k <= sent; ++k) {
        const double t = static_cast<double>(k) * kFrameStep;
        if (near(values[0], PhoneSim::channelValue(ChannelKind::scalar, 0, 0, t)) &&
            near(values[1], PhoneSim::channelValue(ChannelKind::scalar, 7, 0, t)) &&
            near(values[2], PhoneSim::channelValue(ChannelKind::vector, 0, 0, t)) &&
            near(values[3], PhoneSim::matrixTranslation(0, t)[0])) {
            return ::testing::AssertionSuccess();
        }
    }
    return ::testing::AssertionFailure()
           << key << ": outputs " << joined(output.results(key)) << " match none of the " << sent
           << " frames the phone sent";
}

::testing::AssertionResult E2eTest::sameProbes(const BatchOutput& output, const std::string& first,
                                               const std::string& second) {
    const auto a = output.results(first);
    const auto b = output.results(second);
    if (!a.empty() && a == b) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << first << " (" << joined(a) << ") and " << second << " (" << joined(b) << ") differ";
}

void E2eTest::checkRoundTrip(const BatchOutput& output, const RoundTrip& take,
                             const PhoneSim& phone) const {
    SCOPED_TRACE("take " + take.tag);
    const std::string& tag = take.tag;
    ASSERT_TRUE(connected(output, tag + "/connect"));
    EXPECT_EQ(output.lastResult(tag + "/start"), "1");

    // Frames arrive and move the outputs.
    EXPECT_TRUE(probedFromPhone(output, tag + "/live1", phone));
    EXPECT_TRUE(probedFromPhone(output, tag + "/live2", phone));
    EXPECT_FALSE(sameProbes(output, tag + "/live1", tag + "/live2"));
    for (const double scalar :
         {output.numbers(tag + "/live2")[0], output.numbers(tag + "/live2")[1]}) {
        EXPECT_TRUE(scalar >= 0.0 && scalar <= 1.0) << scalar;
    }

    ASSERT_TRUE(output.hasSection(tag + "/save"));
    EXPECT_FALSE(output.shows(tag + "/save", "// Error")) << joined(output.lines(tag + "/save"));
    if (!take.deleteNodeAfterSave) {
        EXPECT_EQ(output.lastResult(tag + "/stop"), "1");
        EXPECT_TRUE(statusIs(output, tag + "/stopped", 0));
    }

    // The clip holds the last second exactly as the phone sent it, or all that was recorded when
    // that is less (a loaded machine may save before a whole second has arrived): never a lead-in
    // made up from the first frame.
    std::string error;
    const auto table = readClipTable(clipPath(take), error);
    ASSERT_TRUE(table) << error;
    const auto s0 = table->column(channels_.scalars()[0]);
    const auto s7 = table->column(channels_.scalars()[7]);
    const auto gazeX = table->column(channels_.vectors()[0] + "X");
    const auto headX = table->column(channels_.matrices()[0] + "3X");
    ASSERT_TRUE(s0 && s7 && gazeX && headX) << joined(table->columns);
    EXPECT_LE(table->duration(), 1.0 + 1e-9);
    EXPECT_GE(table->duration(), 0.5);
    EXPECT_GE(table->rows.size(), 32u);  // 65 unless the machine dropped datagrams
    for (std::size_t i = 1; i < table->rows.size(); ++i) {
        const auto& row = table->rows[i];
        const double t = row[0];
        EXPECT_NEAR(t / kFrameStep, std::round(t / kFrameStep), 1e-6) << "row " << i;
        EXPECT_NEAR(row[*s0], PhoneSim::channelValue(ChannelKind::scalar, 0, 0, t), 6e-9)
            << "row " << i;
        EXPECT_NEAR(row[*s7], PhoneSim::channelValue(ChannelKind::scalar, 7, 0, t), 6e-9)
            << "row " << i;
        EXPECT_NEAR(row[*gazeX], PhoneSim::channelValue(ChannelKind::vector, 0, 0, t), 6e-9)
            << "row " << i;
        EXPECT_NEAR(row[*headX], PhoneSim::matrixTranslation(0, t)[0], 6e-9) << "row " << i;
    }

    // Loaded into a clip reader, it plays back what it holds.
    EXPECT_EQ(output.lastResult(tag + "/load"), "1");
    EXPECT_TRUE(output.shows(tag + "/load", "Clipfile loaded."))
        << joined(output.lines(tag + "/load"));
    std::vector<double> played = output.numbers(tag + "/play");
    ASSERT_EQ(played.size(), std::size(kPlayFrames) * 4) << joined(output.lines(tag + "/play"));
    for (std::size_t f = 0; f < std::size(kPlayFrames); ++f) {
        const double u = kPlayFrames[f] / 24.0;
        // currentTime echoes the frame first, then the three channels.
        EXPECT_DOUBLE_EQ(played[4 * f], kPlayFrames[f]);
        EXPECT_NEAR(played[4 * f + 1], table->playedAt(u, *s0), 1e-7) << "frame " << kPlayFrames[f];
        EXPECT_NEAR(played[4 * f + 2], table->playedAt(u, *gazeX), 1e-7)
            << "frame " << kPlayFrames[f];
        EXPECT_NEAR(played[4 * f + 3], table->playedAt(u, *headX), 1e-7)
            << "frame " << kPlayFrames[f];
    }

    // The video holds exactly the bytes the phone served (a deleted node may cut it short).
    if (take.video) {
        const std::string video = readWholeFile(videoPath(take));
        if (take.deleteNodeAfterSave) {
            EXPECT_EQ(video, PhoneSim::videoContent(video.size()));
        } else {
            EXPECT_EQ(video.size(), kVideoBytes);
            EXPECT_TRUE(video == PhoneSim::videoContent(kVideoBytes)) << "the video's bytes differ";
        }
    }
}
