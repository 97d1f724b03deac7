// Sessions end to end on loopback: the connection process with UDPClient, and with
// TCPOverUSBCommunication through the real libusbmuxd and the usbmuxd stand-in, against the phone
// stand-in.

#include <gtest/gtest.h>

#include <boost/asio.hpp>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "PhoneSim.h"
#include "TransportTestSupport.h"
#include "support/RecordedMessages.h"
#include "support/RecordingObserver.h"
#include "transport/connection/NetworkConnectionClientProcess.h"
#include "transport/connection/UDPClient.h"
#include "transport/outcomes/SaveOutcomes.h"
#include "transport/protocol/MocapDataHandler.h"
#include "transport/protocol/PhoneMessageDecryptor.h"
#include "transport/protocol/UsbMessageAssembler.h"

namespace {

using namespace std::chrono_literals;
using Process = NetworkConnectionClientProcess;
constexpr std::uint32_t kWifi = Process::kWifiConnection;
constexpr std::uint32_t kUsb = Process::kUsbConnection;

// libusbmuxd reads the service's address from the environment: set once, before any thread.
class UsbmuxdAddress : public ::testing::Environment {
  public:
    static std::string socketPath() {
        static TemporaryFolder folder;
        return folder.file("usbmuxd.sock");
    }
    void SetUp() override {
        ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + socketPath()).c_str(), 1);
    }
};
const auto* const usbmuxdAddress = ::testing::AddGlobalTestEnvironment(new UsbmuxdAddress);

class SessionTest : public ::testing::TestWithParam<std::uint32_t> {
  protected:
    void SetUp() override { process = newProcess(); }

    std::uint32_t kind() const { return GetParam(); }

    static std::unique_ptr<Process> newProcess() {
        auto made = std::make_unique<Process>();
        UsbTimeouts timeouts;
        timeouts.poll = 100ms;
        timeouts.replySilence = 600ms;
        timeouts.videoSilence = 600ms;
        made->setUsbTimeouts(timeouts);
        return made;
    }

    PhoneSimOptions options() const {
        PhoneSimOptions o;
        o.udpPort = kind() == kWifi ? 0 : -1;
        o.usbPort = kind() == kUsb ? 0 : -1;
        if (kind() == kUsb) o.usbmuxdSocket = UsbmuxdAddress::socketPath();
        o.rate = 0;  // frames only on sendFrame()
        return o;
    }

    // The options, with the phone answering a connection request as answer says.
    PhoneSimOptions answering(PhoneAnswer answer) const {
        PhoneSimOptions o = options();
        o.answer = answer;
        return o;
    }

    void startPhone(PhoneSimOptions o) {
        phone.reset();
        phone = std::make_unique<PhoneSim>(std::move(o));
        phone->start();
    }

    bool connect() {
        const auto port = kind() == kWifi ? phone->udpPort() : phone->usbPort();
        return process->beginConnection(kind(), "127.0.0.1", std::to_string(port), &owner);
    }

    void connectAndAccept() {
        ASSERT_TRUE(connect());
        ASSERT_TRUE(process->waitForReply(5s));
        ASSERT_EQ(process->rejectCode(), 0u);
        ASSERT_TRUE(process->isRunning());
    }

    void startStreaming(bool withVideo) {
        const std::string command = withVideo ? "start -video" : "start";
        const std::size_t before = phone->commandCount(command);
        ASSERT_TRUE(process->startCapture(withVideo));
        ASSERT_TRUE(phone->waitForCommandCount(command, before + 1, 5s));
    }

    // A phone with these options, connected and streaming (with video when asked).
    void startSession(PhoneSimOptions o, bool withVideo) {
        startPhone(std::move(o));
        connectAndAccept();
        startStreaming(withVideo);
    }

    // Sends frames at these times and checks the latest frame after each.
    void expectFramesArrive(std::initializer_list<double> times,
                            const ChannelNameLists& channels = PhoneSim::defaultChannels()) {
        for (double time : times) {
            const auto before = process->framesReceived();
            ASSERT_EQ(phone->sendFrame(time), 1u);
            ASSERT_TRUE(process->waitForFrames(before + 1, 10s));
            std::vector<double> values(channels.flatValueCount());
            process->readLatestFrame(values.data(), values.size() * sizeof(double));
            ASSERT_EQ(values, PhoneSim::flatFrame(channels, time)) << "at time " << time;
        }
    }

