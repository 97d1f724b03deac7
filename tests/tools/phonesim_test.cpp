#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>
#include <usbmuxd.h>
#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/asio/read.hpp>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "PhoneSim.h"
#include "support/TemporaryFolder.h"
#include "transport/cipher/AesCbcCipher.h"

namespace asio = boost::asio;
using asio::ip::tcp;
using asio::ip::udp;
using namespace std::chrono_literals;

namespace {

constexpr auto kDeadline = 5s;

std::string decrypt(const std::uint8_t* bytes, std::size_t size) {
    if (size < kAesBlockSize || size % kAesBlockSize != 0) return "<not a message>";
    AesIv iv;
    std::copy(bytes, bytes + kAesBlockSize, iv.begin());
    std::vector<std::uint8_t> plain(bytes + kAesBlockSize, bytes + size);
    AesCbcCipher(messageKey()).decrypt(iv, plain.data(), plain.size());
    std::string text(plain.begin(), plain.end());
    const auto end = text.find('*');
    if (end != std::string::npos) return text.substr(0, end);
    return text.substr(0, text.find('\0'));
}

bool readable(int fd, std::chrono::milliseconds timeout) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(timeout.count())) == 1;
}

// Every value of a data message must be exactly what the motion gives at its timestamp.
void expectPredictedValues(const std::string& message, const ChannelNameLists& channels) {
    std::map<std::string, std::string> lines;
    std::size_t begin = 0;
    while (begin < message.size()) {
        const std::size_t end = message.find('\n', begin);
        ASSERT_NE(end, std::string::npos) << "every line ends in a line feed";
        const std::string line = message.substr(begin, end - begin);
        const auto separator = line.find(';');
        ASSERT_NE(separator, std::string::npos) << line;
        lines[line.substr(0, separator)] = line.substr(separator + 1);
        begin = end + 1;
    }
    ASSERT_EQ(lines.size(), 1 + channels.flatValueCount());
    const double timestamp = static_cast<double>(std::strtold(lines["timestamp"].c_str(), nullptr));
    EXPECT_EQ(timestamp, std::strtod(lines["timestamp"].c_str(), nullptr));
    auto expectValue = [&](const std::string& key, ChannelKind kind, std::size_t index,
                           std::size_t element) {
        ASSERT_TRUE(lines.count(key)) << key;
        EXPECT_EQ(std::strtod(lines[key].c_str(), nullptr),
                  PhoneSim::channelValue(kind, index, element, timestamp))
            << key;
    };
    for (std::size_t s = 0; s < channels.scalars().size(); ++s)
        expectValue(channels.scalars()[s], ChannelKind::scalar, s, 0);
    for (std::size_t v = 0; v < channels.vectors().size(); ++v)
        for (std::size_t k = 0; k < 3; ++k)
            expectValue(channels.vectors()[v] + "XYZ"[k], ChannelKind::vector, v, k);
    for (std::size_t m = 0; m < channels.matrices().size(); ++m)
        for (std::size_t e = 0; e < 16; ++e)
            expectValue(channels.matrices()[m] + std::to_string(e / 4) + "XYZW"[e % 4],
                        ChannelKind::matrix, m, e);
}

class PhoneSimTest : public ::testing::Test {
  protected:
    void SetUp() override {
        options_.udpPort = 0;
        options_.usbPort = 0;
        options_.usbmuxdSocket = folder_.file("usbmuxd.sock");
        options_.rate = 200;
        options_.videoBytes = 300000;
    }
    void TearDown() override { phone_.reset(); }

    PhoneSim& startPhone() {
        phone_ = std::make_unique<PhoneSim>(options_);
        phone_->start();
        ::setenv("USBMUXD_SOCKET_ADDRESS", ("UNIX:" + phone_->usbmuxdSocketPath()).c_str(), 1);
        return *phone_;
    }

    TemporaryFolder folder_;
    PhoneSimOptions options_;
    std::unique_ptr<PhoneSim> phone_;
};

// A plug-in's Wi-Fi side reduced to its sockets.
class RawWifiClient {
  public:
    explicit RawWifiClient(unsigned short phonePort)
        : socket_(io_, udp::endpoint(asio::ip::make_address("127.0.0.1"), 0)),
          phone_(asio::ip::make_address("127.0.0.1"), phonePort) {}

    void send(const std::string& command) { socket_.send_to(asio::buffer(command), phone_); }
    void connect() {
        send("connect -port " + std::to_string(socket_.local_endpoint().port()) + " -version 2");
    }
    // The next message, decrypted; empty on time-out.
    std::string receive() {
        std::vector<std::uint8_t> datagram(65536);
        if (!readable(socket_.native_handle(), kDeadline)) return "";
        const std::size_t size = socket_.receive(asio::buffer(datagram));
        lastSize_ = size;
        return decrypt(datagram.data(), size);
    }
    // Skips data messages until one starting with prefix.
    std::string receiveStartingWith(const std::string& prefix) {
        for (int i = 0; i < 1000; ++i) {
            const std::string text = receive();
            if (text.empty() || text.rfind(prefix, 0) == 0) return text;
        }
        return "";
    }
    std::size_t lastSize() const { return lastSize_; }

