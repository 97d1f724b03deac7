// checkPhoneConnection against phones that stay silent, refuse, sit on the wrong screen or are not
// there, settings that cannot work, and usbmuxd without a phone or not there at all: each run names
// the step that fails and what to try, and leaves the node as it was (and another node's session
// with the phone alone). A fixed receive port is announced to the phone and carries a take.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <fstream>
#include <future>
#include <initializer_list>

#include "Descriptor.h"
#include "E2eTest.h"

namespace {

using namespace std::chrono_literals;

// A UDP socket bound to a free port on every IPv4 address, held until it goes away.
class HeldUdpPort {
  public:
    HeldUdpPort() : socket_(::socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        socklen_t length = sizeof(address);
        auto* generic = reinterpret_cast<sockaddr*>(&address);
        if (socket_.get() >= 0 && ::bind(socket_.get(), generic, length) == 0 &&
            ::getsockname(socket_.get(), generic, &length) == 0) {
            port_ = ntohs(address.sin_port);
        }
    }

    int port() const { return port_; }
    void release() { socket_.reset(); }

  private:
    Descriptor socket_;
    int port_ = 0;
};

class ConnectionCheckTest : public E2eTransportTest {
  protected:
    static void check(BatchScript& script, const std::string& key, const std::string& node) {
        script.section(key, "checkPhoneConnection " + node);
    }

    // The line the check showed for a step, without the "// Warning: ... //" around failures.
    static std::string stepLine(const BatchOutput& output, const std::string& key,
                                const std::string& step) {
        const std::string warning = "// Warning: ";
        for (std::string line : output.lines(key)) {
            if (line.rfind(warning, 0) == 0 && line.size() >= warning.size() + 3) {
                line = line.substr(warning.size(), line.size() - warning.size() - 3);
            }
            if (line.rfind(step + ": ", 0) == 0) return line;
        }
        return "";
    }

    // The step's line says outcome and holds every text.
    static ::testing::AssertionResult stepSays(const BatchOutput& output, const std::string& key,
                                               const std::string& step, const std::string& outcome,
                                               std::initializer_list<std::string> texts = {}) {
        const std::string line = stepLine(output, key, step);
        if (line.rfind(step + ": " + outcome + ": ", 0) != 0) {
            return ::testing::AssertionFailure()
                   << key << ": step " << step << " is not " << outcome << ": \"" << line << "\"";
        }
        for (const std::string& text : texts) {
            if (line.find(text) == std::string::npos) {
                return ::testing::AssertionFailure() << key << ": step " << step << " lacks \""
                                                     << text << "\": \"" << line << "\"";
            }
        }
        return ::testing::AssertionSuccess();
    }