    // The port the client announced in its connect command (Wi-Fi).
    unsigned short clientPort() const {
        return static_cast<unsigned short>(std::stoi(phone->commandsReceived().at(0).substr(14)));
    }

    TemporaryFolder folder;
    SessionOwner owner;
    std::unique_ptr<PhoneSim> phone;
    std::unique_ptr<Process> process;
};

TEST_P(SessionTest, StreamsThePhonesValuesPausesAndStops) {
    startPhone(options());
    connectAndAccept();
    const std::string connectCommand = phone->commandsReceived().at(0);
    if (kind() == kWifi) {
        EXPECT_EQ(connectCommand.rfind("connect -port ", 0), 0u);
        EXPECT_NE(connectCommand.find(" -version 2"), std::string::npos);
    } else {
        EXPECT_EQ(connectCommand, "connect -usb -version 2");
    }
    ChannelNameLists channels;
    process->getChannelLayout(channels);
    EXPECT_EQ(channels, PhoneSim::defaultChannels());

    startStreaming(false);
    expectFramesArrive({0.5, 1.25, 7.75});
    CaptureRecording recording;
    process->copyRecording(recording);
    ASSERT_EQ(recording.frames.size(), 3u);
    EXPECT_EQ(recording.names, channels);
    EXPECT_EQ(recording.frames[1].timestamp, 1.25);

    ASSERT_TRUE(process->pauseCapture());
    ASSERT_TRUE(phone->waitForCommand("pause", 5s));
    EXPECT_EQ(phone->sendFrame(9.0), 0u);
    EXPECT_TRUE(process->closeConnection());
    EXPECT_TRUE(phone->waitForCommand("stop", 5s));
    EXPECT_FALSE(process->isRunning());
    EXPECT_EQ(owner.lostCount(), 1);
    // The recording outlives the session; the accepted channels and the client do not.
    process->copyRecording(recording);
    EXPECT_EQ(recording.frames.size(), 3u);
    process->getChannelLayout(channels);
    EXPECT_EQ(channels.flatValueCount(), 0u);
    EXPECT_FALSE(process->startCapture(false));
}

TEST_P(SessionTest, CommandsGivenInQuickSuccessionReachThePhoneInOrder) {
    startPhone(options());
    connectAndAccept();
    ASSERT_TRUE(process->startCapture(false));
    ASSERT_TRUE(process->pauseCapture());
    ASSERT_TRUE(process->startCapture(true));
    ASSERT_TRUE(process->saveCapture(folder.file("quick.mov"), 1, 2));
    ASSERT_TRUE(process->pauseCapture());
    EXPECT_TRUE(process->closeConnection());
    ASSERT_TRUE(phone->waitForCommand("stop", 5s));
    // Over USB, starts and pauses that follow each other within one receive leave only the
    // latest; a save always goes out.
    auto commands = phone->commandsReceived();
    commands.erase(commands.begin());  // connect
    const std::string save = "saveCapture -timeInverval 1.000000 2.000000";
    const std::vector<std::string> usbExpected{"start -video", save, "pause", "stop"};
    const std::vector<std::string> wifiExpected{"start", "pause", "start -video",
                                                save,    "pause", "stop"};
    if (kind() == kWifi) {
        EXPECT_EQ(commands, wifiExpected);
    } else {
        // The loop may take the first start or pause before the next one is given.
        ASSERT_GE(commands.size(), usbExpected.size());
        EXPECT_LE(commands.size(), wifiExpected.size());
        EXPECT_EQ(std::vector<std::string>(commands.end() - 4, commands.end()), usbExpected);
    }
}

TEST_P(SessionTest, APhoneThatNeverAnswersIsNeverTakenForAnAcceptedOne) {
    startPhone(answering(PhoneAnswer::silent));
    ASSERT_TRUE(connect());
    ASSERT_TRUE(process->waitForReply(10s));
    EXPECT_FALSE(process->isRunning());
    EXPECT_EQ(process->rejectCode(), 0u);
}