  private:
    asio::io_context io_;
    udp::socket socket_;
    udp::endpoint phone_;
    std::size_t lastSize_ = 0;
};

// The program's flags that are looked up by name: counts, the one way the phone answers, and the
// kind of broken USB stream; what does not fit is refused with the reason.
TEST(PhoneSimCommandLine, NamedFlagsSetTheirOptionsAndMisfitsAreRefused) {
    const CommandLine line = parseCommandLine(
        {"--reset-after", "3", "--malformed-every", "4", "--garbage-every", "5",
         "--usb-garbage-after", "6", "--reject-wrong-screen", "--usb-garbage", "oversized"});
    ASSERT_EQ(line.error, "");
    EXPECT_EQ(line.options.resetAfter, 3);
    EXPECT_EQ(line.options.malformedEvery, 4);
    EXPECT_EQ(line.options.garbageEvery, 5);
    EXPECT_EQ(line.options.usbGarbageAfter, 6);
    EXPECT_TRUE(line.options.answer == PhoneAnswer::rejectWrongScreen);
    EXPECT_TRUE(line.options.usbGarbage == UsbGarbage::oversized);
    EXPECT_TRUE(parseCommandLine({"--silent"}).options.answer == PhoneAnswer::silent);
    EXPECT_TRUE(parseCommandLine({"--usb-garbage", "bad-header"}).options.usbGarbage ==
                UsbGarbage::badHeader);

    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--reject", "--silent"},
         "--reject, --reject-wrong-screen and --silent exclude each other"},
        {{"--usb-garbage", "bad"}, "--usb-garbage: expected bad-header or oversized"},
        {{"--garbage-every", "x"}, "--garbage-every: not a valid number: x"},
        {{"--reset-after"}, "--reset-after needs a value"},
        {{"--bogus"}, "unknown argument: --bogus"},
    };
    for (const auto& [arguments, reason] : refused) {
        EXPECT_EQ(parseCommandLine(arguments).error, reason) << arguments.front();
    }
}

TEST(PhoneSimMessages, DefaultFaceSetFitsOneDatagramAndReadsBack) {
    const ChannelNameLists channels = PhoneSim::defaultChannels();
    EXPECT_EQ(channels.scalars().size(), 52u);
    EXPECT_EQ(channels.vectors().size(), 2u);
    EXPECT_EQ(channels.matrices().size(), 3u);
    EXPECT_EQ(channels.flatValueCount(), 106u);
    EXPECT_EQ(PhoneSim::parseChannelList(PhoneSim::channelListText(channels)), channels);

    // The worst case over a stretch of time must stay inside a 4096-byte receive buffer.
    std::size_t largest = 0;
    for (int k = 0; k < 2000; ++k) {
        const double t = PhoneSim::roundTimestamp(1000.0 + k * 0.37);
        const auto message = PhoneSim::encryptMessage(PhoneSim::dataMessageText(channels, t));
        largest = std::max(largest, message.size());
    }
    EXPECT_LE(largest, 4096u);

    const auto message = PhoneSim::encryptMessage("abc");
    ASSERT_EQ(message.size(), 32u);
    EXPECT_EQ(decrypt(message.data(), message.size()), "abc");
    EXPECT_NE(PhoneSim::encryptMessage("abc"), message) << "a fresh IV per message";
    const auto frame = PhoneSim::usbFrame(message);
    EXPECT_EQ(std::string(frame.begin(), frame.begin() + 8), "00000032");
}

