// USB stream framing, the USB session's wait, the command texts and replies, and message
// decryption.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

#include "transport/cipher/AesCbcCipher.h"
#include "transport/connection/SocketWaiter.h"
#include "transport/protocol/PhoneCommands.h"
#include "transport/protocol/PhoneMessageDecryptor.h"
#include "transport/protocol/UsbMessageAssembler.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes frame(const std::string& payload) {
    char header[9];
    std::snprintf(header, sizeof header, "%08zu", payload.size());
    Bytes bytes(header, header + 8);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct Collected {
    std::vector<std::string> payloads;
    std::vector<std::size_t> oversized;
};

UsbMessageAssembler::FeedResult feedPieces(UsbMessageAssembler& assembler, const Bytes& stream,
                                           const std::vector<std::size_t>& cuts, Collected& out) {
    std::size_t from = 0;
    auto result = UsbMessageAssembler::FeedResult::ok;
    auto feedRange = [&](std::size_t to) {
        result = assembler.feed(
            stream.data() + from, to - from,
            [&](const std::uint8_t* p, std::size_t n) { out.payloads.emplace_back(p, p + n); },
            [&](std::size_t n) { out.oversized.push_back(n); });
        from = to;
    };
    for (std::size_t cut : cuts) {
        if (result != UsbMessageAssembler::FeedResult::ok) break;
        feedRange(cut);
    }
    if (result == UsbMessageAssembler::FeedResult::ok) feedRange(stream.size());
    return result;
}

TEST(UsbMessageAssemblerTest, EveryCutPairGivesTheSameMessages) {
    const Bytes stream =
        concat({frame("first message"), frame(""), frame("x"), frame(std::string(40, 'y'))});
    const std::vector<std::string> expected{"first message", "", "x", std::string(40, 'y')};
    for (std::size_t a = 0; a <= stream.size(); ++a) {
        for (std::size_t b = a; b <= stream.size(); b += 3) {
            UsbMessageAssembler assembler(64);
            Collected out;
            ASSERT_EQ(feedPieces(assembler, stream, {a, b}, out),
                      UsbMessageAssembler::FeedResult::ok);
            ASSERT_EQ(out.payloads, expected) << "cuts at " << a << " and " << b;
            EXPECT_TRUE(assembler.isBetweenMessages());
        }
    }
}

TEST(UsbMessageAssemblerTest, HeaderForms) {
    auto header = [](const char* text) {
        std::uint8_t bytes[8] = {};
        std::memcpy(bytes, text, std::min<std::size_t>(8, std::strlen(text)));
        return UsbMessageAssembler::readHeader(bytes);
    };
    EXPECT_EQ(header("00000042"), 42);
    EXPECT_EQ(header("42"), 42);  // followed by zero bytes
    EXPECT_EQ(header("  +7abcd"), 7);
    EXPECT_EQ(header("99999999"), 99999999);
    EXPECT_EQ(header("-0000001"), -1);
    EXPECT_EQ(header("garbage!"), -1);
    EXPECT_EQ(header(""), -1);
}

TEST(UsbMessageAssemblerTest, OversizedPayloadIsSkippedInStep) {
    const Bytes stream = concat({frame("a"), frame(std::string(100, 'z')), frame("b")});
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        UsbMessageAssembler assembler(64);
        Collected out;
        ASSERT_EQ(feedPieces(assembler, stream, {cut}, out), UsbMessageAssembler::FeedResult::ok);
        EXPECT_EQ(out.payloads, (std::vector<std::string>{"a", "b"}));
        EXPECT_EQ(out.oversized, std::vector<std::size_t>{100});
    }
}

TEST(UsbMessageAssemblerTest, HeaderThatIsNoLengthLosesTheStream) {
    Bytes stream = frame("ok");
    const std::string bad = "garbage!more";
    stream.insert(stream.end(), bad.begin(), bad.end());
    UsbMessageAssembler assembler(64);
    Collected out;
    EXPECT_EQ(feedPieces(assembler, stream, {}, out), UsbMessageAssembler::FeedResult::lostStep);
    EXPECT_EQ(out.payloads, std::vector<std::string>{"ok"});
    const Bytes later = frame("after");
    EXPECT_EQ(feedPieces(assembler, later, {}, out), UsbMessageAssembler::FeedResult::lostStep);
    assembler.reset();
    EXPECT_EQ(feedPieces(assembler, later, {}, out), UsbMessageAssembler::FeedResult::ok);
    EXPECT_EQ(out.payloads.back(), "after");
}