    // Every step of the section went through.
    static ::testing::AssertionResult allStepsOk(const BatchOutput& output, const std::string& key,
                                                 std::initializer_list<const char*> steps) {
        for (const char* step : steps) {
            const auto result = stepSays(output, key, step, "ok");
            if (!result) return result;
        }
        return ::testing::AssertionSuccess();
    }
};

TEST_P(ConnectionCheckTest, NamesTheFailingStepAndWhatToTry) {
    const RefusingPhones phones = addRefusingPhones();
    HeldUdpPort busy;
    ASSERT_GT(busy.port(), 0);

    BatchScript script = newScript();
    createDevice(script, "dev");
    tryEachRefusingPhone(script, phones, "wrongPort", &ConnectionCheckTest::check);
    if (!usb()) {
        aimAt(script, "dev", healthyPhone(), transport());
        script.add("setAttr -type \"string\" dev.ipAddress \"no-such-phone.invalid\"");
        check(script, "unresolved", "dev");
        aimAt(script, "dev", healthyPhone(), transport());
        script.add("setAttr dev.wifiReceivePort " + std::to_string(busy.port()));
        check(script, "busyPort", "dev");
        connect(script, "busyPortConnect", "dev");
        script.add("setAttr dev.wifiReceivePort 0");
    }
    // A phone that answers: every step goes through, and the node is left as it was.
    aimAt(script, "dev", healthyPhone(), transport());
    check(script, "healthy", "dev");
    probeStatus(script, "afterCheck", "dev");
    script.section("outputsAfterCheck", "objExists dev." + channels_.scalars()[0]);
    // A connected node: the check leaves its session alone, and another node's check does not
    // reach the phone that the session talks to.
    connect(script, "connect", "dev");
    check(script, "connected", "dev");
    createDevice(script, "other");
    aimAt(script, "other", healthyPhone(), transport());
    check(script, "otherNode", "other");
    probeStatus(script, "stillConnected", "dev");
    if (!usb()) {
        // A setting refused on a connected node leaves its session running.
        script.add("setAttr dev.wifiReceivePort " + std::to_string(busy.port()));
        connect(script, "busyWhileConnected", "dev");
        script.add("setAttr dev.wifiReceivePort 0");
        probeStatus(script, "connectedAfterRefusal", "dev");
    }
    // Connecting it all the same is said to take the phone's stream from dev.
    connect(script, "otherConnect", "other");
    script.section("stopOther", "stopMocapSession other");
    script.section("stop", "stopMocapSession dev");

    const HostBatchRun run = runHostBatch(script);
    ASSERT_TRUE(ranCleanly(run));
    const BatchOutput& out = run.output;
    const std::string app = usb() ? "USB port" : "Wi-Fi port";
    const std::string portPlug = usb() ? "dev.usbPort" : "dev.wifiPort";

    EXPECT_TRUE(
        stepSays(out, "silent", "Answer", "failed",
                 {usb() ? "no answer within 3 s." : "no answer within 1 s.", "streaming screen",
                  "check that " + portPlug + " (" +
                      std::to_string(usb() ? phones.silent.usbPort() : phones.silent.udpPort()) +
                      ") is the app's " + app}));
    if (!usb()) {
        EXPECT_TRUE(
            stepSays(out, "silent", "Answer", "failed",
                     {"firewall pass UDP to port", "dev.wifiReceivePort",
                      "the phone (127.0.0.1) and this computer (127.0.0.1) are on the same subnet",
                      "guest network", "client isolation"}));
    }
    EXPECT_TRUE(
        stepSays(out, "reject", "Answer", "failed", {"refused the connection (\"/reject\")"}));
    EXPECT_TRUE(stepSays(out, "wrongScreen", "Answer", "failed",
                         {"\"/reject-wrong-screen\"", "Next: open the app's streaming screen"}));
    for (const char* key : {"silent", "reject", "wrongScreen"}) {
        EXPECT_TRUE(allStepsOk(
            out, key,
            usb()
                ? std::initializer_list<const char*>{"usbmuxd", "Device", "Tunnel", "Connect sent"}
                : std::initializer_list<const char*>{"Address", "Route", "Receive port",
                                                     "Connect sent"}))
            << key;
    }
    if (usb()) {
        EXPECT_TRUE(
            stepSays(out, "wrongPort", "Tunnel", "failed",
                     {"refused a connection to port " + std::to_string(phones.absent.usbPort()) +
                          " (dev.usbPort)",
                      "Next: open the app", "check that dev.usbPort is the app's USB port"}));
        EXPECT_TRUE(stepSays(out, "wrongPort", "Answer", "skipped"));
    } else {
        EXPECT_TRUE(
            stepSays(out, "wrongPort", "Answer", "failed",
                     {"check that dev.wifiPort (" + std::to_string(phones.absent.udpPort()) +
                      ") is the app's Wi-Fi port"}));
        EXPECT_TRUE(stepSays(out, "unresolved", "Address", "failed",
                             {"\"no-such-phone.invalid\" (dev.ipAddress) does not resolve",
                              "Next: set dev.ipAddress"}));
        for (const char* step : {"Route", "Receive port", "Connect sent", "Answer"}) {
            EXPECT_TRUE(stepSays(out, "unresolved", step, "skipped"));
        }
        const std::string busyPort =
            "UDP port " + std::to_string(busy.port()) + " (dev.wifiReceivePort)";
        EXPECT_TRUE(stepSays(
            out, "busyPort", "Receive port", "failed",
            {busyPort + " is in use on this computer.", "Next: close the program that holds it"}));
        EXPECT_TRUE(stepSays(out, "busyPort", "Answer", "skipped"));
        EXPECT_TRUE(refused(
            out, "busyPortConnect",
            busyPort + " is in use on this computer: close the program that holds it, or set "
                       "dev.wifiReceivePort to another port (0 picks a free one)."));
    }

    EXPECT_TRUE(
        allStepsOk(out, "healthy",
                   usb() ? std::initializer_list<const char*>{"usbmuxd", "Device", "Tunnel",
                                                              "Connect sent", "Answer"}
                         : std::initializer_list<const char*>{"Address", "Route", "Receive port",
                                                              "Connect sent", "Answer"}));
    EXPECT_TRUE(
        stepSays(out, "healthy", "Answer", "ok",
                 {"accepted the connection", "lists 52 scalar, 2 vector and 3 matrix channels"}));
    if (!usb()) {
        EXPECT_TRUE(
            stepSays(out, "healthy", "Route", "ok",
                     {"from 127.0.0.1 on network 127.0.0.0/8; the phone is on the same subnet"}));
    }
    EXPECT_TRUE(statusIs(out, "afterCheck", 0));
    EXPECT_EQ(out.lastResult("outputsAfterCheck"), "0");
    EXPECT_TRUE(connected(out, "connect"));
    EXPECT_TRUE(
        stepSays(out, "connected", "Session", "ok", {"dev is connected (connectionStatus 1)"}));
    EXPECT_TRUE(stepSays(out, "otherNode", "Session", "warning",
                         {"dev has a session with this phone (connectionStatus 1)",
                          "Next: stop it first (stopMocapSession dev)"}));
    EXPECT_TRUE(statusIs(out, "stillConnected", 1));
    if (!usb()) {
        EXPECT_TRUE(
            refused(out, "busyWhileConnected",
                    "UDP port " + std::to_string(busy.port()) +
                        " (dev.wifiReceivePort) is in use on this computer: close the program that "
                        "holds it, or set dev.wifiReceivePort to another port (0 "
                        "picks a free one)."));
        EXPECT_FALSE(out.shows("busyWhileConnected", "Ending the open session"));
        EXPECT_TRUE(statusIs(out, "connectedAfterRefusal", 1));
    }
    EXPECT_TRUE(connected(out, "otherConnect"));
    EXPECT_TRUE(out.shows("otherConnect",
                          "// Warning: dev has a session with this phone too: a phone that "
                          "streams to one node at a time now streams to other alone"))
        << out.all();
    EXPECT_FALSE(out.shows("connect", "has a session with this phone too"));
    EXPECT_EQ(out.lastResult("stop"), "1");

    // The phones heard the connect command once per check and were never asked to stream; the
    // healthy phone's checked session was ended with "stop" before the real connect.
    for (const PhoneSim* phone : {&phones.silent, &phones.rejecting, &phones.wrongScreen}) {
        EXPECT_EQ(phone->commandCount("connect"), 1u);
        EXPECT_EQ(phone->commandCount("start"), 0u);
    }
    const std::vector<std::string> heard = healthyPhone().commandsReceived();
    ASSERT_GE(heard.size(), 3u) << heard.size();
    EXPECT_EQ(heard[0].rfind("connect ", 0), 0u) << heard[0];
    EXPECT_EQ(heard[1], "stop");
    EXPECT_EQ(heard[2].rfind("connect ", 0), 0u) << heard[2];
    EXPECT_EQ(healthyPhone().commandCount("connect"), 3u);
}

INSTANTIATE_TEST_SUITE_P(BothTransports, ConnectionCheckTest,
                         ::testing::Values(Transport::wifi, Transport::usb), transportName);

class UsbmuxdCheckTest : public ConnectionCheckTest {};

TEST_F(UsbmuxdCheckTest, SaysWhetherUsbmuxdIsThereAndListsAPhone) {
    // No usbmuxd: the socket is named, with what to install on each system.
    const std::string missing = file("no-usbmuxd.sock");
    setHostBatchEnvironment("USBMUXD_SOCKET_ADDRESS", "UNIX:" + missing);
    BatchScript script = newScript();
    createDevice(script, "dev");
    aimAt(script, "dev", healthyPhone(), Transport::usb);
    check(script, "absent", "dev");
    connect(script, "absentConnect", "dev");
    HostBatchRun run = runHostBatch(script);
    ASSERT_TRUE(ranCleanly(run));
    EXPECT_TRUE(
        stepSays(run.output, "absent", "usbmuxd", "failed",
                 {"usbmuxd cannot be reached at UNIX:" + missing + " (USBMUXD_SOCKET_ADDRESS).",
                  "on Linux install and start the usbmuxd service",
                  "on Windows install Apple's mobile device support", "on macOS it is built in"}));
    for (const char* step : {"Device", "Tunnel", "Connect sent", "Answer"}) {
        EXPECT_TRUE(stepSays(run.output, "absent", step, "skipped"));
    }
    EXPECT_TRUE(
        refused(run.output, "absentConnect", "Connection timed out. Check your input parameters."));
    EXPECT_TRUE(run.output.shows(
        "absentConnect",
        "checkPhoneConnection dev runs the connection step by step and says what to try."));

    // usbmuxd without a phone.
    PhoneSimOptions options = phoneOptions();
    options.udpPort = -1;
    options.usbDevices.clear();
    options.usbmuxdSocket = file("empty-usbmuxd.sock");
    PhoneSim noPhone(options);
    noPhone.start();
    setHostBatchEnvironment("USBMUXD_SOCKET_ADDRESS", "UNIX:" + noPhone.usbmuxdSocketPath());
    BatchScript empty = newScript();
    createDevice(empty, "dev");
    aimAt(empty, "dev", noPhone, Transport::usb);
    check(empty, "noDevice", "dev");
    run = runHostBatch(empty);
    ASSERT_TRUE(ranCleanly(run));
    EXPECT_TRUE(stepSays(run.output, "noDevice", "usbmuxd", "ok",
                         {"usbmuxd answers at UNIX:" + noPhone.usbmuxdSocketPath()}));
    EXPECT_TRUE(stepSays(
        run.output, "noDevice", "Device", "failed",
        {"usbmuxd lists no phone.", "Next: plug the phone in", "\"Trust This Computer\""}));
    for (const char* step : {"Tunnel", "Connect sent", "Answer"}) {
        EXPECT_TRUE(stepSays(run.output, "noDevice", step, "skipped"));
    }
    EXPECT_EQ(noPhone.commandsReceived().size(), 0u);
}

class ReceivePortTest : public E2eTest {};

TEST_F(ReceivePortTest, AFixedReceivePortIsAnnouncedAndCarriesATake) {
    HeldUdpPort free;
    const int port = free.port();
    ASSERT_GT(port, 0);
    free.release();

    BatchScript script = newScript();
    createDevice(script, "dev");
    script.section("default", "getAttr dev.wifiReceivePort");
    script.add("setAttr dev.wifiReceivePort 70000");
    aimAt(script, "dev", healthyPhone(), Transport::wifi);
    connect(script, "outOfRange", "dev");
    script.add("setAttr dev.wifiReceivePort " + std::to_string(port));
    const RoundTrip take{"take", "dev", Transport::wifi};
    addRoundTrip(script, take, healthyPhone());

    const HostBatchRun run = runHostBatch(script);
    ASSERT_TRUE(ranCleanly(run));
    EXPECT_EQ(run.output.lastResult("default"), "0");
    EXPECT_TRUE(refused(
        run.output, "outOfRange",
        "dev.wifiReceivePort is 70000: a receive port is 0 (any free port) or a number from 1 "
        "to 65535."));
    const std::vector<std::string> heard = healthyPhone().commandsReceived();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard[0], "connect -port " + std::to_string(port) + " -version 2");
    EXPECT_EQ(healthyPhone().commandCount("connect"), 1u);
    checkRoundTrip(run.output, take, healthyPhone());
}