TEST(PhoneSimMessages, MatricesAreRigidTransformsOfTheStatedMotion) {
    for (double t : {0.0, 0.75, 3.5, 123.25}) {
        for (std::size_t m = 0; m < 3; ++m) {
            double e[16];
            for (std::size_t i = 0; i < 16; ++i)
                e[i] = PhoneSim::channelValue(ChannelKind::matrix, m, i, t);
            const auto translation = PhoneSim::matrixTranslation(m, t);
            const auto rotation = PhoneSim::matrixRotation(m, t);
            EXPECT_EQ(e[12], translation[0]);
            EXPECT_EQ(e[13], translation[1]);
            EXPECT_EQ(e[14], translation[2]);
            EXPECT_EQ(e[3], 0.0);
            EXPECT_EQ(e[7], 0.0);
            EXPECT_EQ(e[11], 0.0);
            EXPECT_EQ(e[15], 1.0);
            // XYZ order in the row-vector convention: R = Rx * Ry * Rz.
            EXPECT_NEAR(std::asin(-e[2]), rotation[1], 1e-12);
            EXPECT_NEAR(std::atan2(e[1], e[0]), rotation[2], 1e-12);
            EXPECT_NEAR(std::atan2(e[6], e[10]), rotation[0], 1e-12);
            for (int row = 0; row < 3; ++row)
                EXPECT_NEAR(e[4 * row] * e[4 * row] + e[4 * row + 1] * e[4 * row + 1] +
                                e[4 * row + 2] * e[4 * row + 2],
                            1.0, 1e-12);
        }
        for (std::size_t s = 0; s < 52; ++s) {
            const double value = PhoneSim::channelValue(ChannelKind::scalar, s, 0, t);
            EXPECT_GE(value, 0.0);
            EXPECT_LE(value, 1.0);
        }
    }
}

TEST_F(PhoneSimTest, WifiAnswersStreamsAndServesTheVideo) {
    options_.timestampStep = 0.25;
    PhoneSim& phone = startPhone();
    RawWifiClient client(phone.udpPort());

    client.send("start");  // before any connect: recorded, ignored
    client.connect();
    EXPECT_EQ(client.receive(), PhoneSim::channelListText(PhoneSim::defaultChannels()));

    client.send("saveCapture -timeInverval 1.000000 2.000000");
    EXPECT_EQ(client.receive(), "video -cancel") << "no video session yet";

    client.send("start -video");
    for (int i = 0; i < 3; ++i) {
        const std::string message = client.receive();
        ASSERT_FALSE(message.empty());
        EXPECT_LT(client.lastSize(), 4096u);
        expectPredictedValues(message, PhoneSim::defaultChannels());
    }
    ASSERT_TRUE(phone.waitForFramesSent(3, kDeadline));

    client.send("saveCapture -timeInverval 1.500000 10.000000");
    const std::string offer = client.receiveStartingWith("video");
    int port = -1;
    ASSERT_EQ(std::sscanf(offer.c_str(), "video -port %d", &port), 1) << offer;
    asio::io_context io;
    tcp::socket video(io);
    video.connect(
        tcp::endpoint(asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)));
    std::string received;
    boost::system::error_code error;
    asio::read(video, asio::dynamic_buffer(received), error);
    EXPECT_EQ(error, asio::error::eof);
    EXPECT_EQ(received, PhoneSim::videoContent(options_.videoBytes));

    client.send("stop");
    ASSERT_TRUE(phone.waitForCommand("stop", kDeadline));
    EXPECT_EQ(phone.commandsReceived().front(), "start");
    EXPECT_EQ(phone.commandCount("saveCapture"), 2u);
}

TEST_F(PhoneSimTest, WifiRefusesResetsAndSendsMalformedLines) {
    options_.answer = PhoneAnswer::reject;
    options_.rate = 0;  // frames only on demand
    options_.resetAfter = 2;
    options_.malformedEvery = 2;
    PhoneSim& phone = startPhone();
    RawWifiClient client(phone.udpPort());

    client.connect();
    EXPECT_EQ(client.receive(), "/reject");
    phone.setAnswer(PhoneAnswer::rejectWrongScreen);
    client.connect();
    EXPECT_EQ(client.receive(), "/reject-wrong-screen");
    phone.setAnswer(PhoneAnswer::accept);
    client.connect();
    EXPECT_FALSE(client.receive().empty());
    EXPECT_EQ(phone.sendFrame(1.0), 0u) << "not started";

    client.send("start");
    ASSERT_TRUE(phone.waitForCommand("start", kDeadline));
    EXPECT_EQ(phone.sendFrame(1.0), 1u);
    expectPredictedValues(client.receive(), PhoneSim::defaultChannels());
    EXPECT_EQ(phone.sendFrame(2.0), 1u);
    EXPECT_NE(client.receive().find("\nmalformed;oops\ngazeX;"), std::string::npos);
    EXPECT_EQ(client.receive(), "/reset");
    EXPECT_EQ(phone.sendFrame(3.0), 0u) << "the stream ended with the reset";
    EXPECT_EQ(phone.lastFrameTimestamp(), 2.0);
}

class UsbTunnel {
  public:
    UsbTunnel(std::uint32_t handle, unsigned short port) : socket_(usbmuxd_connect(handle, port)) {}
    ~UsbTunnel() {
        if (socket_ >= 0) usbmuxd_disconnect(socket_);
    }
    bool isOpen() const { return socket_ >= 0; }