TEST_P(SessionTest, RefusalsKeepTheirCodes) {
    for (auto [answer, code] :
         {std::pair{PhoneAnswer::reject, 1u}, std::pair{PhoneAnswer::rejectWrongScreen, 2u}}) {
        startPhone(answering(answer));
        process = newProcess();
        ASSERT_TRUE(connect());
        ASSERT_TRUE(process->waitForReply(5s));
        EXPECT_EQ(process->rejectCode(), code);
        // Ends at once, well before the Wi-Fi reply time-out would.
        ASSERT_TRUE(process->waitUntilEnded(900ms));
        EXPECT_EQ(process->rejectCode(), code);
    }
    EXPECT_EQ(owner.lostCount(), 2);
}

TEST_P(SessionTest, ResetEndsTheSessionAndANewOneCanStart) {
    auto o = options();
    o.resetAfter = 2;
    startSession(o, false);
    phone->sendFrame(1.0);
    phone->sendFrame(2.0);
    ASSERT_TRUE(process->waitUntilEnded(5s));
    EXPECT_EQ(process->framesReceived(), 2u);
    EXPECT_EQ(owner.lostCount(), 1);
    if (kind() == kUsb) {
        EXPECT_TRUE(phone->waitForCommand("stop", 5s));
    }

    connectAndAccept();
    CaptureRecording recording;
    process->copyRecording(recording);
    EXPECT_TRUE(recording.frames.empty());
    EXPECT_TRUE(process->closeConnection());
}

TEST_P(SessionTest, SavedVideoHoldsTheExactBytesServed) {
    auto o = options();
    o.videoBytes = 300000;
    startSession(o, false);
    EXPECT_FALSE(process->saveCapture(folder.file("none/video.mov"), 0, 1));  // no video session
    EXPECT_FALSE(std::filesystem::exists(folder.file("none")));

    startStreaming(true);
    const std::string path = folder.file("takes/one/video.mov");
    const std::string clip = folder.file("takes/one/take.clip");
    beginSaveOutcome(clip, path);  // the save waits for its video
    ASSERT_TRUE(process->saveCapture(path, 1.5, 10));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("takes/one")));
    ASSERT_TRUE(phone->waitForCommand("saveCapture -timeInverval 1.500000 10.000000", 5s));
    ASSERT_TRUE(waitUntil(
        [&] { return latestSaveOutcome(clip)->video != SaveOutcome::Video::waiting; }, 10s));
    EXPECT_EQ(latestSaveOutcome(clip)->video, SaveOutcome::Video::received);
    EXPECT_EQ(latestSaveOutcome(clip)->videoBytes, 300000u);
    EXPECT_EQ(fileContent(path), PhoneSim::videoContent(300000));
    expectFramesArrive({4.0});  // the session goes on
    EXPECT_TRUE(process->closeConnection());
}

// A stop right after a save, or while the video arrives, keeps what it can and says so.
TEST_P(SessionTest, AVideoTheStopCutsOffIsReported) {
    auto o = options();
    o.videoStallAfter = 12345;  // the rest never comes
    startPhone(o);
    for (const char* name : {"at-once.mov", "offered.mov"}) {
        process = newProcess();
        UsbTimeouts timeouts;
        timeouts.poll = 100ms;
        timeouts.videoSilence = 10s;  // only the stop ends the stalled transfer
        process->setUsbTimeouts(timeouts);
        connectAndAccept();
        startStreaming(true);
        const std::string path = folder.file(name);
        const std::string clip = path + ".clip";
        beginSaveOutcome(clip, path);
        StdoutCapture output;
        ASSERT_TRUE(process->saveCapture(path, 0, 1));
        if (std::string(name) == "offered.mov") {
            ASSERT_TRUE(phone->waitForCommand("saveCapture", 5s));
        }
        EXPECT_TRUE(process->closeConnection());
        // Whether the offer or the stop came first, the loss is told and what came is kept.
        EXPECT_NE(output.text().find("The video for " + path + " was "), std::string::npos)
            << output.text();
        // and a script waiting for the save learns it, with the same words.
        const auto outcome = latestSaveOutcome(clip);
        EXPECT_TRUE(outcome->video == SaveOutcome::Video::partial ||
                    outcome->video == SaveOutcome::Video::failed);
        EXPECT_EQ(outcome->videoReason.rfind("The video for " + path + " was ", 0), 0u)
            << outcome->videoReason;
        if (std::filesystem::exists(path)) {
            const std::string kept = fileContent(path);
            EXPECT_EQ(kept, PhoneSim::videoContent(kept.size()));
        }
    }
}

