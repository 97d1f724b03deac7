#pragma once
// Decodes the phone's messages: the connect reply (a rejection or the channel list) and the data
// messages ("name;value" lines) into flat frames for the connection process.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "transport/numbers/NumberText.h"
#include "transport/protocol/ChannelNameRule.h"
#include "transport/protocol/StreamDrops.h"
#include "transport/records/CaptureRecords.h"
#include "transport/records/StreamInterfaces.h"

class MocapDataHandler final : public IDataHandler {
  public:
    // observer may be null: then nothing is handed on. Drops are counted in drops, or in the
    // handler's own counter when it is null.
    explicit MocapDataHandler(CaptureDataStreamInterface* observer,
                              StreamDropCounter* drops = nullptr);
    MocapDataHandler(const MocapDataHandler&) = delete;
    MocapDataHandler& operator=(const MocapDataHandler&) = delete;

    bool handleConnectReply(std::string message) override;
    void handleFrame(std::string message) override;

    // The names as the phone listed them; the observer is given them made valid
    // (validChannelNames).
    const ChannelNameLists& channelNames() const { return names_; }
    // Data messages dropped at a line without a usable number.
    std::uint64_t malformedMessageCount() const { return drops_->countOf(StreamDrop::badValue); }

  private:
    using ChannelIndex = std::unordered_map<std::string_view, int>;

    void readChannelList(std::string_view message);
    void rebuildIndexes();
    // Where a key's value goes: the vector, then the matrix, then the scalar rule. Null when the
    // key changes nothing.
    double* resolveKey(std::string_view key);
    void reportRenamings(const std::vector<ChannelRenaming>& renamings) const;
    // The outcome of one line; anything but ok stops the message.
    NumberTextResult applyLine(std::string_view line, std::size_t lineIndex, double& timestamp,
                               bool& hasTimestamp);
    void store(double* target, double value);
    void rollBack();
    double* targetOf(std::string_view key, std::size_t lineIndex);
    void handOnFrame(double timestamp);
    void dropMalformed(std::string_view line, bool outOfRange);

    CaptureDataStreamInterface* observer_;  // not owned
    StreamDropCounter ownDrops_;
    StreamDropCounter* drops_;  // not owned, or ownDrops_
    ChannelNameLists names_;
    ChannelNameLists validNames_;  // what the observer is given
    // Keys view the strings in names_, which stay untouched until the next channel list.
    std::array<ChannelIndex, kChannelKindCount> indexes_;
    // Every key that a channel list names (scalar names, vector and matrix element keys),
    // resolved once per list so that a line costs one look-up. Keys view keyStorage_.
    std::vector<std::string> keyStorage_;
    std::unordered_map<std::string_view, double*> keyTargets_;
    // The phone sends its keys in the same order in every message: the key seen last time at a
    // line's position is tried before the look-up. Sized once per channel list.
    struct ExpectedKey {
        bool known = false;
        std::string_view key;  // views keyStorage_
        double* target = nullptr;
    };
    std::vector<ExpectedKey> expectedKeys_;

    // Zero-filled once; every value keeps what it last received.
    std::array<double, kMaxFrameValues> frameValues_{};
    std::array<double, kMaxMatrixChannels * kMatrixElements> matrixValues_{};
    std::array<double, kMaxVectorChannels * kVectorComponents> vectorValues_{};

    // The values a message changed, with what they held before: a message that is dropped is
    // taken back whole. Reserved once per channel list.
    std::vector<std::pair<double*, double>> undo_;
};