    bool sendCommand(const std::string& text) {
        char block[200] = {};
        text.copy(block, sizeof block);
        std::uint32_t sent = 0;
        return usbmuxd_send(socket_, block, sizeof block, &sent) == 0 && sent == sizeof block;
    }
    // The next framed message, decrypted; empty on time-out or a closed tunnel.
    std::string receiveMessage() {
        while (true) {
            if (buffer_.size() >= 8) {
                const std::size_t length = std::stoul(buffer_.substr(0, 8));
                if (buffer_.size() >= 8 + length) {
                    const std::string payload = buffer_.substr(8, length);
                    buffer_.erase(0, 8 + length);
                    return decrypt(reinterpret_cast<const std::uint8_t*>(payload.data()),
                                   payload.size());
                }
            }
            char chunk[4096];
            std::uint32_t received = 0;
            const int result = usbmuxd_recv_timeout(socket_, chunk, sizeof chunk, &received,
                                                    static_cast<int>(5000));
            if (result < 0 || received == 0) return "";
            buffer_.append(chunk, received);
        }
    }

    // Everything until the other side closes (bounded by a time-out per receive).
    std::string receiveUntilClosed() {
        std::string all;
        char chunk[4096];
        std::uint32_t received = 0;
        while (usbmuxd_recv_timeout(socket_, chunk, sizeof chunk, &received, 5000) == 0 &&
               received > 0)
            all.append(chunk, received);
        return all;
    }

  private:
    int socket_;
    std::string buffer_;
};

TEST_F(PhoneSimTest, UsbThroughTheUsbmuxdStandIn) {
    options_.usbDevices = {{7, 0, "NOPRODUCT"}, {9, 0x1234, "PHONE9"}};
    options_.usbChunking.sizes = {3, 5, 1};  // cuts headers and payloads alike
    options_.recordUsbStream = true;
    options_.timestampStep = 1.0 / 60.0;
    PhoneSim& phone = startPhone();

    usbmuxd_device_info_t* devices = nullptr;
    ASSERT_EQ(usbmuxd_get_device_list(&devices), 2);
    EXPECT_EQ(devices[0].handle, 7u);
    EXPECT_EQ(devices[1].product_id, 0x1234u);
    EXPECT_STREQ(devices[1].udid, "PHONE9");
    usbmuxd_device_list_free(&devices);

    EXPECT_FALSE(UsbTunnel(42, phone.usbPort()).isOpen()) << "unknown device";
    {
        // A port nobody listens on: a closed listener's port.
        asio::io_context io;
        tcp::acceptor closed(io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
        const unsigned short unusedPort = closed.local_endpoint().port();
        closed.close();
        EXPECT_FALSE(UsbTunnel(9, unusedPort).isOpen()) << "connection refused";
    }

    UsbTunnel tunnel(9, phone.usbPort());
    ASSERT_TRUE(tunnel.isOpen());
    ASSERT_TRUE(tunnel.sendCommand("connect -usb -version 2"));
    EXPECT_EQ(tunnel.receiveMessage(), PhoneSim::channelListText(PhoneSim::defaultChannels()));
    ASSERT_TRUE(tunnel.sendCommand("start -video"));
    for (int i = 0; i < 3; ++i)
        expectPredictedValues(tunnel.receiveMessage(), PhoneSim::defaultChannels());

    ASSERT_TRUE(tunnel.sendCommand("saveCapture -timeInverval 0.000000 1.000000"));
    std::string offer;
    for (int i = 0; i < 1000 && offer.rfind("video", 0) != 0; ++i) offer = tunnel.receiveMessage();
    int port = -1;
    ASSERT_EQ(std::sscanf(offer.c_str(), "video -port %d", &port), 1) << offer;
    UsbTunnel video(9, static_cast<unsigned short>(port));
    ASSERT_TRUE(video.isOpen());
    EXPECT_EQ(video.receiveUntilClosed(), PhoneSim::videoContent(options_.videoBytes));

    ASSERT_TRUE(tunnel.sendCommand("stop"));
    ASSERT_TRUE(phone.waitForCommand("stop", kDeadline));
    // The recorded stream starts with the framed channel list.
    const auto stream = phone.usbStreamSent();
    ASSERT_GT(stream.size(), 8u);
    const std::size_t length = std::stoul(std::string(stream.begin(), stream.begin() + 8));
    ASSERT_GE(stream.size(), 8 + length);
    EXPECT_EQ(decrypt(stream.data() + 8, length),
              PhoneSim::channelListText(PhoneSim::defaultChannels()));
}

TEST_F(PhoneSimTest, StartFailsClearlyWhenAPortIsTaken) {
    asio::io_context io;
    udp::socket taken(io, udp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
    options_.udpPort = taken.local_endpoint().port();
    PhoneSim phone(options_);
    try {
        phone.start();
        FAIL() << "start() must throw";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("wifi udp"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(std::filesystem::exists(options_.usbmuxdSocket));
}

}  // namespace
