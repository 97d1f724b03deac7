// The message handler's line rules, channel lists, frames and storage limits.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "support/RecordingObserver.h"
#include "transport/protocol/MocapDataHandler.h"

namespace {

using Strings = std::vector<std::string>;

class HandlerTest : public ::testing::Test {
  protected:
    RecordingObserver observer;
    std::unique_ptr<MocapDataHandler> handler = std::make_unique<MocapDataHandler>(&observer);

    // The example list: scalars sa, sb; vector vh; matrix mh: 21 values a frame.
    void acceptExampleList() {
        ASSERT_TRUE(handler->handleConnectReply("sa\nsb\n#\nvh\n#\nmh"));
        observer.calls.clear();
    }
};

TEST_F(HandlerTest, RejectionRepliesAreExactWholeMessages) {
    EXPECT_FALSE(handler->handleConnectReply("/reject"));
    EXPECT_EQ(observer.rejected, 1u);
    EXPECT_FALSE(handler->handleConnectReply("/reject-wrong-screen"));
    EXPECT_EQ(observer.rejected, 2u);
    EXPECT_EQ(observer.calls, (Strings{"rejectConnection", "rejectConnection"}));

    // With a line break it is a channel list naming one scalar "/reject".
    EXPECT_TRUE(handler->handleConnectReply("/reject\n"));
    EXPECT_EQ(handler->channelNames().scalars(), Strings{"/reject"});
}

TEST_F(HandlerTest, ChannelListSectionsDuplicatesAndLineRules) {
    EXPECT_TRUE(handler->handleConnectReply("sa\r\nsb\n\n# vectors follow\nvh\n#\nmh\nmh\n"));
    EXPECT_EQ(observer.calls, (Strings{"setChannelLayout", "acceptConnection"}));
    EXPECT_EQ(observer.layout, observer.accepted);
    // CR kept, the empty line is a name, the text after "#" ignored, duplicates listed twice,
    // the final LF adds nothing.
    const ChannelNameLists& read = handler->channelNames();
    EXPECT_EQ(read.scalars(), (Strings{"sa\r", "sb", ""}));
    EXPECT_EQ(read.vectors(), Strings{"vh"});
    EXPECT_EQ(read.matrices(), (Strings{"mh", "mh"}));
    EXPECT_EQ(observer.accepted.scalars(), (Strings{"sa_", "sb", "_"}));  // made valid
}

TEST_F(HandlerTest, EmptyReplyIsAnEmptyChannelList) {
    EXPECT_TRUE(handler->handleConnectReply(""));
    EXPECT_EQ(observer.calls, (Strings{"setChannelLayout", "acceptConnection"}));
    EXPECT_EQ(observer.accepted.flatValueCount(), 0u);

    handler->handleFrame("timestamp;3\nsomething;1");
    ASSERT_EQ(observer.frames.size(), 1u);
    EXPECT_EQ(observer.lastFrame().valueCount, 0u);
    EXPECT_EQ(observer.lastFrame().timestamp, 3.0);
}

TEST_F(HandlerTest, ExampleMessageFillsTheFlatFrame) {
    acceptExampleList();
    handler->handleFrame("timestamp;12.5\nsa;0.25\nvhY;-3\nmh3X;1.5\nxyz");
    EXPECT_EQ(observer.calls, (Strings{"storeLatestFrame", "appendRecordedFrame"}));
    ASSERT_EQ(observer.lastFrame().valueCount, 21u);
    EXPECT_EQ(observer.lastFrame().timestamp, 12.5);
    std::vector<double> expected(21, 0.0);
    expected[0] = 0.25;
    expected[2 + 1] = -3;
    expected[5 + 12] = 1.5;  // row 3, column 0
    EXPECT_EQ(observer.lastValues(), expected);
    EXPECT_EQ(observer.latest, expected);
}

TEST_F(HandlerTest, ValuesPersistBetweenMessages) {
    acceptExampleList();
    handler->handleFrame("timestamp;1\nsb;7\nvhZ;2\nmh0W;4");
    handler->handleFrame("timestamp;2\nsa;1");
    const auto values = observer.lastValues();
    EXPECT_EQ(observer.lastFrame().timestamp, 2.0);
    EXPECT_EQ(values[0], 1.0);
    EXPECT_EQ(values[1], 7.0);
    EXPECT_EQ(values[4], 2.0);
    EXPECT_EQ(values[5 + 3], 4.0);
}

// Only a message with a timestamp that converts to a finite number is a frame; anything else is
// dropped whole and leaves no trace in later frames. Timestamps stay as the phone sent them.
TEST_F(HandlerTest, OnlyMessagesWithAFiniteTimestampAreFrames) {
    acceptExampleList();
    handler->handleFrame("timestamp;1\nsa;0.5");
    for (const char* dropped :
         {"zzzzzzzzzzzzzzzz", "hello", "sa;4444", "", "sa;3\ntimestamp", "timestamp;nan\nsa;3",
          "timestamp;-inf\nsb;3", "timestamp;1e99999\nsa;3", "timestamp;2\nsa;3\ntimestamp;nan",
          "timestamp;\nsa;3", "timestamp;2\nsa;3\ntimestamp;"}) {
        handler->handleFrame(dropped);
        EXPECT_EQ(observer.frames.size(), 1u) << dropped;
    }
    // Leading white space, trailing text and a CR at the end of the line are read as before; the
    // last timestamp line wins. An earlier time than the frame before stays as sent.
    handler->handleFrame("timestamp;nan\nsb;0.25\ntimestamp; 0.75s\r");
    ASSERT_EQ(observer.frames.size(), 2u);
    EXPECT_EQ(observer.lastFrame().timestamp, 0.75);
    EXPECT_EQ(observer.lastValues()[0], 0.5);  // nothing of the dropped messages
    EXPECT_EQ(observer.lastValues()[1], 0.25);
    handler->handleFrame("timestamp;0.75");
    ASSERT_EQ(observer.frames.size(), 3u);
    EXPECT_EQ(observer.lastFrame().timestamp, 0.75);
}

TEST_F(HandlerTest, KeysTryVectorThenMatrixThenScalar) {
    // Scalars "abX" and "a0Q" overlap with vector "ab" and matrix "a".
    ASSERT_TRUE(handler->handleConnectReply("abX\na0Q\n#\nab\n#\na"));
    handler->handleFrame("timestamp;1\nabX;5\na0Q;6\nabW;9\na0Y;8");
    const auto values = observer.lastValues();
    EXPECT_EQ(values[0], 0.0);  // abX went to vector ab
    EXPECT_EQ(values[1], 0.0);  // a0Q: matrix a without such an element; not tried as scalar
    EXPECT_EQ(values[2], 5.0);
    EXPECT_EQ(values[3], 0.0);  // abW: W is no vector suffix
    EXPECT_EQ(values[4], 0.0);
    EXPECT_EQ(values[5 + 1], 8.0);
}

TEST_F(HandlerTest, ValueTextRules) {
    ASSERT_TRUE(handler->handleConnectReply("a\nb\nc\nd\ne"));
    handler->handleFrame("timestamp;1\na;2\nb;3\nc;4\nd;5");
    handler->handleFrame("a;\nb\nc; 0x10 apples\nd;inf\ne;-1e-3x\ntimestamp;1.5\ntimestamp;2.5");
    const auto values = observer.lastValues();
    EXPECT_EQ(values[0], 0.0);   // empty value text
    EXPECT_EQ(values[1], 3.0);   // no ";": the line is ignored
    EXPECT_EQ(values[2], 16.0);  // white space skipped, hexadecimal read, the rest ignored
    EXPECT_TRUE(std::isinf(values[3]));
    EXPECT_EQ(values[4], -1e-3);
    EXPECT_EQ(observer.lastFrame().timestamp, 2.5);  // the last timestamp wins
}

TEST_F(HandlerTest, DuplicateNameTakesItsLaterPosition) {
    ASSERT_TRUE(handler->handleConnectReply("x\ny\nx"));
    handler->handleFrame("timestamp;1\nx;4");
    EXPECT_EQ(observer.lastValues(), (std::vector<double>{0, 0, 4}));
}

TEST_F(HandlerTest, AMalformedLineDropsTheWholeMessage) {
    acceptExampleList();
    // The bad value is under a key that names no channel: it still stops the message.
    handler->handleFrame("timestamp;1\nsa;1\nunknown;abc\nsb;2");
    EXPECT_TRUE(observer.calls.empty());
    EXPECT_EQ(handler->malformedMessageCount(), 1u);
    handler->handleFrame("timestamp;oops\nsb;3");
    handler->handleFrame("timestamp;1\nsb;1e999");
    EXPECT_EQ(handler->malformedMessageCount(), 3u);
    EXPECT_TRUE(observer.calls.empty());

    handler->handleFrame("timestamp;4");
    const auto values = observer.lastValues();
    EXPECT_EQ(values[0], 0.0);  // the dropped message left nothing behind
    EXPECT_EQ(values[1], 0.0);
    // A numeric value under an unknown key is dropped silently.
    handler->handleFrame("timestamp;5\nunknown;5");
    EXPECT_EQ(handler->malformedMessageCount(), 3u);
}

TEST_F(HandlerTest, KeyOrderMayChangeBetweenMessages) {
    acceptExampleList();
    handler->handleFrame("timestamp;1\nsa;1\nsb;2\nvhX;3");
    handler->handleFrame("vhX;4\nsa;5\nsb;6\ntimestamp;2");
    handler->handleFrame("sb;7\ntimestamp;3\nunknown;8\nsa;9");
    const auto values = observer.lastValues();
    EXPECT_EQ(values[0], 9.0);
    EXPECT_EQ(values[1], 7.0);
    EXPECT_EQ(values[2], 4.0);
    // After a new list the same keys go to their new places.
    ASSERT_TRUE(handler->handleConnectReply("sb\nsa"));
    handler->handleFrame("sb;10\nunknown;8\nsa;11\ntimestamp;4");
    EXPECT_EQ(observer.lastValues(), (std::vector<double>{10, 11}));
}

TEST_F(HandlerTest, NewChannelListKeepsStoredValuesByPosition) {
    acceptExampleList();
    handler->handleFrame("timestamp;1\nsa;9\nsb;8");
    ASSERT_TRUE(handler->handleConnectReply("other"));
    handler->handleFrame("timestamp;2");
    EXPECT_EQ(observer.lastValues(), std::vector<double>{9});
}

TEST_F(HandlerTest, WithoutObserverNothingIsHandedOn) {
    MocapDataHandler alone(nullptr);
    EXPECT_FALSE(alone.handleConnectReply("/reject"));
    EXPECT_TRUE(alone.handleConnectReply("a"));
    alone.handleFrame("a;1");
    EXPECT_EQ(alone.channelNames().scalars(), Strings{"a"});
}

// Names that Maya or the clip format cannot carry are made valid before anyone sees them; the
// phone's own keys still reach their channels.
TEST_F(HandlerTest, ChannelNamesAreMadeValidForAttributesAndClips) {
    ASSERT_TRUE(handler->handleConnectReply(
        std::string("mouth.left\nmouth left\nmouth_left\n2x\na^b@\n\n") + std::string("n\0l", 3) +
        "\njawOpen\njawOpen\n#\nhead\n#\nhead"));
    EXPECT_EQ(observer.accepted.scalars(),
              (Strings{"mouth_left_2", "mouth_left_3", "mouth_left", "_2x", "a_b_", "_", "n_l",
                       "jawOpen", "jawOpen"}));
    EXPECT_EQ(observer.layout, observer.accepted);  // the recording's names too
    EXPECT_EQ(observer.accepted.vectors(), Strings{"head"});
    EXPECT_EQ(observer.accepted.matrices(), Strings{"head"});
    handler->handleFrame("timestamp;1\nmouth.left;0.5\nmouth left;0.25\na^b@;2");
    const auto values = observer.lastValues();
    EXPECT_EQ(values[0], 0.5);
    EXPECT_EQ(values[1], 0.25);
    EXPECT_EQ(values[4], 2.0);
}

std::string numberedNames(const std::string& prefix, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += prefix + std::to_string(i) + "\n";
    return text;
}

TEST_F(HandlerTest, ChannelsBeyondTheStorageLimitsAreIgnored) {
    // 1001 vectors, 1001 matrices and a fourth section: the excess is dropped.
    ASSERT_TRUE(handler->handleConnectReply("s\n#\n" + numberedNames("v", 1001) + "#\n" +
                                            numberedNames("m", 1001) + "#\nextra\n#\nmore"));
    const auto& names = observer.accepted;
    EXPECT_EQ(names.scalars().size(), 1u);
    EXPECT_EQ(names.vectors().size(), 1000u);
    EXPECT_EQ(names.matrices().size(), 1000u);
    EXPECT_EQ(names.flatValueCount(), 1u + 3000u + 16000u);

    // Values for the ignored channels change nothing; the last kept ones land at the end.
    handler->handleFrame("timestamp;1\nv1000X;5\nm1000.0X;5\nm9993W;7\nv999Z;6\nextra;1");
    const auto values = observer.lastValues();
    ASSERT_EQ(values.size(), 19001u);
    EXPECT_EQ(values[1 + 3 * 999 + 2], 6.0);
    EXPECT_EQ(values.back(), 7.0);
}

TEST_F(HandlerTest, ValueCountIsCappedAt22001) {
    ASSERT_TRUE(handler->handleConnectReply(numberedNames("s", 22000) + "#\nv\n#\nm"));
    // 22000 scalars fit, a vector (3 values) and a matrix (16) would not.
    EXPECT_EQ(observer.accepted.scalars().size(), 22000u);
    EXPECT_TRUE(observer.accepted.vectors().empty());
    EXPECT_TRUE(observer.accepted.matrices().empty());

    ASSERT_TRUE(handler->handleConnectReply(numberedNames("s", 22005)));
    EXPECT_EQ(observer.accepted.scalars().size(), 22001u);
    handler->handleFrame("timestamp;1\ns22000;3\ns22004;4");
    EXPECT_EQ(observer.lastFrame().valueCount, 22001u);
    EXPECT_EQ(observer.lastValues().back(), 3.0);
}

}  // namespace