// The table of messages in the README's "Connecting your phone": the message of each row, cut at
// its placeholders ("<node>"), each of which stands for some text.
struct GuideMessage {
    std::string text;
    std::vector<std::string> pieces;  // the literal text around the placeholders

    bool matches(const std::string& shown) const {
        if (pieces.size() == 1) return shown == pieces[0];
        if (shown.rfind(pieces.front(), 0) != 0) return false;
        std::size_t at = pieces.front().size();
        for (std::size_t i = 1; i + 1 < pieces.size(); ++i) {
            const std::size_t found = shown.find(pieces[i], at + 1);
            if (found == std::string::npos) return false;
            at = found + pieces[i].size();
        }
        const std::string& last = pieces.back();
        return shown.size() >= at + 1 + last.size() &&
               shown.compare(shown.size() - last.size(), last.size(), last) == 0;
    }
};

std::vector<GuideMessage> guideMessages() {
    std::ifstream readme(LMRA_README);
    std::vector<GuideMessage> messages;
    bool inSection = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.rfind("### ", 0) == 0 || line.rfind("## ", 0) == 0) {
            inSection = line == "### Messages when connecting";
            continue;
        }
        if (!inSection || line.rfind("| `", 0) != 0) continue;
        const std::size_t end = line.find('`', 3);
        if (end == std::string::npos) continue;
        GuideMessage message;
        message.text = line.substr(3, end - 3);
        std::size_t at = 0;
        for (;;) {
            const std::size_t open = message.text.find('<', at);
            const std::size_t close =
                open == std::string::npos ? std::string::npos : message.text.find('>', open);
            if (close == std::string::npos) {
                message.pieces.push_back(message.text.substr(at));
                break;
            }
            message.pieces.push_back(message.text.substr(at, open - at));
            at = close + 1;
        }
        messages.push_back(std::move(message));
    }
    return messages;
}