// The USB session sleeps on its tunnel and a wake-up together: a command left before the wait
// ends it at once, and data on the tunnel is told apart from a wake-up.
TEST(SocketWaiterTest, WakeUpsAndDataEndTheWait) {
    using namespace std::chrono_literals;
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    SocketWaiter waiter;

    SocketWaiter::Ready ready = waiter.wait(pair[0], 0ms);
    EXPECT_FALSE(ready.readable || ready.woken);

    waiter.wake();
    waiter.wake();  // several before a wait count as one
    ready = waiter.wait(pair[0], 60s);
    EXPECT_TRUE(ready.woken);
    EXPECT_FALSE(ready.readable);
    ready = waiter.wait(-1, 0ms);
    EXPECT_FALSE(ready.woken);

    const char byte = 'x';
    ASSERT_EQ(::write(pair[1], &byte, 1), 1);
    ready = waiter.wait(pair[0], 60s);
    EXPECT_TRUE(ready.readable);
    EXPECT_FALSE(ready.woken);

    // A closed peer reads as readable too: the receive then tells that the tunnel ended.
    char drained = 0;
    ASSERT_EQ(::read(pair[0], &drained, 1), 1);
    ::close(pair[1]);
    waiter.wake();
    ready = waiter.wait(pair[0], 60s);
    EXPECT_TRUE(ready.readable && ready.woken);
    ::close(pair[0]);
}

TEST(PhoneCommandsTest, CommandTexts) {
    EXPECT_EQ(wifiConnectCommand(35601), "connect -port 35601 -version 2");
    EXPECT_EQ(wifiConnectCommand(35601).size(), 30u);
    EXPECT_EQ(kUsbConnectCommand.size(), 23u);
    EXPECT_EQ(startCommand(true), "start -video");
    EXPECT_EQ(startCommand(false), "start");
    EXPECT_EQ(saveCaptureCommand(1.5, 10), "saveCapture -timeInverval 1.500000 10.000000");
    EXPECT_EQ(saveCaptureCommand(-0.25, 12.5), "saveCapture -timeInverval -0.250000 12.500000");
}

TEST(PhoneCommandsTest, RepliesAndPorts) {
    EXPECT_FALSE(isResetReply("/reset "));
    EXPECT_TRUE(isVideoReply("videos"));
    EXPECT_FALSE(isVideoReply("video"));
    EXPECT_EQ(videoReplyPort("video -port 7000"), 7000);
    EXPECT_EQ(videoReplyPort("video   -port\t7000 trailing"), 7000);
    EXPECT_EQ(videoReplyPort("video-port 7000"), 7000);  // a blank matches no white space too
    EXPECT_EQ(videoReplyPort("video -port -5"), -1);
    EXPECT_EQ(videoReplyPort("video -port 70000"), -1);
    EXPECT_EQ(videoReplyPort("video -port 0"), -1);
    EXPECT_EQ(videoReplyPort("video -cancel"), -1);
    EXPECT_EQ(usbPortNumber("+80x"), 80u);
    EXPECT_EQ(usbPortNumber("phone"), 0u);
    EXPECT_EQ(usbPortNumber("-1"), 0u);
    EXPECT_EQ(usbPortNumber("65536"), 0u);
}

Bytes encrypt(const std::string& plaintext) {
    AesIv iv{};
    for (std::size_t i = 0; i < iv.size(); ++i) iv[i] = static_cast<std::uint8_t>(i * 7 + 1);
    Bytes message(iv.begin(), iv.end());
    message.insert(message.end(), plaintext.begin(), plaintext.end());
    AesCbcCipher cipher(messageKey());
    EXPECT_TRUE(cipher.encrypt(iv, message.data() + 16, message.size() - 16));
    return message;
}

TEST(PhoneMessageDecryptorTest, TextEndsAtStarThenZero) {
    PhoneMessageDecryptor decryptor(4096);
    std::string text;
    ASSERT_TRUE(decryptor.decrypt(encrypt("abc" + std::string(13, '*')).data(), 32, text));
    EXPECT_EQ(text, "abc");
    const std::string zeroPadded = std::string("hello", 5) + std::string(11, '\0');
    ASSERT_TRUE(decryptor.decrypt(encrypt(zeroPadded).data(), 32, text));
    EXPECT_EQ(text, "hello");
    const std::string full(32, 'q');
    ASSERT_TRUE(decryptor.decrypt(encrypt(full).data(), 48, text));
    EXPECT_EQ(text, full);
    ASSERT_TRUE(decryptor.decrypt(encrypt("").data(), 16, text));
    EXPECT_EQ(text, "");
}

TEST(PhoneMessageDecryptorTest, RefusesWhatIsNoMessage) {
    PhoneMessageDecryptor decryptor(32);
    std::string text = "unchanged";
    const Bytes message = encrypt(std::string(48, 'a'));
    EXPECT_FALSE(decryptor.decrypt(message.data(), 0, text));
    EXPECT_FALSE(decryptor.decrypt(message.data(), 15, text));
    EXPECT_FALSE(decryptor.decrypt(message.data(), 16 + 21, text));  // not whole blocks
    EXPECT_FALSE(decryptor.decrypt(message.data(), 64, text));       // beyond the capacity
    EXPECT_EQ(text, "unchanged");
}

}  // namespace