// A video the phone offers but cannot deliver is reported with its file and the reason, and the
// video saved there before stays.
TEST_P(SessionTest, AVideoThePhoneCannotDeliverIsReported) {
    unsigned short deadPort = 0;
    {
        boost::asio::io_context io;
        boost::asio::ip::tcp::acceptor probe(io, {boost::asio::ip::make_address("127.0.0.1"), 0});
        deadPort = probe.local_endpoint().port();
    }  // nothing listens there any more
    const std::pair<std::string, std::string> cases[] = {
        {"video -port " + std::to_string(deadPort), "port " + std::to_string(deadPort)},
        {"video -port 70000", "\"video -port 70000\""},
        {"video -port", "\"video -port\""},
        {"video please", "\"video please\""},
    };
    int index = 0;
    for (const auto& [reply, why] : cases) {
        auto o = options();
        o.videoReply = reply;
        process = newProcess();
        startSession(o, true);
        const std::string path = folder.file("video" + std::to_string(index++) + ".mov");
        beginSaveOutcome(path + ".clip", path);
        std::ofstream(path) << "an earlier take's video";
        OutputWatch output;
        ASSERT_TRUE(process->saveCapture(path, 0, 1));
        EXPECT_TRUE(output.waitFor("Cannot fetch the video for " + path, 10s))
            << reply << ": " << output.text();
        EXPECT_EQ(latestSaveOutcome(path + ".clip")->video, SaveOutcome::Video::failed);
        EXPECT_EQ(latestSaveOutcome(path + ".clip")
                      ->videoReason.rfind("Cannot fetch the video for " + path, 0),
                  0u);
        EXPECT_NE(output.text().find(why), std::string::npos) << reply << ": " << output.text();
        EXPECT_EQ(output.text().find(" was not received"), std::string::npos) << output.text();
        EXPECT_TRUE(process->closeConnection());
        EXPECT_EQ(fileContent(path), "an earlier take's video") << reply;
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++files;
    EXPECT_EQ(files, std::size(cases));  // no temporary file left behind
}

// Every video asked for comes to an end that a waiting script sees: one whose request does not
// fit a command (over USB), or that a stop right after the request overtakes.
TEST_P(SessionTest, EveryVideoAskedForComesToAnEnd) {
    startSession(options(), true);
    const std::string huge = folder.file("huge.mov");
    const std::string last = folder.file("last.mov");
    beginSaveOutcome(huge + ".clip", huge);
    ASSERT_TRUE(process->saveCapture(huge, 1e300, 2e300));
    beginSaveOutcome(last + ".clip", last);
    ASSERT_TRUE(process->saveCapture(last, 0, 1));
    EXPECT_TRUE(process->closeConnection());
    for (const std::string& path : {huge, last})
        EXPECT_NE(latestSaveOutcome(path + ".clip")->video, SaveOutcome::Video::waiting) << path;
}

// Video requests are answered in order, each into its own file, while the frames go on.
TEST_P(SessionTest, VideoRequestsAreServedInOrder) {
    auto o = options();
    o.videoBytes = 3000;
    startSession(o, true);
    ASSERT_TRUE(process->saveCapture(folder.file("first.mov"), 0, 1));
    ASSERT_TRUE(process->saveCapture(folder.file("second.mov"), 1, 2));
    ASSERT_TRUE(phone->waitForCommandCount("saveCapture", 2, 5s));
    for (const char* name : {"first.mov", "second.mov"}) {
        EXPECT_TRUE(waitUntil([&] { return fileHasSize(folder.file(name), 3000); }, 10s)) << name;
        EXPECT_EQ(fileContent(folder.file(name)), PhoneSim::videoContent(3000)) << name;
    }
    expectFramesArrive({3.0});
    EXPECT_TRUE(process->closeConnection());
}

TEST_P(SessionTest, VanishingPhone) {
    startSession(options(), false);
    expectFramesArrive({1.0});
    StdoutCapture output;
    phone->vanish();
    if (kind() == kWifi) {
        EXPECT_TRUE(process->isRunning());  // UDP cannot tell; closing still works
        EXPECT_TRUE(process->closeConnection());
    } else {
        ASSERT_TRUE(process->waitUntilEnded(5s));
        EXPECT_NE(output.text().find("closed the USB connection"), std::string::npos);
    }
    EXPECT_EQ(owner.lostCount(), 1);
}

TEST_P(SessionTest, DestroyingARunningProcessEndsItsSession) {
    startSession(options(), false);
    process.reset();
    EXPECT_TRUE(phone->waitForCommand("stop", 5s));
    EXPECT_EQ(owner.lostCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Transports, SessionTest, ::testing::Values(kWifi, kUsb),
                         [](const auto& info) { return info.param == kWifi ? "Wifi" : "Usb"; });

class WifiSessionTest : public SessionTest {};
INSTANTIATE_TEST_SUITE_P(Wifi, WifiSessionTest, ::testing::Values(kWifi));

TEST_P(WifiSessionTest, SilentPhoneEndsAfterAboutOneSecond) {
    startPhone(answering(PhoneAnswer::silent));
    const auto begun = std::chrono::steady_clock::now();
    ASSERT_TRUE(connect());
    EXPECT_FALSE(process->startCapture(false));  // still waiting for the reply
    ASSERT_TRUE(process->waitUntilEnded(5s));
    const auto elapsed = std::chrono::steady_clock::now() - begun;
    EXPECT_GE(elapsed, 950ms);
    EXPECT_LT(elapsed, 3s);
    EXPECT_EQ(process->rejectCode(), 0u);
    EXPECT_TRUE(owner.waitForLost(1, 5s));
}

// A stream still arriving at the client's port from an earlier session is no answer to connect.
TEST_P(WifiSessionTest, AStrayDataMessageIsNotTakenForTheChannelList) {
    startPhone(answering(PhoneAnswer::silent));
    StdoutCapture output;
    ASSERT_TRUE(connect());
    ASSERT_TRUE(phone->waitForCommand("connect -port ", 5s));
    const std::string connectCommand = phone->commandsReceived().at(0);
    const auto clientPort = static_cast<unsigned short>(std::stoi(connectCommand.substr(14)));

    boost::asio::io_context io;
    boost::asio::ip::udp::socket stray(
        io, boost::asio::ip::udp::endpoint(boost::asio::ip::udp::v4(), 0));
    const boost::asio::ip::udp::endpoint client(boost::asio::ip::make_address("127.0.0.1"),
                                                clientPort);
    const auto channels = PhoneSim::defaultChannels();
    stray.send_to(
        boost::asio::buffer(PhoneSim::encryptMessage(PhoneSim::dataMessageText(channels, 3.0))),
        client);
    stray.send_to(
        boost::asio::buffer(PhoneSim::encryptMessage(PhoneSim::channelListText(channels))), client);

    ASSERT_TRUE(process->waitForReply(5s));
    EXPECT_EQ(process->rejectCode(), 0u);
    ChannelNameLists accepted;
    process->getChannelLayout(accepted);
    EXPECT_EQ(accepted, channels);
    EXPECT_NE(output.text().find("Dropped a data message"), std::string::npos) << output.text();
    EXPECT_TRUE(process->closeConnection());
}

TEST_P(WifiSessionTest, BadDatagramsAndMalformedMessagesAreDropped) {
    auto o = options();
    o.garbageEvery = 1;    // three undecodable datagrams before every message
    o.malformedEvery = 2;  // every second message stops at a bad line
    startSession(o, false);
    StdoutCapture output;
    for (int i = 1; i <= 5; ++i) phone->sendFrame(i);
    ASSERT_TRUE(process->waitForFrames(3, 5s));
    ASSERT_TRUE(process->closeConnection());
    EXPECT_NE(output.text().find("Dropped a datagram of 0 bytes"), std::string::npos);
    EXPECT_NE(output.text().find("15 undecryptable"), std::string::npos) << output.text();
    EXPECT_NE(output.text().find("malformed;oops"), std::string::npos);
    CaptureRecording recording;
    process->copyRecording(recording);
    ASSERT_EQ(recording.frames.size(), 3u);
    EXPECT_EQ(recording.frames[2].timestamp, 5.0);
}

// The client alone, reaching the phone by host name: "video -cancel" forgets the path, and the
// next offer writes only to the next save's path.
TEST_P(WifiSessionTest, VideoCancelThenOfferByHostName) {
    auto o = options();
    o.videoBytes = 5000;
    startPhone(o);
    auto frames = newProcess();  // only collects what the handler delivers
    StdoutCapture output;
    const RecordedMessages messages;
    UDPClient client("localhost", std::to_string(phone->udpPort()),
                     std::make_unique<MocapDataHandler>(frames.get()));
    std::thread session([&] { client.run(); });
    ASSERT_TRUE(phone->waitForCommand("connect", 5s));
    client.start(false);
    client.saveCapture(folder.file("cancelled.mov"), 0, 1);  // answered "video -cancel"
    ASSERT_TRUE(phone->waitForCommand("saveCapture", 5s));
    // A frame sent after the answer arrives after it: the cancel has been handled.
    phone->sendFrame(1.0);
    ASSERT_TRUE(frames->waitForFrames(1, 5s));
    client.start(true);
    client.saveCapture(folder.file("kept.mov"), 2, 3);
    ASSERT_TRUE(phone->waitForCommandCount("saveCapture", 2, 5s));
    ASSERT_TRUE(waitUntil([&] { return fileHasSize(folder.file("kept.mov"), 5000); }, 10s));
    client.stop();
    session.join();
    EXPECT_EQ(fileContent(folder.file("kept.mov")), PhoneSim::videoContent(5000));
    EXPECT_FALSE(std::filesystem::exists(folder.file("cancelled.mov")));
    // The phone's legitimate "no video" is said as such, as information.
    EXPECT_NE(output.text().find("No video for " + folder.file("cancelled.mov")), std::string::npos)
        << output.text();
    const auto posted = messages.messages();
    const auto cancel = std::find_if(posted.begin(), posted.end(), [](const auto& message) {
        return message.second.rfind("No video for ", 0) == 0;
    });
    ASSERT_NE(cancel, posted.end());
    EXPECT_EQ(cancel->first, MessageKind::info);
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// Only the phone's address feeds the session, and after its answer only the port the answer
// came from: other senders' frames and "/reset" change nothing. A stray port of the phone's
// address is named once, with both ports.
TEST_P(WifiSessionTest, DatagramsFromOtherSendersAreDropped) {
    startSession(options(), false);
    StdoutCapture output;
    namespace ip = boost::asio::ip;
    boost::asio::io_context io;
    ip::udp::socket otherHost(io, ip::udp::endpoint(ip::make_address("127.0.0.2"), 0));
    ip::udp::socket otherPort(io, ip::udp::endpoint(ip::make_address("127.0.0.1"), 0));
    const ip::udp::endpoint client(ip::make_address("127.0.0.1"), clientPort());
    const auto channels = PhoneSim::defaultChannels();
    for (auto* sender : {&otherHost, &otherPort}) {
        for (int i = 0; i < 3; ++i) {
            sender->send_to(boost::asio::buffer(PhoneSim::encryptMessage(
                                PhoneSim::dataMessageText(channels, 100 + i))),
                            client);
        }
        sender->send_to(boost::asio::buffer(PhoneSim::encryptMessage("/reset")), client);
    }
    expectFramesArrive({1.0});
    EXPECT_TRUE(process->isRunning());
    CaptureRecording recording;
    process->copyRecording(recording);
    ASSERT_EQ(recording.frames.size(), 1u);
    EXPECT_EQ(recording.frames[0].timestamp, 1.0);
    ASSERT_TRUE(process->closeConnection());
    const std::string& text = output.text();
    const std::string strayPort = std::to_string(otherPort.local_endpoint().port());
    EXPECT_EQ(occurrences(text, strayPort), 1u) << text;
    EXPECT_NE(text.find(std::to_string(phone->udpPort())), std::string::npos) << text;
}

// Datagrams are taken whole up to the UDP limit: a list of 1000 names and frames of 1000 values.
TEST_P(WifiSessionTest, LargeDatagramsArriveWhole) {
    auto o = options();
    o.useDefaultChannels = false;
    for (int i = 0; i < 1000; ++i)
        o.channels.scalars().push_back("channelNumber" + std::to_string(i));
    o.channels.vectors() = {"gaze"};
    startPhone(o);
    connectAndAccept();
    ChannelNameLists accepted;
    process->getChannelLayout(accepted);
    EXPECT_EQ(accepted, o.channels);
    startStreaming(false);
    expectFramesArrive({1.0, 2.0}, o.channels);
    EXPECT_TRUE(process->closeConnection());
}

// One line per kind of drop, however many, and the counts when the session ends.
TEST_P(WifiSessionTest, EachKindOfDropIsSaidOnceAndCountedAtTheEnd) {
    auto o = options();
    o.garbageEvery = 1;    // three undecryptable datagrams before every message
    o.malformedEvery = 2;  // every second message has a bad value
    startSession(o, false);
    StdoutCapture output;
    namespace ip = boost::asio::ip;
    boost::asio::io_context io;
    ip::udp::socket otherHost(io, ip::udp::endpoint(ip::make_address("127.0.0.2"), 0));
    const ip::udp::endpoint client(ip::make_address("127.0.0.1"), clientPort());
    const auto forged =
        PhoneSim::encryptMessage(PhoneSim::dataMessageText(PhoneSim::defaultChannels(), 7));
    for (int i = 1; i <= 40; ++i) {
        if (i <= 20) otherHost.send_to(boost::asio::buffer(forged), client);
        phone->sendFrame(i);
        ASSERT_TRUE(process->waitForFrames((i + 1) / 2, 10s));
    }
    // The last bad message follows the last frame: a frame after it shows it was handled.
    phone->sendFrame(41);
    ASSERT_TRUE(process->waitForFrames(21, 10s));
    ASSERT_TRUE(process->closeConnection());
    const std::string& text = output.text();
    EXPECT_EQ(occurrences(text, "Dropped"), 4u) << text;  // three kinds and the counts
    EXPECT_NE(text.find("123 undecryptable"), std::string::npos) << text;
    EXPECT_NE(text.find("20 with a bad value"), std::string::npos) << text;
    EXPECT_NE(text.find("20 from another sender"), std::string::npos) << text;
}

class UsbSessionTest : public SessionTest {};
INSTANTIATE_TEST_SUITE_P(Usb, UsbSessionTest, ::testing::Values(kUsb));

// A video downloads beside the stream: frames keep arriving while it lasts.
TEST_P(UsbSessionTest, FramesKeepFlowingWhileAVideoDownloads) {
    auto o = options();
    o.videoBytes = 200000;
    o.videoStallAfter = 100000;  // the download stays open until the stop
    startPhone(o);
    UsbTimeouts timeouts;
    timeouts.poll = 100ms;
    timeouts.videoSilence = 60s;
    process->setUsbTimeouts(timeouts);
    connectAndAccept();
    startStreaming(true);
    const std::string path = folder.file("long.mov");
    ASSERT_TRUE(process->saveCapture(path, 0, 1));
    // The offer goes out before the frames below: the download has begun when they come.
    ASSERT_TRUE(phone->waitForCommand("saveCapture", 5s));
    expectFramesArrive({1.0, 2.0});
    EXPECT_TRUE(process->closeConnection());
}

TEST_P(UsbSessionTest, SilentOrClosingPhoneEndsTheHandshake) {
    startPhone(answering(PhoneAnswer::silent));
    {
        StdoutCapture output;
        ASSERT_TRUE(connect());
        ASSERT_TRUE(process->waitUntilEnded(5s));
        EXPECT_NE(output.text().find("did not answer"), std::string::npos);
        EXPECT_EQ(process->rejectCode(), 0u);
        EXPECT_EQ(owner.lostCount(), 1);
    }
    StdoutCapture output;
    ASSERT_TRUE(connect());
    ASSERT_TRUE(phone->waitForCommandCount("connect -usb", 2, 5s));
    phone->vanish();
    ASSERT_TRUE(process->waitUntilEnded(5s));
    EXPECT_NE(output.text().find("connect failed"), std::string::npos);
    EXPECT_EQ(owner.lostCount(), 1);  // run() raised: the owner is not told
}

TEST_P(UsbSessionTest, DeviceChoice) {
    auto o = options();
    o.usbDevices = {PhoneSimUsbDevice{1, 0, "NOPRODUCTID0000000000001"}};
    startPhone(o);
    ASSERT_TRUE(connect());
    ASSERT_TRUE(process->waitUntilEnded(5s));  // no device with a product id: at once
    EXPECT_EQ(process->rejectCode(), 0u);
    EXPECT_TRUE(phone->commandsReceived().empty());

    o.usbDevices = {PhoneSimUsbDevice{4, 0x12, "FIRST000000000000000000A"},
                    PhoneSimUsbDevice{9, 0x34, "SECOND00000000000000000B"},
                    PhoneSimUsbDevice{11, 0, "THIRD000000000000000000C"}};
    startPhone(o);
    connectAndAccept();
    EXPECT_TRUE(process->closeConnection());

    phone.reset();  // no service at all
    ASSERT_TRUE(process->beginConnection(kUsb, "", "35602", &owner));
    ASSERT_TRUE(process->waitUntilEnded(5s));
    EXPECT_EQ(process->rejectCode(), 0u);
}

TEST_P(UsbSessionTest, StalledVideoKeepsWhatArrived) {
    auto o = options();
    o.videoBytes = 100000;
    o.videoStallAfter = 12345;
    startSession(o, true);
    const std::string path = folder.file("stalled.mov");
    StdoutCapture output;
    ASSERT_TRUE(process->saveCapture(path, 0, 1));
    ASSERT_TRUE(waitUntil([&] { return fileHasSize(path, 12345); }, 10s));
    expectFramesArrive({5.0});
    EXPECT_NE(output.text().find("stalled"), std::string::npos);
    EXPECT_EQ(fileContent(path), PhoneSim::videoContent(12345));
    EXPECT_TRUE(process->closeConnection());
}

TEST_P(UsbSessionTest, StreamCutIntoSmallWritesStillDecodes) {
    // Size 1 cuts at every byte position; the others fall inside headers in many ways.
    for (std::size_t size : {1u, 3u, 7u, 13u, 4093u}) {
        auto o = options();
        o.usbChunking.sizes = {size};
        o.usbChunking.pause = std::chrono::microseconds(size == 1 ? 20 : 200);
        process = newProcess();
        startSession(o, false);
        expectFramesArrive({0.25, 0.5});
        EXPECT_TRUE(process->closeConnection());
    }
}

TEST_P(UsbSessionTest, OversizedMessageIsSkippedAndBadHeaderEnds) {
    auto o = options();
    o.usbGarbage = UsbGarbage::oversized;
    StdoutCapture output;
    startSession(o, false);
    expectFramesArrive({1.0, 2.0, 3.0});  // the 2 MiB message follows the first
    EXPECT_TRUE(process->closeConnection());

    o.usbGarbage = UsbGarbage::badHeader;
    process = newProcess();
    startSession(o, false);
    phone->sendFrame(1.0);
    ASSERT_TRUE(process->waitUntilEnded(5s));
    EXPECT_NE(output.text().find("2097152 bytes"), std::string::npos);
    EXPECT_NE(output.text().find("cannot be followed"), std::string::npos);
}

// A recorded session stream cut into two receives at every byte position decodes the same.
TEST(UsbStreamCutTest, EveryCutPositionGivesTheSameFrames) {
    const auto channels = PhoneSim::defaultChannels();
    std::vector<std::uint8_t> stream;
    for (const auto& text :
         {PhoneSim::channelListText(channels), PhoneSim::dataMessageText(channels, 1.0),
          PhoneSim::dataMessageText(channels, 2.5)}) {
        const auto framed = PhoneSim::usbFrame(PhoneSim::encryptMessage(text));
        stream.insert(stream.end(), framed.begin(), framed.end());
    }
    RecordingObserver observer;
    auto handler = std::make_unique<MocapDataHandler>(&observer);
    UsbMessageAssembler assembler;
    PhoneMessageDecryptor decryptor(UsbMessageAssembler::kDefaultCapacity);
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        observer.frames.clear();
        assembler.reset();
        bool replied = false;
        auto onPayload = [&](const std::uint8_t* payload, std::size_t length) {
            std::string text;
            ASSERT_TRUE(decryptor.decrypt(payload, length, text));
            if (replied) handler->handleFrame(text);
            replied = replied || handler->handleConnectReply(text);
        };
        auto onOversized = [](std::size_t) { FAIL(); };
        assembler.feed(stream.data(), cut, onPayload, onOversized);
        assembler.feed(stream.data() + cut, stream.size() - cut, onPayload, onOversized);
        ASSERT_EQ(observer.frames.size(), 2u) << "cut at " << cut;
        ASSERT_EQ(observer.lastValues(), PhoneSim::flatFrame(channels, 2.5)) << "cut at " << cut;
    }
}

}  // namespace
