#pragma once
// Records that cross the transport, the device node and the clip writer.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

// Channel kinds, always in this order (the order of the phone's channel list and of a clip's
// name sections); every per-kind list is indexed by kindIndex(kind).
enum class ChannelKind : int { scalar = 0, vector = 1, matrix = 2 };
constexpr int kChannelKindCount = 3;
constexpr ChannelKind kChannelKinds[kChannelKindCount] = {ChannelKind::scalar, ChannelKind::vector,
                                                          ChannelKind::matrix};

constexpr std::size_t kindIndex(ChannelKind kind) {
    return static_cast<std::size_t>(kind);
}

// The kind's word in messages and in a clip's text: "scalar", "vector" or "matrix".
constexpr const char* channelKindName(ChannelKind kind) {
    constexpr const char* kNames[kChannelKindCount] = {"scalar", "vector", "matrix"};
    return kNames[kindIndex(kind)];
}

// Storage limits shared by every holder of a flat frame.
constexpr std::size_t kMaxFrameValues = 22001;
constexpr std::size_t kMaxFrameBytes = kMaxFrameValues * sizeof(double);  // 176008
constexpr std::size_t kMaxVectorChannels = 1000;
constexpr std::size_t kMaxMatrixChannels = 1000;
constexpr std::size_t kMaxRecordedFrames = 216000;

constexpr std::size_t kVectorComponents = 3;
constexpr std::size_t kMatrixElements = 16;

// Values a channel of the kind fills in a flat frame.
constexpr std::size_t valuesPerChannel(ChannelKind kind) {
    return kind == ChannelKind::scalar   ? 1
           : kind == ChannelKind::vector ? kVectorComponents
                                         : kMatrixElements;
}

// What follows a vector's or a matrix's name in the keys of a data message ("<name>X",
// "<name>0X" ... "<name>3W": row, then column), in the order of the flat frame.
constexpr const char* kVectorKeySuffixes[kVectorComponents] = {"X", "Y", "Z"};
constexpr const char* kMatrixKeySuffixes[kMatrixElements] = {
    "0X", "0Y", "0Z", "0W", "1X", "1Y", "1Z", "1W", "2X", "2Y", "2Z", "2W", "3X", "3Y", "3Z", "3W"};

// Three ordered lists of channel names (scalar, vector, matrix), duplicates included.
struct ChannelNameLists {
    std::array<std::vector<std::string>, kChannelKindCount> lists;

    std::vector<std::string>& of(ChannelKind kind) { return lists[kindIndex(kind)]; }
    const std::vector<std::string>& of(ChannelKind kind) const { return lists[kindIndex(kind)]; }

    std::vector<std::string>& scalars() { return of(ChannelKind::scalar); }
    std::vector<std::string>& vectors() { return of(ChannelKind::vector); }
    std::vector<std::string>& matrices() { return of(ChannelKind::matrix); }
    const std::vector<std::string>& scalars() const { return of(ChannelKind::scalar); }
    const std::vector<std::string>& vectors() const { return of(ChannelKind::vector); }
    const std::vector<std::string>& matrices() const { return of(ChannelKind::matrix); }

    void clear() {
        for (auto& list : lists) list.clear();
    }
    bool operator==(const ChannelNameLists& other) const { return lists == other.lists; }

    // Values in a flat frame: S + 3V + 16M.
    std::size_t flatValueCount() const {
        return scalars().size() + kVectorComponents * vectors().size() +
               kMatrixElements * matrices().size();
    }
};

// One recorded frame: the timestamp in seconds as sent by the phone and the values in the flat
// frame layout (scalars, then X Y Z per vector channel, then 16 row-major values per matrix; a
// loaded ClipFrame puts matrices before vectors).
// The values never change once a frame is made, so copies share them: copying a recording of
// 216000 frames costs one reference count per frame instead of 180 MB of doubles, and a copy
// stays valid after the connection that made it is gone.
struct CaptureFrame {
    double timestamp = 0.0;
    std::uint32_t valueCount = 0;
    std::shared_ptr<const double[]> values;  // valueCount entries, immutable

    CaptureFrame() = default;
    CaptureFrame(double time, const double* source, std::uint32_t count)
        : timestamp(time), valueCount(count), values(copyValues(source, count)) {}

    double value(std::uint32_t index) const { return values[index]; }

  private:
    static std::shared_ptr<const double[]> copyValues(const double* source, std::uint32_t count) {
        if (count == 0) return nullptr;
        std::shared_ptr<double[]> copy(new double[count]);
        std::copy(source, source + count, copy.get());
        return copy;
    }
};

// A recording: the channel names of its connection and its frames, oldest first. A copy is
// independent of the original (frames share only their immutable values). A deque lets the
// oldest frame go in constant time.
struct CaptureRecording {
    ChannelNameLists names;
    std::deque<CaptureFrame> frames;

    void clear() {
        names.clear();
        frames.clear();
    }
};