// What a section of the run showed: errors and warnings without their "// ... //", and the
// lines printed as they are (information and the transports' own lines). Results and Python's
// output are left out.
std::vector<std::string> shownMessages(const BatchOutput& output, const std::string& key) {
    std::vector<std::string> shown;
    for (const std::string& line : output.lines(key)) {
        // Python's own output ("# Error: ...") comes from the scripting side, not from connecting.
        if (line.empty() || line.rfind("// Result: ", 0) == 0 || line.rfind("# ", 0) == 0) continue;
        std::string text = line;
        for (const std::string prefix : {"// Error: ", "// Warning: "}) {
            if (text.rfind(prefix, 0) == 0 && text.size() >= prefix.size() + 3) {
                text = text.substr(prefix.size(), text.size() - prefix.size() - 3);
            }
        }
        shown.push_back(text);
    }
    return shown;
}

class ConnectingGuideTest : public ConnectionCheckTest {};

// Every message that connecting shows is in the README's table, and every message of the table is
// one that connecting shows.
TEST_F(ConnectingGuideTest, MessageTableMatchesWhatConnectingShows) {
    const std::vector<GuideMessage> messages = guideMessages();
    ASSERT_GE(messages.size(), 5u) << "no message table in " << LMRA_README;

    const RefusingPhones phones = addRefusingPhones();
    // Over USB, an app that closes the tunnel before it answers "connect".
    PhoneSim& closing = addPhone(answering(PhoneAnswer::silent));
    // An app whose channel list needs renaming, repeats a name, names one of the node's own
    // attributes or the timestamp line, and has a section too many.
    PhoneSimOptions odd = phoneOptions();
    odd.rawChannelList = "wifiPort\njawOpen\njawOpen\ntimestamp\n";
    for (int i = 0; i < 11; ++i) odd.rawChannelList += "jaw open " + std::to_string(i) + "\n";
    odd.rawChannelList += "#\n#\n#\nextra\n";
    PhoneSim& oddNames = addPhone(odd);
    PhoneSim& elsewhere = addPhone(phoneOptions());
    HeldUdpPort busy;
    ASSERT_GT(busy.port(), 0);

    BatchScript script = newScript();
    createDevice(script, "dev");
    std::vector<std::string> keys;
    auto attempt = [&](const std::string& key, const std::string& settings) {
        if (!settings.empty()) script.add(settings);
        connect(script, key, "dev");
        keys.push_back(key);
    };
    const std::pair<const char*, const PhoneSim*> refusing[] = {
        {"refused", &phones.rejecting},
        {"wrongScreen", &phones.wrongScreen},
        {"silent", &phones.silent},
        {"absent", &phones.absent}};
    for (const Transport transport : {Transport::wifi, Transport::usb}) {
        for (const auto& [key, phone] : refusing) {
            aimAt(script, "dev", *phone, transport);
            attempt(std::string(transport == Transport::usb ? "usb/" : "wifi/") + key, "");
        }
    }
    aimAt(script, "dev", closing, Transport::usb);
    attempt("usb/closed", "");
    aimAt(script, "dev", oddNames, Transport::wifi);
    attempt("oddNames", "");
    script.add("stopMocapSession dev");
    // A phone that answers from another address than the one dialled: datagrams to 0.0.0.0 reach
    // this computer (Linux), and the phone answers from 127.0.0.1. The check names the address.
    aimAt(script, "dev", elsewhere, Transport::wifi);
    attempt("otherAddress", "setAttr -type \"string\" dev.ipAddress \"0.0.0.0\"");
    check(script, "otherAddressCheck", "dev");
    // A connect the system will not send: a broadcast address without the broadcast option.
    attempt("unsent", "setAttr -type \"string\" dev.ipAddress \"255.255.255.255\"");
    attempt("ipv6", "setAttr -type \"string\" dev.ipAddress \"fe80::1\"");
    check(script, "ipv6Check", "dev");
    PhoneSimOptions bare = phoneOptions();
    bare.useDefaultChannels = false;
    PhoneSim& noChannels = addPhone(bare);
    aimAt(script, "dev", noChannels, Transport::wifi);
    attempt("noChannels", "");
    script.add("stopMocapSession dev");
    aimAt(script, "dev", healthyPhone(), Transport::wifi);
    attempt("portRange", "setAttr dev.wifiPort 0");
    aimAt(script, "dev", healthyPhone(), Transport::wifi);
    attempt("emptyAddress", "setAttr -type \"string\" dev.ipAddress \"\"");
    attempt("unresolved", "setAttr -type \"string\" dev.ipAddress \"no-such-phone.invalid\"");
    aimAt(script, "dev", healthyPhone(), Transport::usb);
    attempt("usbType", "setAttr dev.connectionType 7");
    attempt("alreadyConnected", "");
    script.add("stopMocapSession dev");
    aimAt(script, "dev", healthyPhone(), Transport::wifi);
    attempt("receivePortRange", "setAttr dev.wifiReceivePort -1");
    attempt("receivePortBusy", "setAttr dev.wifiReceivePort " + std::to_string(busy.port()));
    attempt("established", "setAttr dev.wifiReceivePort 0");
    createDevice(script, "dev2");
    aimAt(script, "dev2", healthyPhone(), Transport::wifi);
    connect(script, "secondNode", "dev2");
    keys.push_back("secondNode");
    script.add("stopMocapSession dev2");
    script.section("stop", "stopMocapSession dev");

    std::future<HostBatchRun> running = startHostBatch(script);
    // The closing app goes once it heard "connect", while the plug-in waits for its answer.
    if (closing.waitForCommand("connect", std::chrono::minutes(2))) closing.vanish();
    const HostBatchRun run = finishHostBatch(running);
    ASSERT_TRUE(ranCleanly(run));
    EXPECT_TRUE(stepSays(run.output, "otherAddressCheck", "Answer", "warning",
                         {"The answer came from 127.0.0.1, not from 0.0.0.0.",
                          "Next: set dev.ipAddress to 127.0.0.1"}));
    EXPECT_TRUE(stepSays(run.output, "ipv6Check", "Address", "failed",
                         {"\"fe80::1\" (dev.ipAddress) is an IPv6 address",
                          "Next: set dev.ipAddress to the phone's IPv4 address"}));
    std::vector<bool> seen(messages.size(), false);
    for (const std::string& key : keys) {
        const std::vector<std::string> shown = shownMessages(run.output, key);
        EXPECT_FALSE(shown.empty()) << key << " showed nothing";
        for (const std::string& text : shown) {
            bool listed = false;
            for (std::size_t i = 0; i < messages.size(); ++i) {
                if (messages[i].matches(text)) listed = seen[i] = true;
            }
            EXPECT_TRUE(listed) << key << " showed \"" << text
                                << "\", which the README's table lacks";
        }
    }
    for (std::size_t i = 0; i < messages.size(); ++i) {
        EXPECT_TRUE(seen[i]) << "the README's table lists \"" << messages[i].text
                             << "\", which no connection showed";
    }
}

}  // namespace
